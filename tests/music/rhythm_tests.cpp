#include <gtest/gtest.h>

#include "music/meter.h"
#include "music/rhythm.h"
#include "music/track_walk.h"
#include "support/notation.h"

namespace qe::music {
namespace {

constexpr Ticks Q = 1920;  // a quarter

TrackWalk walk(const std::string& text) {
    return walkTrack(test::trackOf(test::parseTrack(text)), Key());
}

TEST(Rhythm, EveryDurationWithDotsAndDashes) {
    struct Row {
        const char* track;  // one note and what lengthens it
        Ticks length;
    };
    const Row kRows[] = {
        {"1", Q},
        {"1_", Q / 2},
        {"1__", Q / 4},
        {"1___", Q / 8},
        {"1____", 120},
        {"1_____", 60},
        {"1______", 30},
        {"1_______", 15},
        {"0__", Q / 4},   // rests take time
        {"1 .", 2880},    // dotted quarter
        {"1 . .", 3360},  // double-dotted quarter
        {"1_ .", 1440},
        {"1__ .", 720},
        {"1___ . .", 420},  // 240 + 120 + 60
        {"0_ .", 1440},
        {"1______ .", 45},    // 30 + 15
        {"1______ . .", 45},  // half of the shortest value adds nothing
        {"1_______ .", 15},
        {"1 -", 2 * Q},
        {"1 - -", 3 * Q},
        {"1 - - -", 4 * Q},
        {"1_ -", Q / 2 + Q},             // a dash is a quarter whatever it follows
        {"1__ - .", Q / 4 + Q + Q / 2},  // a dot after a dash halves the dash
        {"1 v .", 2880},                 // a breath mark takes no time
        {"( 1 ) .", 2880},
        {"#1 -", 2 * Q},
    };
    for (const Row& row : kRows) {
        const TrackWalk w = walk(row.track);
        ASSERT_EQ(w.notes.size(), 1u) << row.track;
        EXPECT_EQ(w.notes[0].length, row.length) << row.track;
        EXPECT_EQ(w.measures.at(0).length, row.length) << row.track;
    }
}

TEST(Rhythm, MetersGiveTheirBeatAndMeasure) {
    struct Row {
        int numerator, denominator;
        Ticks beat, measure;
    };
    const Row kRows[] = {
        {2, 4, Q, 2 * Q},
        {3, 4, Q, 3 * Q},
        {4, 4, Q, 4 * Q},
        {2, 2, 2 * Q, 4 * Q},
        {3, 8, 3 * Q / 2, 3 * Q / 2},
        {6, 8, 3 * Q / 2, 3 * Q},
        {9, 8, 3 * Q / 2, 9 * Q / 2},
        {12, 8, 3 * Q / 2, 6 * Q},
        {5, 8, Q, 5 * Q / 2},
        {2, 8, Q, Q},
        {3, 16, 3 * Q / 4, 3 * Q / 4},
        {6, 16, 3 * Q / 4, 3 * Q / 2},
        {4, 1, 4 * Q, 16 * Q},
        {3, 0, Q, 0},
        {0, 4, Q, 0},
    };
    for (const Row& row : kRows) {
        const Meter m{row.numerator, row.denominator};
        EXPECT_EQ(m.beat(), row.beat) << row.numerator << "/" << row.denominator;
        EXPECT_EQ(m.measureLength(), row.measure) << row.numerator << "/" << row.denominator;
    }
    doc_header header;
    header.timeNumerator = 6;
    header.timeDenominator = 8;
    EXPECT_EQ(Meter::of(header), (Meter{6, 8}));
}

TEST(Rhythm, MeasuresOfCommonMetersFillTheirLength) {
    struct Row {
        Meter meter;
        const char* track;
    };
    const Row kRows[] = {
        {{2, 4}, "1 2 | 3_ 4_ 5 | 6 - |"},
        {{3, 4}, "1 - 2 | 3 . 4_ 5 | 6 - - |"},
        {{4, 4}, "1 2 3 4 | 5 - 6 - | 1 - - - |]"},
        {{2, 2}, "1 - 2 - | 3 - - - |"},
        {{3, 8}, "1_ 2_ 3_ | 5 . | 6__ 5__ 4_ 3_ |"},
        {{6, 8}, "1_ 2_ 3_ 4_ 5_ 6_ | 5 . 3 . | 1 . - . |"},
        {{12, 8}, "1 . 2 . 3 . 4 . | 5 - . 0_ 5 . - . |"},
    };
    for (const Row& row : kRows) {
        const TrackWalk w = walk(row.track);
        Ticks start = 0;
        for (const MeasureSpan& m : w.measures) {
            EXPECT_EQ(m.length, row.meter.measureLength()) << row.track;
            EXPECT_EQ(m.start, start) << row.track;
            start += m.length;
        }
    }
}

TEST(Rhythm, ItemsKnowTheirMeasureAndStart) {
    // Given 4/4 with a pickup of one eighth
    const TrackWalk w = walk("5_ | 1 2_ 3_ 4 5 | 6 - - . 7_ |]");
    struct Expect {
        int measure;
        Ticks start, inMeasure, length;
    };
    const Expect kItems[] = {
        {0, 0, 0, 960},       {0, 960, 960, 0},  // the bar line ends the pickup
        {1, 960, 0, Q},       {1, 2880, Q, 960},      {1, 3840, 2880, 960},  {1, 4800, 3840, Q},
        {1, 6720, 5760, Q},   {1, 8640, 7680, 0},     {2, 8640, 0, Q},       {2, 10560, Q, Q},
        {2, 12480, 2 * Q, Q}, {2, 14400, 3 * Q, 960}, {2, 15360, 6720, 960}, {2, 16320, 7680, 0},
    };
    ASSERT_EQ(w.items.size(), std::size(kItems));
    for (std::size_t i = 0; i < w.items.size(); ++i) {
        EXPECT_EQ(w.items[i].measure, kItems[i].measure) << i;
        EXPECT_EQ(w.items[i].start, kItems[i].start) << i;
        EXPECT_EQ(w.items[i].startInMeasure, kItems[i].inMeasure) << i;
        EXPECT_EQ(w.items[i].length, kItems[i].length) << i;
    }
    ASSERT_EQ(w.measures.size(), 3u);
    EXPECT_EQ(w.measures[0].length, 960);
    EXPECT_EQ(w.measures[2].firstItem, 8);
    EXPECT_EQ(w.measures[2].endItem, 14);
    EXPECT_EQ(w.measures[2].barType, 6);
    EXPECT_EQ(w.notes[6].items, (std::vector<int>{8, 9, 10, 11}));
    EXPECT_EQ(w.notes[6].length, 3 * Q + 960);
}

TEST(Rhythm, ADashAfterABarLineGoesOnWithTheNoteBeforeIt) {
    const TrackWalk w = walk("5 - | - - 3 - | . 2");
    ASSERT_EQ(w.notes.size(), 3u);
    EXPECT_EQ(w.notes[0].length, 4 * Q);
    EXPECT_EQ(w.notes[0].items, (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(w.notes[0].measure, 0);
    EXPECT_EQ(w.notes[1].start, 4 * Q);
    // A dot at the start of a measure has nothing before it there: it adds no time.
    EXPECT_EQ(w.notes[1].items, (std::vector<int>{5, 6, 8}));
    EXPECT_EQ(w.notes[1].length, 2 * Q);
    EXPECT_EQ(w.notes[2].start, 6 * Q);
    EXPECT_EQ(w.measures.back().barType, -1);  // left open
    EXPECT_EQ(w.measures.back().length, Q);
}

TEST(Rhythm, DashesBeforeAnyNoteAreSilence) {
    const TrackWalk w = walk("- . v 1");
    EXPECT_EQ(w.items[0].note, -1);
    EXPECT_EQ(w.items[1].note, -1);
    EXPECT_EQ(w.items[1].length, 960);
    EXPECT_EQ(w.notes.at(0).start, 2880);
}

TEST(Rhythm, SkippedRecordsTakeNoIndexAndCloseNoMeasure) {
    const std::vector<note> records = {note(0, 1, 0, 0), note(0x0C08, 0),  note::mark(note::kDash),
                                       note(0x1039, 0),  note::barLine(0), note(0x0040, 6),
                                       note(1, 2, 0, 1)};
    const TrackWalk w = walkTrack(test::trackOf(records), Key());
    ASSERT_EQ(w.items.size(), 4u);
    const int kRecords[] = {0, 2, 4, 6};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(w.items[i].record, kRecords[i]);
    EXPECT_EQ(w.items[1].measure, 0);  // bar type 8 closes nothing
    EXPECT_EQ(w.items[3].measure, 1);
    EXPECT_EQ(w.items[3].start, 2 * Q);
}

TEST(Rhythm, AClockPlacesOneMeasureAtATime) {
    MeasureClock clock;
    EXPECT_EQ(clock.place(Item::digit(1, 0, 1)).start, 0);
    EXPECT_EQ(clock.place(Item::mark(Item::Kind::Dot)).length, 480);
    const MeasureClock::Span bar = clock.place(Item::barLine(0));
    EXPECT_EQ(bar.start, 1440);
    EXPECT_EQ(bar.length, 0);
    EXPECT_EQ(clock.position(), 0);
    EXPECT_EQ(clock.place(Item::mark(Item::Kind::Dot)).length, 0);
}

}  // namespace
}  // namespace qe::music
