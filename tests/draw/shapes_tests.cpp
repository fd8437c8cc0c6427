#include <gtest/gtest.h>

#include "draw/jump_line.h"
#include "draw/note_element.h"
#include "draw/recording_gdi.h"
#include "draw/sus_arc.h"
#include "layout/linear_view.h"
#include "layout/measure.h"
#include "layout/page_view.h"
#include "model/exception.h"
#include "support/notation.h"
#include "support/scroll_score.h"

namespace qe {
namespace {

using Scroll = test::ScrollScore;

int arrangeCode(Shape& shape) {
    RecordingGDI g;
    try {
        shape.arrange(g);
    } catch (const Exception& e) {
        return e.code;
    }
    return 0;
}

TEST(TieArc, OnOneLineIsOneBezierAboveTheNotes) {
    Scroll s(test::scoreOf({"1 2 3 |"}));
    SusArc arc(&s.doc.formatSettings(), s.element(0, 0), s.element(0, 1));
    arc.layout(s.g, true);
    // Anchors: glyph centres at the top of each note, 560 below the root's top edge.
    ASSERT_EQ(arc.strips.size(), 1u);
    EXPECT_EQ(arc.arcWidth, 192);
    EXPECT_EQ(arc.arcDepth, -100);  // a fifth of 192 is clamped to a quarter of the bar font
    EXPECT_EQ(arc.thickness, 21);
    EXPECT_EQ(arc.strips[0], (Rect{416, -418, 608, -518}));
    EXPECT_EQ(arc.style.x, 416);
    EXPECT_EQ(arc.style.y, -418);
    EXPECT_EQ(arc.style.height, -100);
    RecordingGDI g;
    arc.paint(g);
    ASSERT_EQ(g.calls.size(), 2u);
    EXPECT_EQ(g.calls[0], (DrawCall{"setPen", {0, 15, 0, 0, 0}, {}}));
    EXPECT_EQ(g.calls[1],
              (DrawCall{"drawBezier", {416, -518, 464, -418, 560, -418, 608, -518}, {}}));
}

TEST(TieArc, DepthIsAFifthOfTheWidthWithinItsBounds) {
    Scroll s(test::scoreOf({"1 2 3 4 5 6 7 1 2 3 4 5 6 7 |"}));
    SusArc wide(&s.doc.formatSettings(), s.element(0, 0), s.element(0, 13));
    wide.layout(s.g, true);
    EXPECT_EQ(wide.arcWidth, 13 * 192);
    EXPECT_EQ(wide.arcDepth, -200);
    SusArc middle(&s.doc.formatSettings(), s.element(0, 0), s.element(0, 4));
    middle.layout(s.g, true);
    EXPECT_EQ(middle.arcDepth, -(4 * 192) / 5);
}

TEST(TieArc, RisesOverOctaveDots) {
    Scroll s(test::scoreOf({"1 2'' 3 |"}));
    SusArc plain(&s.doc.formatSettings(), s.element(0, 0), s.element(0, 2));
    plain.layout(s.g, true);
    // Two dots of 53 raise the highest anchor by 106.
    EXPECT_EQ(plain.strips[0].bottom, -560 + 106 + 42);
}

TEST(TieArc, WrongOrMissingAnchorsAreCodeSeven) {
    Scroll s(test::scoreOf({"1 2 | 3 |", "4 |"}));
    const format_track_header* f = &s.doc.formatSettings();
    SusArc missing(f, nullptr, s.element(0, 0));
    EXPECT_EQ(arrangeCode(missing), kMismatch);
    SusArc measureAnchor(f, s.element(0, 0), s.measure(0));
    EXPECT_EQ(arrangeCode(measureAnchor), kMismatch);
    SusArc reversed(f, s.element(1, 0), s.element(0, 0));
    EXPECT_EQ(arrangeCode(reversed), kMismatch);
    SusArc otherTrack(f, s.element(0, 0), s.view.child(1)->child(0)->child(0));
    EXPECT_EQ(arrangeCode(otherTrack), kMismatch);
}

TEST(JumpLine, OverTwoMeasuresHasHooksAndItsLabel) {
    Scroll s(test::scoreOf({"1 2 | 3 4 | 5 |"}));
    JumpLine jump(u"1.", &s.doc.formatSettings(), s.measure(0), s.measure(1));
    jump.layout(s.g, true);
    ASSERT_EQ(jump.strips.size(), 1u);
    const int left = 320;
    const int right = 320 + 2 * 624 - 240;  // before the second measure's bar line
    EXPECT_EQ(jump.strips[0], (Rect{left, -360 + 180, right, -360}));
    EXPECT_EQ(jump.thickness, 16);
    RecordingGDI g;
    jump.paint(g);
    EXPECT_EQ(g.callsOf("drawText")[0], (DrawCall{"drawText", {left + 48, -180 - 16}, u"1."}));
    const auto lines = g.callsOf("lineTo");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].args, (std::vector<int>{left, -360}));  // opening hook
    EXPECT_EQ(lines[1].args, (std::vector<int>{right, -180}));
    EXPECT_EQ(lines[2].args, (std::vector<int>{right, -360}));  // closing hook
    EXPECT_TRUE(g.translations.empty());
}

