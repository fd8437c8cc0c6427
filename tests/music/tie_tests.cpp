#include <gtest/gtest.h>

#include "music/score_records.h"
#include "music/track_walk.h"
#include "support/notation.h"

namespace qe::music {
namespace {

constexpr Ticks Q = 1920;

using Arcs = std::vector<std::pair<int, int>>;

// A track walked with ties between the items given by index.
TrackWalk tied(const std::string& text, const Arcs& arcs, const Key& key = Key()) {
    const Track track = test::trackOf(test::parseTrack(text));
    std::vector<Tie> ties;
    for (const auto& [from, to] : arcs)
        ties.push_back(Tie{0, *entryOfItem(track, from), *entryOfItem(track, to)});
    return walkTrack(track, key, ties);
}

TEST(Ties, ATiedChainOfOnePitchSoundsOnce) {
    // 5 - 5 | 5 3: item indices 0 1 2 3 4 5
    const TrackWalk w = tied("5 - 5 | 5 3", {{0, 2}, {2, 4}, {4, 5}});
    ASSERT_EQ(w.notes.size(), 4u);
    EXPECT_EQ(w.notes[0].soundLength, 4 * Q);
    EXPECT_FALSE(w.notes[0].tieContinues);
    for (int i : {1, 2}) {
        EXPECT_TRUE(w.notes[static_cast<std::size_t>(i)].tieContinues) << i;
        EXPECT_EQ(w.notes[static_cast<std::size_t>(i)].soundLength, 0) << i;
        EXPECT_EQ(w.notes[static_cast<std::size_t>(i)].tiedFrom, i - 1);
    }
    // A tie to another pitch is reported and joins nothing.
    EXPECT_EQ(w.notes[2].tiedTo, 3);
    EXPECT_EQ(w.notes[3].tiedFrom, 2);
    EXPECT_FALSE(w.notes[3].tieContinues);
    EXPECT_EQ(w.notes[3].soundLength, Q);
}

TEST(Ties, PitchesDecideWhetherATieJoins) {
    struct Row {
        const char* track;
        Arcs ties;
        bool joins;
    };
    const Row kRows[] = {
        {"#1 b2", {{0, 1}}, true},    // the same key on the keyboard
        {"#4 | 4", {{0, 2}}, false},  // the bar line ends the sharp
        {"#4 4", {{0, 1}}, true},     // the sharp still holds
        {"0 0", {{0, 1}}, false},     // rests have no sound to join
        {"5 - 5", {{1, 2}}, true},    // an end on a dash is its note's
        {"( 5 5 )", {{0, 3}}, true},  // ends on marks reach the notes inside
        {"5 v 5", {{0, 1}}, false},   // the end on the breath mark reaches back to the first 5
    };
    for (const Row& row : kRows) {
        const TrackWalk w = tied(row.track, row.ties);
        ASSERT_EQ(w.notes.size(), 2u) << row.track;
        EXPECT_EQ(w.notes[1].tieContinues, row.joins) << row.track;
        EXPECT_EQ(w.notes[0].soundLength,
                  row.joins ? w.notes[0].length + w.notes[1].length : w.notes[0].length)
            << row.track;
    }
}

TEST(Ties, AnArcOverNotesBetweenJoinsNothing) {
    const TrackWalk w = tied("5 3 5", {{0, 2}, {0, 1}});
    EXPECT_EQ(w.notes[0].tiedTo, 1);  // the nearest
    EXPECT_EQ(w.notes[2].tiedFrom, 0);
    EXPECT_FALSE(w.notes[2].tieContinues);
    EXPECT_EQ(w.notes[0].soundLength, Q);
}

TEST(Ties, ADocumentIsWalkedInItsKeyWithItsTies) {
    QeDocument doc = test::scoreOf({"1 2 |", "5 - | 5 |"});
    doc.header.keyLetter = 4;  // E
    doc.header.keyAccidental = 2;
    test::addFormat(doc, 1, 1, 1, 3);
    const std::vector<TrackWalk> walks = test::walkRecords(doc);
    ASSERT_EQ(walks.size(), 2u);
    EXPECT_EQ(walks[0].notes[1].pitch->midi(), 65);
    EXPECT_EQ(walks[1].notes[0].soundLength, 3 * Q);
    doc.header.keyLetter = 9;  // no key: read as 1=C
    EXPECT_EQ(test::walkRecords(doc)[0].notes[0].pitch->midi(), 60);
}

}  // namespace
}  // namespace qe::music
