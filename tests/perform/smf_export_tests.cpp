#include <gtest/gtest.h>

#include <ostream>

#include "perform/performance.h"
#include "perform/smf_writer.h"
#include "support/notation.h"
#include "support/perform_records.h"
#include "support/smf_reader.h"

namespace qe::test {
void PrintTo(const SmfNote& n, std::ostream* out) {
    *out << "track " << n.track << " ch " << n.channel << " key " << n.key << " at " << n.start
         << " for " << n.length;
}
}  // namespace qe::test

namespace qe::sound {
namespace {

constexpr Ticks Q = 1920;

// Title-block letters: 0..6 are A..G; accidentals 1 sharp, 2 flat.
enum Letter { A, B, C, D, E, F, G };

QeDocument song(std::initializer_list<std::string> tracks, int letter = C, int accidental = 0) {
    QeDocument doc = test::scoreOf(tracks);
    doc.header.keyLetter = static_cast<std::uint8_t>(letter);
    doc.header.keyAccidental = static_cast<std::uint8_t>(accidental);
    return doc;
}

test::SmfFile exported(const QeDocument& doc, const PerformanceOptions& options = {}) {
    return test::readSmf(writeSmf(test::performRecords(doc, options)));
}

// Key, start and length of each note of the first note track, in file order.
struct Heard {
    int key;
    Ticks start;
    Ticks length;
    friend bool operator==(const Heard&, const Heard&) = default;
};
void PrintTo(const Heard& h, std::ostream* out) {
    *out << "{" << h.key << ", " << h.start << ", " << h.length << "}";
}

std::vector<Heard> heard(const test::SmfFile& file, int track = 1) {
    std::vector<Heard> out;
    for (const test::SmfNote& n : file.notesOf(track))
        out.push_back(Heard{n.key, n.start, n.length});
    return out;
}

std::vector<int> keys(const test::SmfFile& file, int track = 1) {
    std::vector<int> out;
    for (const test::SmfNote& n : file.notesOf(track))
        out.push_back(n.key);
    return out;
}

TEST(SmfExport, TypeOneWithATempoTrackAndTheScoresSignatures) {
    // Given a song in 1=D, 3/4, with a Chinese title, at 120 quarters a minute
    QeDocument doc = song({"1 2 3 | 5 - - |]"}, D);
    doc.header.title = u"小星星";
    doc.header.timeNumerator = 3;
    doc.header.timeDenominator = 4;
    const test::SmfFile file = exported(doc, {.tempo = 120});

    EXPECT_EQ(file.format, 1);
    EXPECT_EQ(file.division, 1920);
    ASSERT_EQ(file.trackCount, 2);
    const test::SmfMeta* title = file.meta(0x03);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(std::string(title->data.begin(), title->data.end()), "小星星");
    const test::SmfMeta* time = file.meta(0x58);
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->data, (std::vector<unsigned char>{3, 2, 24, 8}));  // 3/4, a click a quarter
    const test::SmfMeta* key = file.meta(0x59);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->data, (std::vector<unsigned char>{2, 0}));  // two sharps, major
    const test::SmfMeta* tempo = file.meta(0x51);
    ASSERT_NE(tempo, nullptr);
    EXPECT_EQ(tempo->data, (std::vector<unsigned char>{0x07, 0xA1, 0x20}));  // 500000 µs
    for (const test::SmfMeta* m : {title, time, key, tempo})
        EXPECT_EQ(m->track, 0);
    // Both tracks end with the last measure.
    EXPECT_EQ(file.trackEnds, (std::vector<std::int64_t>{6 * Q, 6 * Q}));
    EXPECT_EQ(heard(file),
              (std::vector<Heard>{{62, 0, Q}, {64, Q, Q}, {66, 2 * Q, Q}, {69, 3 * Q, 3 * Q}}));
}