TEST(JumpLine, ToBeforeFromRunsOutAndIsCodeSeven) {
    Scroll s(test::scoreOf({"1 | 2 | 3 |"}));
    JumpLine reversed(u"1", &s.doc.formatSettings(), s.measure(2), s.measure(0));
    EXPECT_EQ(arrangeCode(reversed), kMismatch);
    JumpLine notes(u"1", &s.doc.formatSettings(), s.element(0, 0), s.measure(1));
    EXPECT_EQ(arrangeCode(notes), kMismatch);
}

// A score long enough to break: 40 measures of four quarters (4 x 192 + 240 = 1008 wide each)
// gives six measures per line at the default 6439 break width.
QanorDoc longScore() {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "1 2 3 4 | ";
    return test::scoreOf({text});
}

TEST(ShapesAcrossLines, TieAndBracketSplitIntoOneStripPerLine) {
    QanorDoc doc = longScore();
    // Item indices: 5 per measure. Tie from the last note of measure 5 to the first of 6.
    test::addFormat(doc, 1, 0, 5 * 5 + 3, 6 * 5);
    test::addFormat(doc, 4, 0, 5 * 5 + 4, 7 * 5 + 4);
    PageView view;
    view.build(&doc);
    RecordingGDI g;
    view.rebuild(g);
    EXPECT_EQ(view.linear.lineStarts.front(), 6);
    ASSERT_EQ(view.arcs.size(), 1u);
    const SusArc& arc = view.arcs[0];
    ASSERT_EQ(arc.strips.size(), 2u);
    EXPECT_EQ(arc.arcWidth, (arc.strips[0].right - arc.strips[0].left) +
                                (arc.strips[1].right - arc.strips[1].left));
    // The first piece runs to the right end of its line, the second from its line's left edge.
    EXPECT_EQ(arc.strips[0].right, 244 + 1000 + 9906);
    EXPECT_EQ(arc.strips[1].left, 244 + 1000);
    EXPECT_LT(arc.strips[1].top, arc.strips[0].top);  // the next line is lower on the page
    const JumpLine& jump = view.jumpLines[0];
    ASSERT_EQ(jump.strips.size(), 2u);
    EXPECT_EQ(jump.strips[0].right, 244 + 1000 + 9906);

    RecordingGDI paint(0, 0, -1000000, 1000000, 1000000, -1000000, false);
    view.paint(paint);
    const auto strips = paint.callsOf("drawArcStrips");
    ASSERT_EQ(strips.size(), 1u);
    EXPECT_EQ(strips[0].args.size(), 8u + 2 * 4);
    EXPECT_EQ(strips[0].args[6], arc.arcWidth);  // the curve ends at the full width
}

}  // namespace
}  // namespace qe
