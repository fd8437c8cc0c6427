#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "base/exception.h"
#include "engrave/linear_view.h"
#include "engrave/measure.h"
#include "engrave/note_element.h"
#include "engrave/page_view.h"
#include "engrave/recording_surface.h"
#include "engrave/shape_walk.h"
#include "engrave/tie_arc.h"
#include "engrave/volta_bracket.h"
#include "music/note_marks.h"
#include "support/notation.h"
#include "support/scroll_score.h"

namespace qe {
namespace {

using Scroll = test::ScrollScore;

int arrangeCode(Shape& shape) {
    RecordingSurface g;
    try {
        shape.arrange(g);
    } catch (const Exception& e) {
        return e.code;
    }
    return 0;
}

TEST(TieArc, OnOneLineIsOneBezierAboveTheNotes) {
    Scroll s(test::scoreOf({"1 2 3 |"}));
    TieArc arc(&s.score->format(), s.element(0, 0), s.element(0, 1));
    arc.layout(s.g, true);
    // Ends: glyph centres 42 (two line widths) above the tops of the notes, 560 below the
    // root's top edge; the control points 100 higher (a fifth of the width, at least a quarter
    // of the bar font).
    const int w = s.element(0, 1)->style.x - s.element(0, 0)->style.x;
    ASSERT_EQ(arc.pieces.size(), 1u);
    EXPECT_EQ(arc.arcWidth, w);
    EXPECT_EQ(arc.arcDepth, -100);
    EXPECT_EQ(arc.thickness, 21);
    EXPECT_EQ(arc.strips[0], (Rect{416, -418 + 21, 416 + w, -518 - 21}));
    EXPECT_EQ(arc.stripLines[0], s.view.child(0));
    EXPECT_EQ(arc.style.x, 416);
    EXPECT_EQ(arc.style.y, -397);
    RecordingSurface g;
    arc.paint(g);
    ASSERT_EQ(g.calls.size(), 2u);
    EXPECT_EQ(g.calls[0], (DrawCall{"setPen", {0, 15, 0, 0, 0}, {}}));
    EXPECT_EQ(g.calls[1],
              (DrawCall{"drawBezier",
                        {416, -518, 416 + w / 4, -418, 416 + w - w / 4, -418, 416 + w, -518},
                        {}}));
}

TEST(TieArc, EachEndSitsOnItsOwnNoteClearOfItsDots) {
    Scroll s(test::scoreOf({"1 2'' 3 |"}));
    // Two dots of 53 raise the top of the 2 by 106.
    TieArc up(&s.score->format(), s.element(0, 0), s.element(0, 1));
    up.layout(s.g, true);
    EXPECT_EQ(up.pieces[0].p0.y, -518);
    EXPECT_EQ(up.pieces[0].p3.y, -518 + 106);
    EXPECT_EQ(up.pieces[0].p1.y, -518 + 106 + 100);
    TieArc down(&s.score->format(), s.element(0, 1), s.element(0, 2));
    down.layout(s.g, true);
    EXPECT_EQ(down.pieces[0].p0.y, -518 + 106);
    EXPECT_EQ(down.pieces[0].p3.y, -518);
    // Over a dotted note in between, the ends stay low and the curve clears the dots.
    TieArc over(&s.score->format(), s.element(0, 0), s.element(0, 2));
    over.layout(s.g, true);
    EXPECT_EQ(over.pieces[0].p0.y, -518);
    EXPECT_EQ(over.pieces[0].p3.y, -518);
    EXPECT_EQ(over.pieces[0].p1.y, -518 + 106 - over.arcDepth);
}

// The height of a piece's curve at x, from a close sampling of it.
int curveYAt(const TieArc::Piece& p, int x) {
    int best = 0;
    int bestDx = INT_MAX;
    for (int i = 0; i <= 200; ++i) {
        const double t = i / 200.0, u = 1 - t;
        const double cx = u * u * u * p.p0.x + 3 * u * u * t * p.p1.x + 3 * u * t * t * p.p2.x +
                          t * t * t * p.p3.x;
        const double cy = u * u * u * p.p0.y + 3 * u * u * t * p.p1.y + 3 * u * t * t * p.p2.y +
                          t * t * t * p.p3.y;
        if (std::abs(cx - x) < bestDx) {
            bestDx = static_cast<int>(std::abs(cx - x));
            best = static_cast<int>(cy);
        }
    }
    return best;
}

TEST(TieArc, ClearsChordsAtItsEndsAndTheBarLineAndMarksBetween) {
    QeDocument doc = test::scoreOf({"1 1 3 4 5 | 6 |"});
    test::changeExtra(doc, 0, 0, [](NoteExtra& e) { e.tones = {{5, 1, 0}}; });
    test::changeExtra(doc, 0, 3, [](NoteExtra& e) { e.articulations = articulation::kFermata; });
    Scroll s(doc);
    // Given a plain tie from the second note to the third, as it stands over bare notes.
    TieArc plain(&s.score->format(), s.element(0, 1), s.element(0, 2));
    plain.layout(s.g, true);
    // A tie from the chord stands above its upper tone and its octave dot, the other end
    // where a plain tie's would be.
    TieArc chord(&s.score->format(), s.element(0, 0), s.element(0, 1));
    chord.layout(s.g, true);
    std::vector<Rect> stack;
    asMeasure(s.measure(0))->ornaments().inkOver(stack);
    int stackTop = INT_MIN;
    for (const Rect& r : stack)
        if (r.left < s.element(0, 1)->style.x)
            stackTop = std::max(stackTop, r.top);
    EXPECT_GT(chord.pieces[0].p0.y, rootPosition(s.measure(0), {0, stackTop}, false).y);
    EXPECT_EQ(chord.pieces[0].p3.y, plain.pieces[0].p0.y);
    // A slur over the fermata bows over it, its ends kept on their notes.
    TieArc over(&s.score->format(), s.element(0, 2), s.element(0, 4));
    over.layout(s.g, true);
    EXPECT_EQ(over.pieces[0].p0.y, plain.pieces[0].p0.y);
    const Node* note = s.element(0, 3);
    const int middle = note->style.x + note->style.width / 2;
    int fermataTop = INT_MIN;
    for (const Rect& r : stack)
        if (r.left < middle && r.right > middle)
            fermataTop = std::max(fermataTop, r.top);
    ASSERT_NE(fermataTop, INT_MIN);
    const Point fermataAt = rootPosition(s.measure(0), {middle, fermataTop}, false);
    EXPECT_GT(curveYAt(over.pieces[0], fermataAt.x), fermataAt.y + over.thickness);
    // A tie across the bar line passes over the bar line's top.
    TieArc across(&s.score->format(), s.element(0, 4), s.element(1, 0));
    across.layout(s.g, true);
    const Measure* first = asMeasure(s.measure(0));
    const Rect bar = *first->barLineBox();
    const Point barAt = rootPosition(first, {bar.left, bar.top}, false);
    for (int x = barAt.x; x <= barAt.x + bar.right - bar.left; x += 4)
        EXPECT_GT(curveYAt(across.pieces[0], x), barAt.y + across.thickness);
}

TEST(TieArc, ArcsMeetingOnANoteKeepToTheirHalvesOfIt) {
    // A slur from the first note to the second and another from the second to the third:
    // the first ends left of where the second starts, both over the middle note.
    Scroll s(test::scoreOf({"1 2 3 |"}));
    std::vector<TieArc> arcs;
    arcs.emplace_back(&s.score->format(), s.element(0, 0), s.element(0, 1));
    arcs.emplace_back(&s.score->format(), s.element(0, 1), s.element(0, 2));
    arcs.emplace_back(&s.score->format(), s.element(0, 0), s.element(0, 2));
    markSharedEnds(arcs);
    EXPECT_FALSE(arcs[0].sharedStart);
    EXPECT_TRUE(arcs[0].sharedEnd);
    EXPECT_TRUE(arcs[1].sharedStart);
    EXPECT_FALSE(arcs[2].sharedStart || arcs[2].sharedEnd);
    for (TieArc& arc : arcs)
        arc.layout(s.g, true);
    const Point end = arcs[0].pieces[0].p3;
    const Point start = arcs[1].pieces[0].p0;
    EXPECT_LT(end.x, start.x);
    const Node* middle = s.element(0, 1);
    const int left = rootPosition(middle, {0, 0}, false).x;
    EXPECT_GT(end.x, left);
    EXPECT_LT(start.x, left + middle->style.width);
}

TEST(TieArc, DepthIsAFifthOfTheWidthWithinItsBounds) {
    Scroll s(test::scoreOf({"1 2 3 4 5 6 7 1 2 3 4 5 6 7 |"}));
    TieArc wide(&s.score->format(), s.element(0, 0), s.element(0, 13));
    wide.layout(s.g, true);
    EXPECT_EQ(wide.arcWidth, s.element(0, 13)->style.x - s.element(0, 0)->style.x);
    EXPECT_EQ(wide.arcDepth, -200);
    TieArc middle(&s.score->format(), s.element(0, 0), s.element(0, 2));
    middle.layout(s.g, true);
    EXPECT_EQ(middle.arcWidth, s.element(0, 2)->style.x - s.element(0, 0)->style.x);
    EXPECT_EQ(middle.arcDepth, -middle.arcWidth / 5);
}

TEST(TieArc, WrongOrMissingAnchorsAreCodeSeven) {
    Scroll s(test::scoreOf({"1 2 | 3 |", "4 |"}));
    const format_track_header* f = &s.score->format();
    TieArc missing(f, nullptr, s.element(0, 0));
    EXPECT_EQ(arrangeCode(missing), kMismatch);
    TieArc measureAnchor(f, s.element(0, 0), s.measure(0));
    EXPECT_EQ(arrangeCode(measureAnchor), kMismatch);
    TieArc reversed(f, s.element(1, 0), s.element(0, 0));
    EXPECT_EQ(arrangeCode(reversed), kMismatch);
    TieArc otherTrack(f, s.element(0, 0), s.view.child(1)->child(0)->child(0));
    EXPECT_EQ(arrangeCode(otherTrack), kMismatch);
}

TEST(VoltaBracket, OverTwoMeasuresHasHooksAndItsLabel) {
    Scroll s(test::scoreOf({"1 2 | 3 4 | 5 |"}));
    VoltaBracket jump(u"1.", &s.score->format(), s.measure(0), s.measure(1));
    jump.layout(s.g, true);
    ASSERT_EQ(jump.strips.size(), 1u);
    const int left = 320;
    // Before the second measure's bar line.
    const int right = 320 + s.measure(1)->style.x + s.measure(1)->style.width - 240;
    EXPECT_EQ(jump.strips[0], (Rect{left, -360 + 180, right, -360}));
    EXPECT_EQ(jump.thickness, 16);
    RecordingSurface g;
    jump.paint(g);
    EXPECT_EQ(g.callsOf("drawText")[0], (DrawCall{"drawText", {left + 48, -180 - 16}, u"1."}));
    const auto lines = g.callsOf("lineTo");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].args, (std::vector<int>{left, -360}));  // opening hook
    EXPECT_EQ(lines[1].args, (std::vector<int>{right, -180}));
    EXPECT_EQ(lines[2].args, (std::vector<int>{right, -360}));  // closing hook
    EXPECT_TRUE(g.translations.empty());
}