TEST(SmfExport, CompoundAndFlatKeysWriteTheirBeatAndSignature) {
    QeDocument doc = song({"1 2 3"}, B, 2);  // 1=bB
    doc.header.timeNumerator = 6;
    doc.header.timeDenominator = 8;
    const test::SmfFile file = exported(doc);
    EXPECT_EQ(file.meta(0x58)->data, (std::vector<unsigned char>{6, 3, 36, 8}));  // dotted quarter
    EXPECT_EQ(file.meta(0x59)->data, (std::vector<unsigned char>{0xFE, 0}));      // two flats
    // Keys past seven sharps or flats are written as their enharmonic neighbours.
    EXPECT_EQ(exported(song({"1"}, G, 1)).meta(0x59)->data,
              (std::vector<unsigned char>{0xFC, 0}));  // 1=#G as four flats
    EXPECT_EQ(exported(song({"1"}, F, 2)).meta(0x59)->data,
              (std::vector<unsigned char>{4, 0}));  // 1=bF as four sharps
    EXPECT_EQ(exported(song({"1"}, C, 1)).meta(0x59)->data,
              (std::vector<unsigned char>{7, 0}));  // 1=#C keeps its seven
    // A plain digit is a quarter in 6/8 as in every meter.
    EXPECT_EQ(heard(file), (std::vector<Heard>{{58, 0, Q}, {60, Q, Q}, {62, 2 * Q, Q}}));
}

TEST(SmfExport, PitchesFollowTheKeyAndTheOctaveDots) {
    struct Row {
        int letter, accidental;
        const char* track;
        std::vector<int> keys;
    };
    const Row kRows[] = {
        {C, 0, "1 2 3 4 5 6 7 1'", {60, 62, 64, 65, 67, 69, 71, 72}},
        {E, 2, "1 2 3 4 5 6 7", {63, 65, 67, 68, 70, 72, 74}},  // 1=bE
        {F, 1, "1 2 3 4 5 6 7", {66, 68, 70, 71, 73, 75, 77}},  // 1=#F
        {G, 0, "1 5 1' 7,", {55, 62, 67, 54}},                  // G3 up
        {A, 0, "1 3 5", {57, 61, 64}},                          // A3, C sharp
        {B, 2, "1,, 1, 1 1' 1''", {34, 46, 58, 70, 82}},        // 1=bB, two dots each way
        {C, 0, "6", {69}},                                      // A4
    };
    for (const Row& row : kRows)
        EXPECT_EQ(keys(exported(song({row.track}, row.letter, row.accidental))), row.keys)
            << row.track;
}

TEST(SmfExport, AccidentalsHoldToTheBarLineAndANaturalCancelsThem) {
    // #4 4 n4 4 | 4 #4' 4 4' in 1=C: the sharp holds for 4 until the natural, the bar line ends
    // it, and a sharp on the upper 4 leaves the middle one alone.
    EXPECT_EQ(keys(exported(song({"#4 4 n4 4 | 4 #4' 4 4'"}))),
              (std::vector<int>{66, 66, 65, 65, 65, 78, 65, 78}));
    // In 1=F the 4 is B flat: a sharp raises it to B, the natural brings back the key's B
    // flat; a flat on 7 lowers E until the bar line.
    EXPECT_EQ(keys(exported(song({"#4 4 n4 4 b7 7 | 4 7"}, F))),
              (std::vector<int>{71, 71, 70, 70, 75, 75, 70, 76}));
}

TEST(SmfExport, DotsDashesAndUnderlinesGiveTheRhythm) {
    EXPECT_EQ(heard(exported(song({"1 . 2_ | 3_ . 4__ 5 - | 6__ 0__ 0_ 7 . ."}))),
              (std::vector<Heard>{{60, 0, 3 * Q / 2},
                                  {62, 3 * Q / 2, Q / 2},
                                  {64, 2 * Q, 3 * Q / 4},
                                  {65, 2 * Q + 3 * Q / 4, Q / 4},
                                  {67, 3 * Q, 2 * Q},
                                  {69, 5 * Q, Q / 4},
                                  {71, 6 * Q, Q + Q / 2 + Q / 4}}));
}

TEST(SmfExport, TiesAcrossBarLinesSoundOnce) {
    // 5 - - 5 | 5 3 | 3 -, the second 5 tied over the bar line, and 3 to 3 over the next one
    QeDocument doc = song({"5 - - 5 | 5 3 | 3 - |]"});
    test::addFormat(doc, 1, 0, 3, 5);  // the second 5 to the 5 after the bar line
    test::addFormat(doc, 1, 0, 6, 8);  // 3 to 3 over the bar line
    EXPECT_EQ(heard(exported(doc)),
              (std::vector<Heard>{{67, 0, 3 * Q}, {67, 3 * Q, 2 * Q}, {64, 5 * Q, 3 * Q}}));
}

