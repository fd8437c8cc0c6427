#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "base/exception.h"
#include "engrave/line_breaker.h"
#include "engrave/linear_view.h"
#include "engrave/measure.h"
#include "engrave/recording_surface.h"
#include "engrave/system.h"
#include "support/notation.h"
#include "support/random_music.h"

namespace qe {
namespace {

// The track lines of a score, measured, with the time grid of every column.
struct Columns {
    explicit Columns(const std::vector<std::string>& tracks)
        : doc(test::scoreOfTracks(tracks)), score(test::scoreFrom(doc)) {
        view.build(score.get());
        view.relayout(g);
        grids = columnGrids(view);
    }
    QeDocument doc;
    std::unique_ptr<music::Score> score;
    LinearView view;
    RecordingSurface g;
    std::vector<ColumnGrid> grids;
};

long long totalCost(const std::vector<ColumnGrid>& columns, const std::vector<int>& ends,
                    int width) {
    long long total = 0;
    int from = 0;
    for (std::size_t k = 0; k < ends.size(); ++k) {
        total += k + 1 == ends.size() ? LineBreaker::lastLineCost(columns, from, width)
                                      : LineBreaker::lineCost(columns, from, ends[k], width);
        from = ends[k];
    }
    return total;
}

TEST(LineBreaking, OptimalAgainstEveryBreakingOfSmallScores) {
    std::mt19937 rng(24);
    for (int round = 0; round < 40; ++round) {
        const int measures = 2 + static_cast<int>(rng() % 9);
        std::vector<std::string> tracks{test::randomTrack(rng, measures)};
        if (round % 2)
            tracks.push_back(test::randomTrack(rng, measures, true));
        Columns c(tracks);
        const int width = 3000 + static_cast<int>(rng() % 7000);
        const std::vector<int> ends = LineBreaker().breakAll(c.grids, width);
        ASSERT_FALSE(ends.empty());
        ASSERT_EQ(ends.back(), measures);
        // Every set of breaks between the measures, one bit per gap.
        long long best = std::numeric_limits<long long>::max();
        for (unsigned mask = 0; mask < (1u << (measures - 1)); ++mask) {
            std::vector<int> candidate;
            for (int gap = 1; gap < measures; ++gap)
                if (mask & (1u << (gap - 1)))
                    candidate.push_back(gap);
            candidate.push_back(measures);
            best = std::min(best, totalCost(c.grids, candidate, width));
        }
        EXPECT_EQ(totalCost(c.grids, ends, width), best) << "round " << round;
    }
}

TEST(LineBreaking, BreakingAgainAfterAChangeIsBreakingAnew) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 30; ++round) {
        const int measures = 20 + static_cast<int>(rng() % 60);
        std::vector<std::string> before;
        for (int m = 0; m < measures; ++m)
            before.push_back(test::randomMeasure(rng));
        const int first = static_cast<int>(rng() % measures);
        const int removed = std::min(measures - first, static_cast<int>(rng() % 3));
        const int added = static_cast<int>(rng() % 3);
        std::vector<std::string> after(before.begin(), before.begin() + first);
        for (int i = 0; i < added; ++i)
            after.push_back(test::randomMeasure(rng));
        after.insert(after.end(), before.begin() + first + removed, before.end());
        const auto join = [](const std::vector<std::string>& ms) {
            std::string text;
            for (const std::string& m : ms)
                text += m;
            return text;
        };
        Columns old({join(before)});
        Columns now({join(after)});
        const int width = 8000 + static_cast<int>(rng() % 4000);
        LineBreaker breaker;
        breaker.breakAll(old.grids, width);
        const std::vector<int> again =
            breaker.breakAgain(now.grids, width, first, first + added, added - removed);
        EXPECT_EQ(again, LineBreaker().breakAll(now.grids, width)) << "round " << round;
    }
}

