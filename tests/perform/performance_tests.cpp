#include <gtest/gtest.h>

#include <ostream>

#include "perform/performance.h"
#include "support/notation.h"
#include "support/perform_records.h"

namespace qe::sound {

void PrintTo(const SoundedNote& n, std::ostream* out) {
    *out << "{" << n.start << ", " << n.length << ", key " << n.key << ", item " << n.item << "}";
}
void PrintTo(const Cue& c, std::ostream* out) {
    *out << "{" << c.at << ", " << c.item << "}";
}

namespace {

constexpr Ticks Q = 1920;

// A score in 1=C.
QeDocument score(std::initializer_list<std::string> tracks) {
    QeDocument doc = test::scoreOf(tracks);
    doc.header.keyLetter = 2;
    return doc;
}

// Item index of the n-th bar line (from 0) of a track text.
int barItem(const std::string& track, int n) {
    const std::vector<note> notes = test::parseTrack(track);
    for (std::size_t i = 0; i < notes.size(); ++i)
        if (notes[i].isBarLine() && n-- == 0)
            return static_cast<int>(i);
    return -1;
}

TEST(Performance, TheTempoCountsQuartersInEveryMeter) {
    QeDocument doc = score({"1 2 3 4 5 6"});
    doc.header.timeNumerator = 6;
    doc.header.timeDenominator = 8;
    const Performance p = test::performRecords(doc, {.tempo = 120});
    EXPECT_DOUBLE_EQ(p.seconds(Q), 0.5);
    EXPECT_DOUBLE_EQ(p.seconds(p.length), 3.0);
    EXPECT_EQ(p.ticksAt(1.25), 5 * Q / 2);
    EXPECT_EQ(test::performRecords(doc, {.tempo = 5000}).tempo, kMaxTempo);
    EXPECT_EQ(test::performRecords(doc, {.tempo = -3}).tempo, kMinTempo);
}

TEST(Performance, ABreathMarkReleasesTheSoundBeforeItALittleEarly) {
    // A quarter loses a sixteenth; an eighth at most a quarter of itself; a tie broken by a
    // breath strikes again; a breath after a rest or at the start changes nothing.
    QeDocument doc = score({"1 v 2_ v 3_ | v 4 v 4 - v | 0 v 5"});
    test::addFormat(doc, 1, 0, 7, 9);  // 4 v 4: tied, but the breath comes between
    const std::vector<SoundedNote> expected = {
        {0, Q - Q / 4, 60, 0},     {Q, Q / 2 - Q / 8, 62, 2},     {3 * Q / 2, Q / 2 - Q / 8, 64, 4},
        {2 * Q, Q - Q / 4, 65, 7}, {3 * Q, 2 * Q - Q / 4, 65, 9}, {6 * Q, Q, 67, 15},
    };
    EXPECT_EQ(test::performRecords(doc).tracks[0].notes, expected);
}

TEST(Performance, CuesFollowEachWrittenNoteAndRest) {
    // 1 0 | 2 - with 2 tied to 2: every written note is shown in turn, though the tied one
    // is not struck again; after the last, nothing.
    QeDocument doc = score({"1 0_ 0_ | 2 - | 2 3"});
    test::addFormat(doc, 1, 0, 4, 7);
    const PerformedTrack track = test::performRecords(doc).tracks[0];
    EXPECT_EQ(
        track.cues,
        (std::vector<Cue>{
            {0, 0}, {Q, 1}, {3 * Q / 2, 2}, {2 * Q, 4}, {4 * Q, 7}, {5 * Q, 8}, {6 * Q, -1}}));
    EXPECT_EQ(track.notes,
              (std::vector<SoundedNote>{{0, Q, 60, 0}, {2 * Q, 3 * Q, 62, 4}, {5 * Q, Q, 64, 8}}));
}

TEST(Performance, ATrackThatEndsEarlyShowsNothingWhileTheOthersGoOn) {
    const Performance p = test::performRecords(score({"1 | 2", "5 - | 5 - | 5 - |]"}));
    EXPECT_EQ(p.tracks[0].cues, (std::vector<Cue>{{0, 0}, {Q, -1}, {2 * Q, 2}, {3 * Q, -1}}));
    EXPECT_EQ(p.length, 6 * Q);
}

TEST(Performance, ADashHoldsOnlyTheNoteItFollowsInThePlaying) {
    // |: 1 | 2 :| - 3: the dash after the end repeat holds the 2 written before it when the 2
    // is played right before it, the second time through.
    const std::string track = "|: 1 | 2 :| - 3 |]";
    const PerformedTrack held = test::performRecords(score({track})).tracks[0];
    EXPECT_EQ(held.notes, (std::vector<SoundedNote>{{0, Q, 60, 1},
                                                    {Q, Q, 62, 3},
                                                    {2 * Q, Q, 60, 1},
                                                    {3 * Q, 2 * Q, 62, 3},
                                                    {5 * Q, Q, 64, 6}}));
    // With "1." over the measure of 2, the 2 is not played the second time: the dash after
    // the 1 is silent, and shows nothing.
    QeDocument doc = score({track});
    test::addFormat(doc, 4, 0, barItem(track, 2), barItem(track, 2));
    const PerformedTrack skipped = test::performRecords(doc).tracks[0];
    EXPECT_EQ(skipped.notes,
              (std::vector<SoundedNote>{
                  {0, Q, 60, 1}, {Q, Q, 62, 3}, {2 * Q, Q, 60, 1}, {4 * Q, Q, 64, 6}}));
    EXPECT_EQ(skipped.cues,
              (std::vector<Cue>{{0, 1}, {Q, 3}, {2 * Q, 1}, {3 * Q, -1}, {4 * Q, 6}, {5 * Q, -1}}));
}

TEST(Performance, ANoteIsStruckAgainAfterAJumpBack) {
    // The same pitch at the end of a section and at its start is two sounds.
    const PerformedTrack t = test::performRecords(score({"5 | 5 :|"})).tracks[0];
    ASSERT_EQ(t.notes.size(), 4u);
    for (std::size_t i = 0; i < t.notes.size(); ++i)
        EXPECT_EQ(t.notes[i], (SoundedNote{static_cast<Ticks>(i) * Q, Q, 67, i % 2 ? 2 : 0}));
}

TEST(Performance, AnItemIsFoundWhereItIsFirstPlayed) {
    // 1 |: 2 | 3 :| 4 is played 1 2 3 2 3 4; the lower track's items: 5_ 5_ | 6
    const Performance p = test::performRecords(score({"1 |: 2 | 3 :| 4", "5_ 5_ | 6"}));
    EXPECT_EQ(p.firstTimeOf(0, 0), 0);
    EXPECT_EQ(p.firstTimeOf(0, 4), 2 * Q);  // the 3
    EXPECT_EQ(p.firstTimeOf(0, 6), 5 * Q);  // the 4, after the repeat
    EXPECT_EQ(p.firstTimeOf(0, 5), 3 * Q);  // a bar line, at the end of its measure
    EXPECT_EQ(p.firstTimeOf(1, 1), Q / 2);
    EXPECT_EQ(p.firstTimeOf(1, 3), Q);
    EXPECT_EQ(p.firstTimeOf(0, 7), std::nullopt);
    EXPECT_EQ(p.firstTimeOf(2, 0), std::nullopt);
    EXPECT_EQ(p.firstTimeOf(-1, 0), std::nullopt);
    EXPECT_EQ(p.firstTimeOf(0, -1), std::nullopt);
}

TEST(Performance, HostileTracksPerformWithinBounds) {
    // Marks before any note, a bar line with bit 3 set, unknown records and a hundred end
    // repeats: nothing is sounded that is not written, and no measure plays more than twice.
    QeDocument doc = score({"- . v ) 1"});
    auto& items = doc.noteTracks()[0].content.items;
    items.push_back(note::barLine(12));
    items.push_back(note(0xFFFF, 0xFFFF));
    items.push_back(note(0, 2, 0, 0));
    for (int i = 0; i < 100; ++i)
        items.push_back(note::barLine(4));
    const Performance p = test::performRecords(doc);
    const PerformedTrack& t = p.tracks[0];
    // "- ." takes a quarter and a half in silence; 1 and 2 then repeat once, the empty
    // measures after them once each, at no time.
    ASSERT_EQ(t.notes.size(), 4u);
    EXPECT_EQ(t.notes[0], (SoundedNote{3 * Q / 2, Q, 60, 4}));
    EXPECT_EQ(t.notes[1], (SoundedNote{5 * Q / 2, Q, 62, 5}));
    EXPECT_EQ(p.form.size(), 2u + 2u * 99u);
}

}  // namespace
}  // namespace qe::sound
