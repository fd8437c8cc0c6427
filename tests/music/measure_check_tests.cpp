#include <gtest/gtest.h>

#include "edit/score_editor.h"
#include "music/measure_check.h"
#include "music/measure_numbers.h"
#include "music/score_records.h"
#include "music/track_walk.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe::music {
namespace {

QeDocument inMeter(std::initializer_list<std::string> tracks, int numerator, int denominator) {
    QeDocument doc = test::scoreOf(tracks);
    doc.header.timeNumerator = static_cast<std::uint8_t>(numerator);
    doc.header.timeDenominator = static_cast<std::uint8_t>(denominator);
    return doc;
}

// The flagged measures as "track:measure" texts, 1-based as the user reads them.
std::vector<std::string> flagged(const QeDocument& doc) {
    std::vector<std::string> out;
    for (const MeasureMisfit& f : checkMeasures(*test::scoreFrom(doc)))
        out.push_back(std::to_string(f.track + 1) + ":" + std::to_string(f.measure + 1));
    return out;
}

using Flags = std::vector<std::string>;

TEST(MeasureCheck, CountsAMeasureAsTheRhythmWalkDoes) {
    const QeDocument doc = test::scoreOf(
        {"1 - - . | 1_ 2_ . 3 | - 5__ 6__ 7_ ( v ) | 1___ . . | . 3 | 0 - 5 |", "4_ | 5 6 7"});
    const auto score = test::scoreFrom(doc);
    for (int t = 0; t < score->trackCount(); ++t) {
        const TrackWalk walk = walkTrack(score->track(t), Key{});
        ASSERT_EQ(walk.measures.size(), score->track(t).measures.size()) << t;
        for (int m = 0; m < score->measureCount(t); ++m)
            EXPECT_EQ(measureLength(score->measure(t, m)),
                      walk.measures[static_cast<std::size_t>(m)].length)
                << t << ":" << m;
    }
}

TEST(MeasureCheck, FlagsOverfullAndUnderfullMeasuresInEveryMeter) {
    // 2/4: an eighth too many in measure 2, a quarter too few in measure 3.
    EXPECT_EQ(flagged(inMeter({"1 2 | 3 4 5_ | 6 | 1 2 |"}, 2, 4)), (Flags{"1:2", "1:3"}));
    // 3/4: `1 - - 0` is a beat too many; exact measures pass.
    EXPECT_EQ(flagged(inMeter({"1 2 3 | 1 - - 0 | 5 - - |"}, 3, 4)), (Flags{"1:2"}));
    // 4/4 with two tracks: each is checked on its own.
    EXPECT_EQ(flagged(inMeter({"1 2 3 4 | 5 6 7 1 |", "1 - - - | 1 2 3 4 5 |"}, 4, 4)),
              (Flags{"2:2"}));
    // 6/8 counts eighths: six to the measure.
    EXPECT_EQ(flagged(inMeter({"1_ 2_ 3_ 4_ 5_ 6_ | 1 . 2 . | 1 - - 3_ |"}, 6, 8)), (Flags{"1:3"}));
    // A time signature that names no length flags nothing.
    EXPECT_TRUE(flagged(inMeter({"1 | 1 2 3 4 5 |"}, 0, 4)).empty());
}

TEST(MeasureCheck, APickupAndTheLastMeasureThatCompletesItPass) {
    // A one-beat pickup in 3/4 and a two-beat last measure: one measure between them.
    EXPECT_TRUE(flagged(inMeter({"5 | 1 - 2 | 3 - - | 1 - |"}, 3, 4)).empty());
    // The last measure does not complete the pickup: it is flagged, the pickup is not.
    EXPECT_EQ(flagged(inMeter({"5 | 1 - 2 | 3 |"}, 3, 4)), (Flags{"1:3"}));
    // Without a pickup a short last measure is flagged; a longer first measure is too.
    EXPECT_EQ(flagged(inMeter({"1 2 | 3 - |"}, 3, 4)), (Flags{"1:2"}));
    EXPECT_EQ(flagged(inMeter({"1 2 3 4 | 3 - - |"}, 3, 4)), (Flags{"1:1"}));
    // A last measure that holds nothing yet is not counted, open or closed; one being typed is.
    EXPECT_TRUE(flagged(inMeter({"1 2 3 | 1 2 3 |"}, 3, 4)).empty());
    EXPECT_TRUE(flagged(inMeter({"1 2 3 | 1 2 3 | |]"}, 3, 4)).empty());
    EXPECT_EQ(flagged(inMeter({"1 2 3 | | 1 2 3 | |]"}, 3, 4)), (Flags{"1:2"}));
    EXPECT_EQ(flagged(inMeter({"1 2 3 | 1 2 3 | 4"}, 3, 4)), (Flags{"1:3"}));
}

TEST(MeasureCheck, FollowsEditsAsACheckOfTheWholeScoreWould) {
    test::Editor ed(inMeter({"1 2 3 | 4 5 6 | 7 1 2 |", "1 - - | 2 - - | 3 - - |"}, 3, 4));
    MeasureCheck check(ed.score());
    const auto same = [&](const char* step) {
        EXPECT_EQ(check.misfits(), checkMeasures(ed.score())) << step;
    };
    same("opened");
    ed.caretAt(1, 1);
    ed.type(U"5");
    same("a note typed");
    ASSERT_TRUE(check.misfit(0, 1));
    EXPECT_EQ(check.misfit(0, 1)->length, 4 * kTicksPerQuarter);
    ed.type(U"\r");
    same("a bar line typed");
    ed.type(U"\b\b");
    same("deleted back across the bar line");
    ed.view.undo();
    same("undone");
    doc_header header = ed.score().header();
    header.timeNumerator = 4;
    ed.view.changeHeader(header);
    same("a new time signature");
    ed.caretAt(0, 0, 1);
    ed.type(std::u32string(40, U'1'));
    same("many notes in the second track");
}

TEST(MeasureCheck, WritesBeatsAsAMusicianReadsThem) {
    const Ticks q = kTicksPerQuarter;
    EXPECT_EQ(beatsText(7 * q / 2, q), "3½");
    EXPECT_EQ(beatsText(q / 2, q), "½");
    EXPECT_EQ(beatsText(3 * q / 4, q), "¾");
    EXPECT_EQ(beatsText(5 * q / 4, q), "1¼");
    EXPECT_EQ(beatsText(4 * q, q), "4");
    EXPECT_EQ(beatsText(0, q), "0");
    EXPECT_EQ(beatsText(q / 3, q), "0.33");
    EXPECT_EQ(beatsWords(q / 2, q), u"半拍");
    EXPECT_EQ(beatsWords(q, q), u"1拍");
    EXPECT_EQ(beatsWords(3 * q / 2, q), u"1拍半");
    EXPECT_EQ(beatsWords(q / 4, q), u"四分之一拍");
    EXPECT_EQ(beatsWords(7 * q / 4, q), u"1又四分之三拍");
    EXPECT_EQ(beatsInEnglish(q / 2, q), "half a beat");
    EXPECT_EQ(beatsInEnglish(q, q), "1 beat");
    EXPECT_EQ(beatsInEnglish(3 * q / 2, q), "1½ beats");
    EXPECT_EQ(beatsInEnglish(q / 4, q), "a quarter of a beat");
    EXPECT_EQ(beatsInEnglish(3 * q / 4, q), "three quarters of a beat");
    EXPECT_EQ(beatsInEnglish(2 * q, q), "2 beats");
    EXPECT_EQ(beatsInEnglish(q / 3, q), "0.33 beats");
    EXPECT_EQ(countedBeat(Meter{6, 8}), q / 2);
    EXPECT_EQ(countedBeat(Meter{2, 2}), 2 * q);
}

// A pickup is measure 0: a first measure shorter than its time signature in every track, with
// measures after it. Everything else numbers from 1.
TEST(MeasureNumbers, APickupIsMeasureZero) {
    struct Case {
        std::initializer_list<std::string> tracks;
        bool pickup;
    };
    const Case cases[] = {
        {{"5 | 1 2 3 4 |"}, true},
        {{"5 | 1 2 3 4 |", "5 6 | 1 2 3 4 |"}, true},
        {{"5 | 1 2 3 4 |", "1 2 3 4 | 5 6 7 1 |"}, false},  // one part is full
        {{"1 2 3 4 | 5 |"}, false},
        {{"5 6 |]"}, false},  // one measure, still being typed
        {{"| 1 2 3 4 |"}, false},  // an empty first measure is no pickup
    };
    for (const Case& c : cases) {
        Score score;
        scoreFromRecords(inMeter(c.tracks, 4, 4), score);
        EXPECT_EQ(opensWithPickup(score), c.pickup) << *c.tracks.begin();
        EXPECT_EQ(measureNumber(score, 1), c.pickup ? 1 : 2);
        EXPECT_EQ(measureIndex(score, 1), c.pickup ? 1 : 0);
        EXPECT_EQ(measureIndex(score, 0), c.pickup ? std::optional<int>(0) : std::nullopt);
        EXPECT_EQ(measureIndex(score, 99), std::nullopt);
    }
    Score free;
    QeDocument doc = inMeter({"5 | 1 2 3 4 |"}, 4, 4);
    doc.header.freeMeter = true;
    scoreFromRecords(doc, free);
    EXPECT_FALSE(opensWithPickup(free));
}

}  // namespace
}  // namespace qe::music