// Item index of the n-th bar line (from 0) of a track text, for volta brackets.
int barItem(const std::string& track, int n) {
    const std::vector<note> notes = test::parseTrack(track);
    for (std::size_t i = 0; i < notes.size(); ++i)
        if (notes[i].isBarLine() && n-- == 0)
            return static_cast<int>(i);
    return -1;
}

TEST(SmfExport, RepeatsAndVoltaBracketsPlayInTheUnfoldedOrder) {
    // 1 | 2 |: 3 | 4 | 5 :| 6 | 7 |], the first ending over 5, the second over 6
    const std::string track = "1 | 2 |: 3 | 4 | 5 :| 6 | 7 |]";
    QeDocument doc = song({track});
    test::addFormat(doc, 4, 0, barItem(track, 4), barItem(track, 4));
    test::addFormat(doc, 4, 0, barItem(track, 5), barItem(track, 5));
    const test::SmfFile file = exported(doc);
    EXPECT_EQ(keys(file), (std::vector<int>{60, 62, 64, 65, 67, 64, 65, 69, 71}));
    for (std::size_t i = 0; i < file.notes.size(); ++i)
        EXPECT_EQ(file.notes[i].start, static_cast<Ticks>(i) * Q) << i;
    EXPECT_EQ(file.trackEnds[0], 9 * Q);
}

TEST(SmfExport, EachTrackOnItsOwnChannelWithItsProgram) {
    // Given three tracks, the second with a program of its own
    const QeDocument doc = song({"1 2 | 3 - |]", "1, - | 5, - |]", "0 0 | 1' 0 |]"});
    const test::SmfFile file = exported(doc, {.program = 73, .programs = {-1, 40}});
    ASSERT_EQ(file.trackCount, 4);
    EXPECT_EQ(file.programs, (std::vector<std::pair<int, int>>{{0, 73}, {1, 40}, {2, 73}}));
    EXPECT_EQ(heard(file, 1), (std::vector<Heard>{{60, 0, Q}, {62, Q, Q}, {64, 2 * Q, 2 * Q}}));
    EXPECT_EQ(heard(file, 2), (std::vector<Heard>{{48, 0, 2 * Q}, {55, 2 * Q, 2 * Q}}));
    EXPECT_EQ(heard(file, 3), (std::vector<Heard>{{72, 2 * Q, Q}}));
    for (int t = 1; t <= 3; ++t)
        for (const test::SmfNote& n : file.notesOf(t))
            EXPECT_EQ(n.channel, t - 1);
}

TEST(SmfExport, ManyTracksNeverUseThePercussionChannel) {
    std::vector<std::string> texts(17, "1");
    QeDocument doc;
    for (const std::string& text : texts) {
        note_track track;
        track.content.items = test::parseTrack(text);
        doc.noteTracks().push_back(std::move(track));
    }
    const test::SmfFile file = exported(doc);
    ASSERT_EQ(file.notes.size(), 17u);
    std::vector<int> channels;
    for (const test::SmfNote& n : file.notes)
        channels.push_back(n.channel);
    EXPECT_EQ(channels,
              (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 0, 1}));
}

