#include <gtest/gtest.h>

#include <random>

#include "music/attributes.h"
#include "music/track_walk.h"
#include "perform/form.h"
#include "support/notation.h"
#include "support/perform_records.h"

namespace qe::sound {
namespace {

constexpr Ticks Q = 1920;

// Item index of the n-th bar line (from 0) of a track text.
int barItem(const std::string& track, int n) {
    const std::vector<note> notes = test::parseTrack(track);
    for (std::size_t i = 0; i < notes.size(); ++i)
        if (notes[i].isBarLine() && n-- == 0)
            return static_cast<int>(i);
    return -1;
}

std::vector<PlayedMeasure> played(const QeDocument& doc) {
    const auto score = test::scoreFrom(doc);
    return unfold(music::walkScore(*score), score->voltas(), score->header().marks);
}

// Labels brackets by their index among the format records.
void label(QeDocument& doc, const extension::VoltaLabels& labels) {
    extension::put(doc.header.extension, extension::kVoltaLabels,
                   extension::encodeVoltaLabels(labels));
}

// Puts jumps over measure m.
void jumps(QeDocument& doc, std::uint32_t m, std::uint32_t flags) {
    MeasureMark mark;
    mark.measure = m;
    mark.jumps = flags;
    music::setMark(doc.header, mark);
}

// The measures in the order they are played.
std::vector<int> order(const QeDocument& doc) {
    std::vector<int> out;
    for (const PlayedMeasure& m : played(doc))
        out.push_back(m.measure);
    return out;
}

TEST(Form, RepeatedSectionsPlayTwice) {
    struct Row {
        const char* track;
        std::vector<int> order;
    };
    const Row kRows[] = {
        {"1 | 2 | 3", {0, 1, 2}},
        {"1 |: 2 | 3 :| 4", {0, 1, 2, 1, 2, 3}},
        // Without a begin repeat the playing goes back to the start.
        {"1 | 2 :| 3", {0, 1, 0, 1, 2}},
        // ... or to the measure after the last repeat already played through.
        {"1 :| 2 | 3 :| 4", {0, 0, 1, 2, 1, 2, 3}},
        {"1 |: 2 :| 3 :|", {0, 1, 1, 2, 2}},
        // A begin repeat at the very start closes an empty measure.
        {"|: 1 | 2 :|", {0, 1, 2, 1, 2}},
        // Two sections one after the other.
        {"|: 1 :| |: 2 :|", {0, 1, 1, 2, 3, 3}},
        // The latest begin repeat is where the section starts.
        {"1 |: 2 |: 3 :| 4", {0, 1, 2, 2, 3}},
        // A repeat closing the last measure.
        {"1 |: 2 :|", {0, 1, 1}},
    };
    for (const Row& row : kRows)
        EXPECT_EQ(order(test::scoreOf({row.track})), row.order) << row.track;
}

TEST(Form, TheFirstEndingIsPlayedTheFirstTimeOnly) {
    struct Row {
        const char* track;
        std::vector<std::pair<int, int>> brackets;
        std::vector<int> order;
    };
    const Row kRows[] = {
        // |: 1 | 2 :| 3 |] with "1." over 2 and "2." over 3
        {"|: 1 | 2 :| 3 |]", {{2, 2}, {3, 3}}, {0, 1, 2, 1, 3}},
        // The same without a bracket over the second ending.
        {"|: 1 | 2 :| 3 |]", {{2, 2}}, {0, 1, 2, 1, 3}},
        // A first ending of two measures, the end repeat in its last one.
        {"|: 1 | 2 | 3 | 4 :| 5 |]", {{3, 4}}, {0, 1, 2, 3, 4, 1, 2, 5}},
        // An end repeat inside a longer bracket: the whole bracket is skipped.
        {"|: 1 | 2 :| 3 | 4 |]", {{2, 3}}, {0, 1, 2, 1, 4}},
        // A bracket without an end repeat in it is played every time.
        {"1 | 2 | 3 |]", {{1, 2}}, {0, 1, 2}},
        {"|: 1 | 2 :| 3 |]", {{1, 1}}, {0, 1, 2, 1, 2, 3}},
        // A first ending that covers the whole section: the second time plays nothing of it.
        {"|: 1 | 2 :| 3 |]", {{0, 2}}, {0, 1, 2, 3}},
        // Two sections, each with its own first ending.
        {"|: 1 | 2 :| 3 |: 4 | 5 :| 6", {{2, 2}, {5, 5}}, {0, 1, 2, 1, 3, 4, 5, 4, 6}},
    };
    for (const Row& row : kRows) {
        QeDocument doc = test::scoreOf({row.track});
        for (auto [first, last] : row.brackets)
            test::addFormat(doc, 4, 0, barItem(row.track, first), barItem(row.track, last));
        EXPECT_EQ(order(doc), row.order) << row.track;
    }
}

TEST(Form, BracketsThatNameNoMeasuresAreNotRead) {
    const std::string track = "|: 1 | 2 :| 3 |]";
    const std::vector<int> asWritten = {0, 1, 2, 1, 2, 3};
    const auto orderWith = [&](int trackFrom, int from, int trackTo, int to, short kind = 1) {
        QeDocument doc = test::scoreOf({track, track});
        Format record;
        record.type = Format::kVolta;
        record.from = location(kind, trackFrom, static_cast<std::int16_t>(from));
        record.to = location(1, trackTo, static_cast<std::int16_t>(to));
        doc.formatRecords().push_back(record);
        return order(doc);
    };
    const int bar2 = barItem(track, 2);
    EXPECT_EQ(orderWith(0, bar2, 0, bar2), (std::vector<int>{0, 1, 2, 1, 3}));  // read
    EXPECT_EQ(orderWith(0, bar2 - 1, 0, bar2), asWritten);                      // from a digit
    EXPECT_EQ(orderWith(0, bar2, 1, bar2), asWritten);     // from one track to another
    EXPECT_EQ(orderWith(0, bar2, 0, 1), asWritten);        // backwards
    EXPECT_EQ(orderWith(2, bar2, 2, bar2), asWritten);     // no such track
    EXPECT_EQ(orderWith(0, 99, 0, 99), asWritten);         // no such item
    EXPECT_EQ(orderWith(0, bar2, 0, bar2, 0), asWritten);  // names nothing
    // An arc is not a bracket.
    QeDocument arc = test::scoreOf({track});
    test::addFormat(arc, 1, 0, bar2, bar2);
    EXPECT_EQ(order(arc), asWritten);
}

TEST(Form, AllTracksPlayTheFormOfAnyAndMeetAtEachBarLine) {
    // Given a repeat written in the upper track only, a bracket over the lower one, and
    // measures of different lengths
    const std::string lower = "0 1, - | 5, | 1, - - |]";
    QeDocument doc = test::scoreOf({"|: 1 2 | 3 :| 4 |]", lower});
    test::addFormat(doc, 4, 1, barItem(lower, 2), barItem(lower, 2));
    // Then measure n lasts as long as the longer of the two, and both skip the first ending.
    const std::vector<PlayedMeasure> expected = {
        {0, 0, 3 * Q},      // the upper track's empty measure against "0 1, -"
        {1, 3 * Q, 2 * Q},  // "1 2" against "5,"
        {2, 5 * Q, 3 * Q},  // "3" against "1, - -", the end repeat and the first ending
        {1, 8 * Q, 2 * Q}, {3, 10 * Q, Q},  // "4", in the upper track only
    };
    EXPECT_EQ(played(doc), expected);
}

TEST(Form, LabelledEndingsArePlayedOnTheirPasses) {
    // |: A | B [1.-3. C :| [4. D | E
    const std::string track = "1 |: 2 | 3 :| 4 | 5 |";
    QeDocument doc = test::scoreOf({track});
    test::addFormat(doc, 4, 0, barItem(track, 2), barItem(track, 2));
    test::addFormat(doc, 4, 0, barItem(track, 3), barItem(track, 3));
    label(doc, {{0, u"1.-3."}, {1, u"4."}});
    EXPECT_EQ(order(doc), (std::vector<int>{0, 1, 2, 1, 2, 1, 2, 1, 3, 4}));
    // "1." and "2.": the usual two passes; an unlabelled second ending plays as written.
    label(doc, {{0, u"1."}, {1, u"2."}});
    EXPECT_EQ(order(doc), (std::vector<int>{0, 1, 2, 1, 3, 4}));
    label(doc, {{0, u"1."}});
    EXPECT_EQ(order(doc), (std::vector<int>{0, 1, 2, 1, 3, 4}));

    EXPECT_EQ(music::passesOfLabel(u"1."), 1u);
    EXPECT_EQ(music::passesOfLabel(u"1, 2."), 3u);
    EXPECT_EQ(music::passesOfLabel(u"1.-3."), 7u);
    EXPECT_EQ(music::passesOfLabel(u"第2遍"), 2u);
    EXPECT_EQ(music::passesOfLabel(u"fine"), 0u);
    EXPECT_EQ(music::passesOfLabel(u"99."), 0u);
}

TEST(Form, JumpsFollowDaCapoDalSegnoFineAndCoda) {
    // D.C. al Fine: the whole song, then from the start to Fine.
    const std::string plain = "1 | 2 | 3 | 4 |";
    QeDocument dc = test::scoreOf({plain});
    jumps(dc, 1, jump::kFine);
    jumps(dc, 3, jump::kDaCapo | jump::kAlFine);
    EXPECT_EQ(order(dc), (std::vector<int>{0, 1, 2, 3, 0, 1}));

    // D.S. al Coda with a repeat and two endings: the repeat is not taken again after the
    // jump, the second ending is, and To Coda leaves for the coda.
    //   0  |: 1(segno) | 2 [1. 3 :| [2. 4 | 5(To Coda) | 6(D.S. al Coda) || 7(coda) | 8
    const std::string track = "1 |: 2 | 3 | 4 :| 5 | 6 | 7 || 1 | 2 |";
    QeDocument ds = test::scoreOf({track});
    test::addFormat(ds, 4, 0, barItem(track, 3), barItem(track, 3));
    test::addFormat(ds, 4, 0, barItem(track, 4), barItem(track, 4));
    label(ds, {{0, u"1."}, {1, u"2."}});
    jumps(ds, 1, jump::kSegno);
    jumps(ds, 5, jump::kToCoda);
    jumps(ds, 6, jump::kDalSegno | jump::kAlCoda);
    jumps(ds, 7, jump::kCoda);
    EXPECT_EQ(order(ds), (std::vector<int>{0, 1, 2, 3, 1, 2, 4, 5, 6, 1, 2, 4, 5, 7, 8}));

    // A D.S. with no segno goes back to the start; a second D.C. is not taken, so it ends.
    QeDocument twice = test::scoreOf({plain});
    jumps(twice, 1, jump::kDalSegno);
    jumps(twice, 3, jump::kDaCapo);
    EXPECT_EQ(order(twice), (std::vector<int>{0, 1, 0, 1, 2, 3}));
}

TEST(Form, AlFinePassesToCodaByAndAlCodaPassesFineBy) {
    // D.C. al Fine: To Coda is not taken after the jump, the playing ends at Fine.
    //   0 | 1(To Coda) | 2(Fine) | 3(D.C. al Fine) | 4(coda)
    const std::string five = "1 | 2 | 3 | 4 | 5 |";
    QeDocument alFine = test::scoreOf({five});
    jumps(alFine, 1, jump::kToCoda);
    jumps(alFine, 2, jump::kFine);
    jumps(alFine, 3, jump::kDaCapo | jump::kAlFine);
    jumps(alFine, 4, jump::kCoda);
    EXPECT_EQ(order(alFine), (std::vector<int>{0, 1, 2, 3, 0, 1, 2}));

    // D.S. al Coda: Fine does not end the playing after the jump, To Coda goes to the coda.
    //   0 | 1(segno) | 2(Fine) | 3(To Coda) | 4(D.S. al Coda) | 5(coda)
    QeDocument alCoda = test::scoreOf({"1 | 2 | 3 | 4 | 5 | 6 |"});
    jumps(alCoda, 1, jump::kSegno);
    jumps(alCoda, 2, jump::kFine);
    jumps(alCoda, 3, jump::kToCoda);
    jumps(alCoda, 4, jump::kDalSegno | jump::kAlCoda);
    jumps(alCoda, 5, jump::kCoda);
    EXPECT_EQ(order(alCoda), (std::vector<int>{0, 1, 2, 3, 4, 1, 2, 3, 5}));

    // To Coda with no coda sign after it: the playing goes on to the end.
    QeDocument noCoda = test::scoreOf({"1 | 2 | 3 |"});
    jumps(noCoda, 1, jump::kToCoda);
    jumps(noCoda, 2, jump::kDaCapo);
    EXPECT_EQ(order(noCoda), (std::vector<int>{0, 1, 2, 0, 1, 2}));
}

TEST(FormProperty, EveryMeasureIsPlayedOnceOrTwiceAndTheFormEnds) {
    // Random bar types and brackets over random scores: the form plays each measure at most
    // twice, and every measure outside the brackets at least once.
    std::mt19937 random(20240615);
    int jumps = 0;
    for (int round = 0; round < 400; ++round) {
        const int measures = 1 + static_cast<int>(random() % 30);
        std::string track;
        for (int m = 0; m < measures; ++m) {
            static const char* const kBars[] = {"|", "|:", ":|", "||", "|]", "/", "|."};
            track += "1 ";
            track += kBars[random() % 7];
            track += " ";
        }
        QeDocument doc = test::scoreOf({track});
        std::vector<bool> bracketed(static_cast<std::size_t>(measures), false);
        for (int b = static_cast<int>(random() % 4); b > 0; --b) {
            const int first = static_cast<int>(random() % static_cast<unsigned>(measures));
            const int last = first + static_cast<int>(random() % 3);
            if (last >= measures)
                continue;
            test::addFormat(doc, 4, 0, barItem(track, first), barItem(track, last));
            for (int m = first; m <= last; ++m)
                bracketed[static_cast<std::size_t>(m)] = true;
        }
        const std::vector<PlayedMeasure> form = played(doc);
        std::vector<int> times(static_cast<std::size_t>(measures), 0);
        Ticks time = 0;
        for (std::size_t i = 0; i < form.size(); ++i) {
            ASSERT_EQ(form[i].start, time) << track;
            time += form[i].length;
            ++times[static_cast<std::size_t>(form[i].measure)];
            if (i > 0 && form[i].measure <= form[i - 1].measure)
                ++jumps;
        }
        for (std::size_t m = 0; m < times.size(); ++m) {
            ASSERT_LE(times[m], 2) << track;
            if (!bracketed[m]) {
                ASSERT_GE(times[m], 1) << track << " measure " << m;
            }
        }
    }
    EXPECT_GT(jumps, 200);  // the rounds did exercise repeats
}

}  // namespace
}  // namespace qe::sound