TEST(VoltaBracket, ToBeforeFromRunsOutAndIsCodeSeven) {
    Scroll s(test::scoreOf({"1 | 2 | 3 |"}));
    VoltaBracket reversed(u"1", &s.score->format(), s.measure(2), s.measure(0));
    EXPECT_EQ(arrangeCode(reversed), kMismatch);
    VoltaBracket notes(u"1", &s.score->format(), s.element(0, 0), s.measure(1));
    EXPECT_EQ(arrangeCode(notes), kMismatch);
}

// A score long enough to break: 40 measures of four quarters.
QeDocument longScore() {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "1 2 3 4 | ";
    return test::scoreOf({text});
}

TEST(ShapesAcrossLines, TieAndBracketSplitIntoOneStripPerLine) {
    QeDocument doc = longScore();
    // Where the first line ends; ties and brackets do not move a break.
    const int end = [&] {
        PageView plain;
        const auto plainScore = test::scoreFrom(doc);
        plain.build(plainScore.get());
        RecordingSurface g;
        plain.rebuild(g);
        return plain.linear.lineStarts.front();
    }();
    ASSERT_GT(end, 1);
    // Item indices: 5 per measure. Tie from the last note of the first line to the first of
    // the next; a bracket from the last measure of the line over the next two.
    test::addFormat(doc, 1, 0, (end - 1) * 5 + 3, end * 5);
    test::addFormat(doc, 4, 0, (end - 1) * 5 + 4, (end + 1) * 5 + 4);
    PageView view;
    const auto docScore = test::scoreFrom(doc);
    view.build(docScore.get());
    RecordingSurface g;
    view.rebuild(g);
    EXPECT_EQ(view.linear.lineStarts.front(), end);
    ASSERT_EQ(view.arcs.size(), 1u);
    const TieArc& arc = view.arcs[0];
    ASSERT_EQ(arc.strips.size(), 2u);
    ASSERT_EQ(arc.pieces.size(), 2u);
    // Two half-ties: the first rises from its note to just past the end of its line, the
    // second comes down from before the start of the next line to its note.
    const int lineLeft = 244 + 1000, lineRight = 244 + 1000 + 9906;
    EXPECT_EQ(arc.pieces[0].p3.x, lineRight + TieArc::kOverhang);
    EXPECT_GT(arc.pieces[0].p3.y, arc.pieces[0].p0.y);
    EXPECT_EQ(arc.pieces[1].p3.x, lineLeft + 96);  // the middle of the first digit
    EXPECT_EQ(arc.pieces[1].p0.x, lineLeft + 96 - TieArc::kLeadIn);
    EXPECT_GT(arc.pieces[1].p0.y, arc.pieces[1].p3.y);
    EXPECT_LT(arc.strips[1].top, arc.strips[0].top);  // the next line is lower on the page
    EXPECT_NE(arc.stripLines[0], arc.stripLines[1]);
    const VoltaBracket& jump = view.voltas[0];
    ASSERT_EQ(jump.strips.size(), 2u);
    EXPECT_EQ(jump.strips[0].right, lineRight);
    EXPECT_EQ(jump.stripLines[0], arc.stripLines[0]);

    RecordingSurface paint(0, 0, -1000000, 1000000, 1000000, -1000000, false);
    view.paint(paint);
    EXPECT_EQ(paint.callsOf("drawBezier").size(), 2u);
}

}  // namespace
}  // namespace qe