TEST(SmfExport, ScoresWithoutNotesOrWithOddSettingsStillMakeAValidFile) {
    // Rests only: the tracks are there, empty.
    EXPECT_TRUE(exported(song({"0 0 | 0 - |]"})).notes.empty());
    // No note track at all.
    EXPECT_EQ(exported(QeDocument()).trackCount, 1);
    // Time signatures the format cannot write are left out; the notes are unchanged.
    for (auto [num, den] : {std::pair{3, 0}, {0, 4}, {5, 6}, {7, 255}}) {
        QeDocument doc = song({"1 2"});
        doc.header.timeNumerator = static_cast<std::uint8_t>(num);
        doc.header.timeDenominator = static_cast<std::uint8_t>(den);
        const test::SmfFile file = exported(doc);
        EXPECT_EQ(file.meta(0x58), nullptr) << num << "/" << den;
        EXPECT_EQ(keys(file), (std::vector<int>{60, 62}));
    }
    // A key letter outside the title block's reads as 1=C.
    QeDocument noKey = song({"1"}, 9);
    EXPECT_EQ(keys(exported(noKey)), (std::vector<int>{60}));
    // Tempos outside the range are held to it.
    EXPECT_EQ(exported(song({"1"}), {.tempo = 0}).meta(0x51)->data,
              (std::vector<unsigned char>{0x2D, 0xC6, 0xC0}));  // 20 a minute: 3 s
    // Digits above the keyboard are not sounded; the others keep their time.
    QeDocument high = song({"1 7 1"});
    high.noteTracks()[0].content.items[1] = note(0, 7, 0, 0);
    high.noteTracks()[0].content.items[1].code |= 15 << 3;  // octave +8
    EXPECT_EQ(heard(exported(high)), (std::vector<Heard>{{60, 0, Q}, {60, 2 * Q, Q}}));
}

TEST(SmfExport, GapsLongerThanADeltaTimeAreCrossed) {
    // A rest held by 140000 dashes lasts more than a delta time can say (2^28 - 1 ticks).
    QeDocument doc = song({"0"});
    auto& items = doc.noteTracks()[0].content.items;
    items.insert(items.end(), 140000, note::mark(note::kDash));
    items.push_back(note(0, 5, 0, 0));
    const test::SmfFile file = exported(doc);
    ASSERT_EQ(file.notes.size(), 1u);
    EXPECT_EQ(file.notes[0].start, 140001 * Q);
    EXPECT_EQ(file.notes[0].key, 67);
}

}  // namespace
}  // namespace qe::sound

namespace qe::sound {
namespace {

// Tempo, key and time signature changes of the measure marks, where the playing reaches them.
TEST(SmfExport, TempoKeyAndTimeChangesAreWrittenWhereTheyArePlayed) {
    QeDocument doc = test::scoreOf({"1 2 3 4 | 1 2 3 | 5 - - |]"});
    doc.header.keyLetter = 2;  // 1=C
    doc.header.tempo = TempoMark{4, false, 60, u""};
    MeasureMark change;
    change.measure = 1;
    change.keyChange = true;
    change.keyLetter = 3;  // 1=D
    change.meterChange = true;
    change.numerator = 3;
    change.denominator = 4;
    change.tempo = TempoMark{4, false, 120, u"稍快"};
    doc.header.marks = {change};

    PerformanceOptions options;
    options.tempo = 60;
    const Performance p = test::performRecords(doc, options);
    ASSERT_EQ(p.tempos.size(), 2u);
    EXPECT_EQ(p.tempos[1], (TempoChange{4 * 1920, 120}));
    // Four quarters at 60, then three at 120.
    EXPECT_DOUBLE_EQ(p.seconds(7 * 1920), 5.5);
    EXPECT_EQ(p.ticksAt(5.5), 7 * 1920);
    EXPECT_EQ(p.ticksAt(2.0), 2 * 1920);
    // The notes of the second measure sound in D.
    EXPECT_EQ(p.tracks[0].notes[4].key, 62);

    // A faster choice plays every part faster: 90 over the marked 60 makes the 120 a 180.
    options.tempo = 90;
    EXPECT_EQ(test::performRecords(doc, options).tempos[1].tempo, 180);

    const test::SmfFile smf = test::readSmf(writeSmf(p));
    std::vector<std::pair<std::int64_t, std::vector<unsigned char>>> changes;
    for (const test::SmfMeta& m : smf.metas)
        if (m.type == 0x51 || m.type == 0x58 || m.type == 0x59)
            changes.emplace_back(m.at, m.data);
    const std::vector<std::pair<std::int64_t, std::vector<unsigned char>>> expected{
        {0, {4, 2, 24, 8}},          {0, {0, 0}},  // 4/4, C major
        {0, {0x0F, 0x42, 0x40}},                   // 60: a million microseconds a quarter
        {4 * 1920, {3, 2, 24, 8}},   {4 * 1920, {2, 0}},  // 3/4, D major
        {4 * 1920, {0x07, 0xA1, 0x20}},                   // 120
    };
    EXPECT_EQ(changes, expected);
}

}  // namespace
}  // namespace qe::sound
