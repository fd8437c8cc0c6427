#include <gtest/gtest.h>

#include "base/exception.h"
#include "engrave/line_breaker.h"
#include "engrave/linear_view.h"
#include "engrave/measure.h"
#include "engrave/note_line.h"
#include "engrave/recording_surface.h"
#include "engrave/shadow_node.h"
#include "engrave/system.h"
#include "support/notation.h"

namespace qe {
namespace {

// A view whose track lines hold bare measures of the given natural widths.
struct Widths {
    explicit Widths(std::initializer_list<std::vector<int>> tracks) {
        for (const auto& widths : tracks) {
            auto line = std::make_unique<NoteLine>(nullptr, 40, 40);
            for (int w : widths) {
                auto m = std::make_unique<Measure>(nullptr, 0);
                m->style.width = w;
                line->appendChild(std::move(m));
            }
            view.appendChild(std::move(line));
        }
    }
    LinearView view;
};

int breakCode(LinearView& view, int width) {
    try {
        breakLines(view, width);
    } catch (const Exception& e) {
        return e.code;
    }
    return 0;
}

TEST(LineBreaking, GreedyOverTheWidestMeasureOfEachIndex) {
    Widths w({{300, 300, 300}});
    EXPECT_EQ(breakLines(w.view, 650), 2);
    EXPECT_EQ(w.view.lineStarts, (std::vector<int>{2, 3}));
    Widths exact({{325, 325}});
    EXPECT_EQ(breakLines(exact.view, 650), 1);  // a running width equal to the limit fits
    EXPECT_EQ(exact.view.lineStarts, std::vector<int>{2});
    Widths twoTracks({{100, 100, 300}, {400, 100}});
    EXPECT_EQ(breakLines(twoTracks.view, 650), 2);
    EXPECT_EQ(twoTracks.view.lineStarts, (std::vector<int>{2, 3}));
}

TEST(LineBreaking, TooWideAMeasureIsCodeSix) {
    Widths w({{700}});
    EXPECT_EQ(breakCode(w.view, 650), kLayoutOverflow);
    LinearView empty;
    EXPECT_EQ(breakLines(empty, 650), 0);
    Widths noMeasures({{}});
    EXPECT_EQ(breakLines(noMeasures.view, 650), 0);
}

TEST(LineBreaking, AZeroWideMeasureDoesNotEndTheScore) {
    // An empty measure closed by a hidden bar line is 0 wide; what follows it still counts.
    Widths w({{300, 0, 300, 300}});
    EXPECT_EQ(breakLines(w.view, 650), 2);
    EXPECT_EQ(w.view.lineStarts, (std::vector<int>{3, 4}));
}

TEST(DisplayLines, ShortTracksAreLeftOutAndEachTrackIsJustifiedAlone) {
    QeDocument doc = test::scoreOf({"1 2 | 3 4 | 5 6 |", "1 | 2_ 3_ |"});
    LinearView view;
    const auto docScore = test::scoreFrom(doc);
    view.build(docScore.get());
    RecordingSurface g;
    view.relayout(g);
    view.lineStarts = {2, 3};
    System first;
    buildLine(0, view, g, first, 3000);
    ASSERT_EQ(first.childCount(), 2);
    for (int t = 0; t < 2; ++t)
        EXPECT_EQ(first.child(t)->style.width, 3000);
    // Bar lines of the two tracks need not line up: each line spreads by its own weights.
    EXPECT_NE(first.child(0)->child(1)->style.x, first.child(1)->child(1)->style.x);
    EXPECT_EQ(first.child(0)->style.y, -40);
    EXPECT_EQ(first.child(1)->style.y, -40 - 720 - 80);
    // Line 1 holds measure 2, which only the first track has.
    System second;
    buildLine(1, view, g, second, 3000);
    EXPECT_EQ(second.childCount(), 1);
    EXPECT_EQ(second.realChild(0), second.child(0));  // a note line, not a shadow
    EXPECT_EQ(second.child(0)->realChild(0), view.child(0)->child(2));
    System bad;
    EXPECT_THROW(buildLine(2, view, g, bad, 3000), Exception);
    view.lineStarts = {1, 1};
    try {
        buildLine(1, view, g, bad, 0);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.code, kWrongKind);
    }
}

TEST(Justify, SpreadsRoomByWeightAndGapsOfAQuarter) {
    QeDocument doc = test::scoreOf({"1 2 | 3 - |"});
    LinearView view;
    const auto docScore = test::scoreFrom(doc);
    view.build(docScore.get());
    RecordingSurface g;
    view.relayout(g);
    NoteLine line(nullptr, 40, 40);
    for (int m = 0; m < 2; ++m)
        line.appendChild(std::make_unique<ShadowNode>(view.child(0)->child(m)));
    line.layout(g, true);
    ASSERT_EQ(line.style.width, 2 * 624);
    // Weights: 16 + 16 and 16 + 16, plus one gap of 16: 80 units for 800 of room.
    EXPECT_DOUBLE_EQ(justify(line, 2 * 624 + 800, g), 10.0);
    EXPECT_EQ(line.style.width, 2 * 624 + 800);
    EXPECT_EQ(line.child(0)->style.width, 624 + 320);
    EXPECT_EQ(line.child(1)->style.x, 624 + 320 + 160);
    EXPECT_EQ(line.child(1)->style.width, 624 + 320);
    // The measure itself was stretched: its second element moved by 160.
    EXPECT_EQ(view.child(0)->child(0)->child(1)->style.x, 192 + 160);
    NoteLine empty(nullptr, 0, 0);
    justify(empty, 500, g);
    EXPECT_EQ(empty.style.width, 500);
}

}  // namespace
}  // namespace qe
