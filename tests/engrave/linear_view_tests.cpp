#include <gtest/gtest.h>

#include <cmath>

#include "base/exception.h"
#include "engrave/linear_view.h"
#include "engrave/time_grid.h"
#include "engrave/measure.h"
#include "engrave/note_element.h"
#include "engrave/recording_surface.h"
#include "support/notation.h"
#include "support/scroll_score.h"

namespace qe {
namespace {

using Scroll = test::ScrollScore;

TEST(ScrollLayout, OneEmptyTrackIsJustThePaddings) {
    Scroll s(test::scoreOf({""}));
    ASSERT_EQ(s.view.childCount(), 1);
    EXPECT_EQ(s.line(0)->childCount(), 0);
    EXPECT_EQ(s.view.style.width, 640);
    EXPECT_EQ(s.view.style.height, -(320 + 80 + 320));
    EXPECT_EQ(s.view.hitTest({100, -100}), &s.view);
}

TEST(ScrollLayout, TracksStackTopToBottomFromTheSameLeftEdge) {
    Scroll s(test::scoreOf({"1 2 | 3 4 |", "5 |"}));
    EXPECT_EQ(s.line(0)->style.x, 320);
    EXPECT_EQ(s.line(0)->style.y, -360);
    EXPECT_EQ(s.line(1)->style.x, 320);
    EXPECT_EQ(s.line(1)->style.y, -360 - 720 - 80);
    // Each measure spaced by time alone: this view is not a strip that lines columns up.
    const int measure =
        static_cast<int>(std::lround(96 + 2 * 192 * timeSpace(1920) - 0.75 * 192)) + 240;
    const int longer = 2 * measure;
    EXPECT_EQ(s.line(0)->style.width, longer);
    EXPECT_EQ(s.view.style.width, 320 + longer + 320);
    EXPECT_EQ(s.view.style.height, -(320 + 2 * (40 + 720 + 40) + 320));
    // A point on the boundary between two measures belongs to the right-hand one.
    EXPECT_EQ(s.view.hitTest({320 + measure, -360 - 300}), s.measure(1)->child(0));
    // Between the lines: the view itself, not a caret position.
    EXPECT_EQ(s.view.hitTest({400, -360 - 720 - 40}), &s.view);
}

TEST(ScrollLayout, ItemsAndMeasuresAreFoundByTheirPlaceInTheScore) {
    Scroll s(test::scoreOf({"1 #2 | 3 |", "5 |"}));
    EXPECT_EQ(s.view.measureNode(0, 1), s.measure(1));
    // Of a note with an accidental, the digit stands for the item.
    NoteElement* sharpTwo = s.view.itemNode(0, {0, 1});
    ASSERT_NE(sharpTwo, nullptr);
    EXPECT_EQ(sharpTwo, s.measure(0)->child(2));
    EXPECT_EQ(s.view.itemNode(1, {0, 0}), s.measure(0, 1)->child(0));
    EXPECT_EQ(s.view.itemNode(0, {0, 9}), nullptr);
    EXPECT_EQ(s.view.measureNode(5, 0), nullptr);
}

TEST(ScrollLayout, FormatRecordsBecomeArcsAndVoltas) {
    QeDocument doc = test::scoreOf({"1 2 3 | 4 5 | 6 |"});
    test::addFormat(doc, 1, 0, 0, 1);
    test::addFormat(doc, 4, 0, 3, 6);
    test::addFormat(doc, 2, 0, 0, 1);  // other types are skipped without error
    test::addFormat(doc, 3, 0, 0, 1);
    Scroll s(std::move(doc));
    ASSERT_EQ(s.view.arcs.size(), 1u);
    ASSERT_EQ(s.view.voltas.size(), 1u);
    EXPECT_EQ(s.view.voltas[0].label, u"1");
    EXPECT_EQ(s.view.voltas[0].from, s.measure(0));
    EXPECT_EQ(s.view.voltas[0].to, s.measure(1));
}

TEST(ScrollLayout, ClearingKeepsTheScoreAndDropsTheShapes) {
    QeDocument doc = test::scoreOf({"1 2 |"});
    test::addFormat(doc, 1, 0, 0, 1);
    Scroll s(std::move(doc));
    s.view.lineStarts = {1};
    s.view.clearChildren();
    EXPECT_EQ(s.view.childCount(), 0);
    EXPECT_TRUE(s.view.arcs.empty());
    EXPECT_EQ(s.view.score, s.score.get());
    EXPECT_EQ(s.view.lineStarts, std::vector<int>{1});
}

TEST(ScrollLayout, DrawsTheFrameThenShapesUnderTheNotes) {
    QeDocument doc = test::scoreOf({"1 2 |"});
    test::addFormat(doc, 1, 0, 0, 1);
    Scroll s(std::move(doc));
    RecordingSurface g(0, 0, -100000, 100000, 100000, -100000, false);
    s.view.paint(g);
    ASSERT_GE(g.calls.size(), 3u);
    EXPECT_EQ(g.calls[0].op, "rectangle");
    EXPECT_EQ(g.calls[0].args, (std::vector<int>{0, 0, s.view.style.width, s.view.style.height}));
    EXPECT_EQ(g.calls[1].op, "setPen");
    EXPECT_EQ(g.calls[2].op, "drawBezier");
    EXPECT_EQ(g.callsOf("drawText").size(), 3u);
}

}  // namespace
}  // namespace qe
