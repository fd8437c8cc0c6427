#include <gtest/gtest.h>

#include "base/exception.h"
#include "music/score.h"
#include "support/notation.h"

namespace qe::music {
namespace {

// Records what a score tells its observers.
struct Listener : ScoreObserver {
    void scoreChanged(const ScoreChange& c) override { heard.push_back(c); }
    std::vector<ScoreChange> heard;
};

Entry entryOf(const std::string& token) {
    return Entry{test::parseTrack(token).front(), {}, {}};
}

TEST(Score, EntriesInsertedOrRemovedCarryTheTiesOfTheirMeasureAlong) {
    // Given 1 2 3 | 4 | with a tie from the 2 to the 4
    QeDocument doc = test::scoreOf({"1 2 3 | 4 |"});
    test::addFormat(doc, 1, 0, 1, 4);
    const auto score = test::scoreFrom(doc);
    ASSERT_EQ(score->ties().size(), 1u);
    score->insertEntry(0, 0, 0, entryOf("5"));
    EXPECT_EQ(score->ties()[0], (Tie{0, {0, 2}, {1, 0}}));
    score->insertEntry(0, 1, 1, entryOf("6"));  // after the 4: the tie's end stays
    EXPECT_EQ(score->ties()[0].to, (EntryRef{1, 0}));
    score->removeEntry(0, 0, 0);
    EXPECT_EQ(score->ties()[0].from, (EntryRef{0, 1}));
    // An entry a tie rests on is refused: the editor takes the tie away first.
    EXPECT_THROW(score->removeEntry(0, 0, 1), Exception);
    // And a bar line is not an entry to insert or remove.
    EXPECT_THROW(score->insertEntry(0, 0, 0, entryOf("|")), Exception);
    EXPECT_THROW(score->removeEntry(0, 0, 3), Exception);
}

TEST(Score, SplittingAndMergingMoveTiesAndVoltasWithTheirItemsAndMeasures) {
    // Given 1 2 3 | 4 | 5 | with a tie from the 3 to the 4 and a volta over the 5's measure
    const auto score = test::scoreFrom(test::scoreWithShapes({"1 2 3~ | 4 | { 5 | } |]"}));
    ASSERT_EQ(score->voltas().size(), 1u);
    const Tie tie = score->ties()[0];
    EXPECT_EQ(tie, (Tie{0, {0, 2}, {1, 0}}));
    // A bar line typed after the 1: the 2 and 3 go on as measure 1.
    score->splitMeasure(0, 0, 1, test::parseTrack("||").front());
    EXPECT_EQ(score->measureCount(0), 5);
    EXPECT_EQ(score->ties()[0], (Tie{0, {1, 1}, {2, 0}}));
    EXPECT_EQ(score->voltas()[0].from, 3);
    EXPECT_EQ(score->voltas()[0].to, 3);
    // Merging it back gives the tie and the volta back as they were.
    EXPECT_EQ(score->mergeMeasure(0, 0), test::parseTrack("||").front());
    EXPECT_EQ(score->ties()[0], tie);
    EXPECT_EQ(score->voltas()[0].from, 2);
    // A measure a volta rests on, or the last measure, gives up no bar line.
    EXPECT_THROW(score->mergeMeasure(0, 2), Exception);
    EXPECT_THROW(score->mergeMeasure(0, 3), Exception);
}

TEST(Score, ObserversHearWhichMeasuresChanged) {
    const auto score = test::scoreFrom(test::scoreOf({"1 2 | 3 |", "5 |"}));
    Listener listener;
    score->addObserver(&listener);
    score->insertEntry(1, 0, 0, entryOf("6"));
    score->splitMeasure(0, 1, 0, test::parseTrack("|").front());
    score->mergeMeasure(0, 0);
    score->insertTie(0, Tie{0, {0, 0}, {0, 1}});
    score->removeObserver(&listener);
    score->removeTie(0);
    ASSERT_EQ(listener.heard.size(), 4u);
    const auto measures = [](const ScoreChange& c) {
        return std::vector<int>{c.track, c.measure, c.removed, c.added};
    };
    EXPECT_EQ(measures(listener.heard[0]), (std::vector<int>{1, 0, 1, 1}));
    EXPECT_EQ(measures(listener.heard[1]), (std::vector<int>{0, 1, 1, 2}));
    EXPECT_EQ(measures(listener.heard[2]), (std::vector<int>{0, 0, 2, 1}));
    EXPECT_EQ(listener.heard[3].kind, ScoreChange::Kind::Ties);
}

TEST(Score, ShapesThatCouldNeverBeDrawnAreRefused) {
    const auto score = test::scoreFrom(test::scoreOf({"1 2 | 3 |", "5 |"}));
    EXPECT_THROW(score->insertTie(0, Tie{0, {0, 1}, {0, 0}}), Exception);  // backwards
    EXPECT_THROW(score->insertTie(0, Tie{0, {0, 0}, {0, 2}}), Exception);  // onto a bar line
    EXPECT_THROW(score->insertTie(0, Tie{3, {0, 0}, {0, 1}}), Exception);  // no such track
    EXPECT_THROW(score->insertVolta(0, Volta{0, 1, 0, u"1"}), Exception);
    EXPECT_THROW(score->insertVolta(0, Volta{1, 0, 1, u"1"}), Exception);
    EXPECT_TRUE(score->ties().empty());
    EXPECT_TRUE(score->voltas().empty());
}

}  // namespace
}  // namespace qe::music