TEST(LineBreaking, NoMeasureAloneOnTheLastLineWhenTheLineBeforeCanGiveOneUp) {
    // Nine equal measures of which four fill a line: filled greedily, the ninth would stand
    // alone.
    std::string nine;
    for (int m = 0; m < 9; ++m)
        nine += "1 2 3 4 | ";
    Columns c({nine});
    const int width = static_cast<int>(std::lround(lineWidth(c.grids, 0, 4, 1.0))) + 10;
    const std::vector<int> ends = LineBreaker().breakAll(c.grids, width);
    ASSERT_GE(ends.size(), 2u);
    EXPECT_GE(ends.back() - ends[ends.size() - 2], 2);
    // Every line within the limits of spacing.
    int from = 0;
    for (int end : ends) {
        const double natural = lineWidth(c.grids, from, end, 1.0);
        if (end < 9 || natural > width) {
            EXPECT_LE(width / natural, kMostStretch);
            EXPECT_GE(width / natural, kLeastSqueeze);
        }
        from = end;
    }
    // Measures so wide that a line holds one: the last one is alone, as every other is.
    const int one = c.grids[0].natural() + 10;
    EXPECT_EQ(LineBreaker().breakAll(c.grids, one), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(LineBreaking, AMeasureWiderThanTheLineGetsALineOfItsOwnSqueezed) {
    Columns c({"1 2 | 1_ 2_ 3_ 4_ 5_ 6_ 7_ 1_ 2_ 3_ 4_ 5_ 6_ 7_ 1_ 2_ 3_ 4_ 5_ 6_ | 3 4 |"});
    const int width = c.grids[1].least() / 2;
    ASSERT_GT(width, c.grids[0].natural() + c.grids[2].natural());
    EXPECT_EQ(LineBreaker().breakAll(c.grids, width), (std::vector<int>{1, 2, 3}));
    double squeeze = 1.0;
    EXPECT_EQ(unitFor(c.grids, 1, 2, width, &squeeze), 0.0);
    // Everything but the bar line narrows.
    const double bar = c.grids[1].barWidth();
    EXPECT_NEAR(squeeze, (width - bar) / (c.grids[1].least() - bar), 0.01);
    LineBreaker none;
    EXPECT_TRUE(none.breakAll({}, width).empty());
}

TEST(Justify, TheUnitOfALineFillsItsWidth) {
    Columns c({"1 2 | 3 - |", "1_ 2_ 3 4 | 5 6 |"});
    for (int width : {2000, 4000, 9000, 30000}) {
        double squeeze = 1.0;
        const double unit = unitFor(c.grids, 0, 2, width, &squeeze);
        EXPECT_EQ(squeeze, 1.0);
        EXPECT_LE(lineWidth(c.grids, 0, 2, unit), width);
        EXPECT_NEAR(lineWidth(c.grids, 0, 2, unit), width, 2.0) << width;
    }
    // The width grows with the unit.
    EXPECT_LT(lineWidth(c.grids, 0, 2, 1.0), lineWidth(c.grids, 0, 2, 1.2));
    EXPECT_EQ(lineWidth(c.grids, 0, 2, 0.0), c.grids[0].least() + c.grids[1].least());
}

TEST(DisplayLines, TracksShareTheirBarLinesAndShortTracksAreLeftOut) {
    Columns c({"1 2 | 3 4 | 5 6 |", "1 | 2_ 3_ |"});
    c.view.lineStarts = {2, 3};
    System first;
    double squeeze = 1.0;
    const double unit = unitFor(c.grids, 0, 2, 3000, &squeeze);
    buildLine(0, c.view, c.grids, unit, squeeze, c.g, first);
    ASSERT_EQ(first.childCount(), 2);
    for (int t = 0; t < 2; ++t) {
        EXPECT_NEAR(first.child(t)->style.width, 3000, 2);
        EXPECT_EQ(first.child(t)->child(1)->style.x, first.child(0)->child(1)->style.x);
        EXPECT_EQ(first.child(t)->child(0)->style.width, first.child(0)->child(0)->style.width);
    }
    EXPECT_EQ(first.child(0)->style.y, -40);
    // Line 1 holds measure 2, which only the first track has.
    System second;
    buildLine(1, c.view, c.grids, 1.0, 1.0, c.g, second);
    EXPECT_EQ(second.childCount(), 1);
    EXPECT_EQ(second.child(0)->realChild(0), c.view.child(0)->child(2));
    System bad;
    EXPECT_THROW(buildLine(2, c.view, c.grids, 1.0, 1.0, c.g, bad), Exception);
    c.view.lineStarts = {1, 1};
    try {
        buildLine(1, c.view, c.grids, 1.0, 1.0, c.g, bad);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.code, kWrongKind);
    }
}

}  // namespace
}  // namespace qe
