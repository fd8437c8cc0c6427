#include <gtest/gtest.h>

#include "music/note_marks.h"
#include "music/chord_symbol.h"
#include "music/measure_check.h"
#include "music/score_records.h"
#include "music/track_walk.h"
#include "support/notation.h"

namespace qe::music {
namespace {

constexpr Ticks Q = 1920;

std::vector<Ticks> starts(const TrackWalk& w) {
    std::vector<Ticks> out;
    for (const SoundingNote& n : w.notes)
        out.push_back(n.start);
    return out;
}

TEST(Tuplets, TheRhythmWalkCountsThemExactlyInEveryMeter) {
    struct Row {
        const char* name;
        const char* track;     // one measure
        int first, last;       // records of the group
        int actual, normal;
        int numerator, denominator;
        std::vector<Ticks> starts;  // of the notes
        Ticks measure;
    };
    const Row kRows[] = {
        {"a triplet of eighths fills a quarter", "1_ 2_ 3_ 4 |", 0, 2, 3, 2, 2, 4,
         {0, 640, 1280, Q}, 2 * Q},
        {"a triplet of quarters fills a half", "1 2 3 4 |", 0, 2, 3, 2, 3, 4,
         {0, 1280, 2560, 2 * Q}, 3 * Q},
        {"a triplet with a half in it", "1 - 3 4 5 |", 0, 2, 3, 2, 4, 4,
         {0, 2560, 2 * Q, 3 * Q}, 4 * Q},
        {"a quintuplet of sixteenths fills a quarter", "1__ 2__ 3__ 4__ 5__ 6 7 1' |", 0, 4,
         5, 4, 4, 4, {0, 384, 768, 1152, 1536, Q, 2 * Q, 3 * Q}, 4 * Q},
        {"a sextuplet of sixteenths fills a quarter", "1__ 2__ 3__ 4__ 5__ 6__ 7 1' 2' |", 0, 5,
         6, 4, 4, 4, {0, 320, 640, 960, 1280, 1600, Q, 2 * Q, 3 * Q}, 4 * Q},
        {"a duplet of eighths fills a dotted quarter in 6/8", "1_ 2_ 3_ 4_ 5_ |", 0, 1, 2, 3,
         6, 8, {0, 1440, 2880, 3840, 4800}, 3 * Q},
        {"a quadruplet of eighths fills a dotted quarter in 6/8", "1_ 2_ 3_ 4_ 5 . |", 0, 3, 4,
         3, 6, 8, {0, 720, 1440, 2160, 2880}, 3 * Q},
        {"a dotted note inside a triplet", "1_ . 2__ 3_ 4 |", 0, 3, 3, 2, 2, 4,
         {0, 960, 1280, Q}, 2 * Q},
        {"a rest inside a triplet", "1_ 0_ 3_ 4 |", 0, 2, 3, 2, 2, 4, {0, 640, 1280, Q}, 2 * Q},
    };
    for (const Row& row : kRows) {
        QeDocument doc = test::scoreOf({row.track});
        doc.header.timeNumerator = static_cast<std::uint8_t>(row.numerator);
        doc.header.timeDenominator = static_cast<std::uint8_t>(row.denominator);
        test::addTuplet(doc, 0, row.first, row.last, row.actual, row.normal);
        const TrackWalk w = test::walkRecords(doc).at(0);
        EXPECT_EQ(starts(w), row.starts) << row.name;
        EXPECT_EQ(w.measures.at(0).length, row.measure) << row.name;
        // The measure check counts what the walk counts: a full measure is not flagged.
        const auto score = test::scoreFrom(doc);
        EXPECT_EQ(measureLength(score->measure(0, 0)), row.measure) << row.name;
        EXPECT_TRUE(checkMeasures(*score).empty()) << row.name;
    }
}

TEST(Tuplets, GroupsSideBySideAndNestedGroupsKeepTheirTime) {
    // Two triplets of eighths, then a septuplet of sixteenths in the third quarter, whose
    // places round down to the tick but whose group ends exactly on the beat.
    QeDocument doc = test::scoreOf({"1_ 2_ 3_ 4_ 5_ 6_ 1__ 2__ 3__ 4__ 5__ 6__ 7__ 1 |"});
    test::addTuplet(doc, 0, 0, 2, 3, 2);
    test::addTuplet(doc, 0, 3, 5, 3, 2);
    test::addTuplet(doc, 0, 6, 12, 7, 4);
    TrackWalk w = test::walkRecords(doc).at(0);
    EXPECT_EQ(w.notes[3].start, Q);
    EXPECT_EQ(w.notes[6].start, 2 * Q);
    EXPECT_EQ(w.notes[7].start, 2 * Q + 274);  // 480 × 4 / 7, rounded down
    EXPECT_EQ(w.notes[13].start, 3 * Q);
    EXPECT_EQ(w.measures[0].length, 4 * Q);

    // A triplet of quarters with a triplet of eighths nested in its middle quarter.
    doc = test::scoreOf({"1 2_ 3_ 4_ 5 |"});
    test::addTuplet(doc, 0, 0, 4, 3, 2);
    test::addTuplet(doc, 0, 1, 3, 3, 2, 1);
    w = test::walkRecords(doc).at(0);
    EXPECT_EQ(starts(w), (std::vector<Ticks>{0, 1280, 1706, 2133, 2560}));
    EXPECT_EQ(w.measures[0].length, 2 * Q);

    // A bar line ends a group: the next measure's notes are plain again.
    doc = test::scoreOf({"1_ 2_ 3_ | 4_ 5_ |"});
    test::addTuplet(doc, 0, 0, 2, 3, 2);
    w = test::walkRecords(doc).at(0);
    EXPECT_EQ(w.measures[1].start, Q);
    EXPECT_EQ(w.measures[1].length, Q);
}

TEST(NoteExtras, ChordTonesAndGraceNotesSoundInTheKeyWithTheMeasuresAccidentals) {
    QeDocument doc = test::scoreOf({"#4 1 |"});
    doc.header.keyLetter = 2;  // 1=C
    test::changeExtra(doc, 0, 1, [](NoteExtra& e) {
        e.tones = {{3, 0, 0}, {4, 0, 0}};   // E, and F held sharp from the bar's first note
        e.graces = {{{2, 0, 3}, 2, false}};  // D flat before
        e.articulations = articulation::kFermata;
    });
    const TrackWalk w = test::walkRecords(doc).at(0);
    const SoundingNote& n = w.notes.at(1);
    EXPECT_EQ(n.pitch->midi(), 60);
    ASSERT_EQ(n.chord.size(), 2u);
    EXPECT_EQ(n.chord[0].midi(), 64);
    EXPECT_EQ(n.chord[1].midi(), 66);
    ASSERT_EQ(n.graces.size(), 1u);
    EXPECT_EQ(n.graces[0].pitch.midi(), 61);
    EXPECT_EQ(n.articulations, articulation::kFermata);
    EXPECT_EQ(n.length, Q);  // grace notes take no time in the measure
}

TEST(NoteExtras, TheyFollowTheirNotesThroughLoadSaveAndEdits) {
    QeDocument doc = test::scoreOf({"1 2 3 4 |]", "5 6 7 1' |]"});
    test::changeExtra(doc, 0, 1, [](NoteExtra& e) { e.tones = {{4, 0, 0}}; });
    test::changeExtra(doc, 1, 3, [](NoteExtra& e) { e.chordSymbol = u"Am7"; });
    test::changeExtra(doc, 0, 4, [](NoteExtra& e) { e.chordSymbol = u"C"; });  // a bar line
    test::changeExtra(doc, 3, 0, [](NoteExtra& e) { e.chordSymbol = u"C"; });  // no track 3
    std::unique_ptr<Score> score = std::make_unique<Score>();
    const LoadReport report = scoreFromRecords(doc, *score);
    EXPECT_EQ(report.droppedShapes, 2);  // what stands on no item can never be shown
    EXPECT_EQ(score->entry(0, {0, 1}).extras().tones.size(), 1u);
    EXPECT_EQ(score->entry(1, {0, 3}).extras().chordSymbol, u"Am7");
    EXPECT_FALSE(score->entry(0, {0, 0}).extra);  // a plain note holds nothing

    // An item typed before the note moves its extras along with it.
    score->insertEntry(0, 0, 0, Entry{note(0, 5, 0, 0), {}, {}});
    EXPECT_EQ(score->entry(0, {0, 2}).extras().tones.size(), 1u);
    // A bar line splits the measure: the extras go with their notes.
    score->splitMeasure(0, 0, 2, note::barLine(0));
    EXPECT_EQ(score->entry(0, {1, 0}).extras().tones.size(), 1u);
    const QeDocument saved = recordsOfScore(*score);
    ASSERT_EQ(saved.header.noteExtras.size(), 2u);
    EXPECT_EQ(saved.header.noteExtras[0].track, 0u);
    EXPECT_EQ(saved.header.noteExtras[0].record, 3u);  // 5 1 | 2: the third record after "|"
    EXPECT_EQ(saved.header.noteExtras[1].track, 1u);

    // Chord tones and grace notes stand on digits only; a rest may carry the rest.
    score->insertEntry(1, 0, 0, Entry{note(0, 0, 0, 0), {}, {}});
    NoteExtra tones;
    tones.tones = {{1, 0, 0}};
    EXPECT_THROW(score->setExtra(1, {0, 0}, tones), Exception);
    NoteExtra fermata;
    fermata.articulations = articulation::kFermata;
    score->setExtra(1, {0, 0}, fermata);
    EXPECT_EQ(score->entry(1, {0, 0}).extras(), fermata);
    EXPECT_THROW(score->setExtra(1, {0, 5}, fermata), Exception);  // the bar line
    score->setExtra(1, {0, 0}, NoteExtra{});
    EXPECT_FALSE(score->entry(1, {0, 0}).extra);
}

TEST(ChordSymbols, RealSymbolsAreReadAndWrittenInTheirUsualSpelling) {
    struct Row {
        const char16_t* typed;
        const char16_t* stored;
        const char16_t* shown;
        const char* kind;
    };
    const Row kRows[] = {
        {u"C", u"C", u"C", "major"},
        {u"Am7", u"Am7", u"Am7", "minor-seventh"},
        {u"G/B", u"G/B", u"G/B", "major"},
        {u"F♯m7♭5", u"F#m7b5", u"F♯m7♭5", "half-diminished"},
        {u"Bbmaj7", u"Bbmaj7", u"B♭maj7", "major-seventh"},
        {u" D7(b9) ", u"D7(b9)", u"D7(♭9)", "dominant"},
        {u"Esus4", u"Esus4", u"Esus4", "suspended-fourth"},
        {u"Cdim7", u"Cdim7", u"Cdim7", "diminished-seventh"},
        {u"Ab+", u"Ab+", u"A♭+", "augmented"},
        {u"C#mMaj7/G#", u"C#mMaj7/G#", u"C♯mMaj7/G♯", "major-minor"},
        {u"Gadd9", u"Gadd9", u"Gadd9", "major"},
        {u"Bø7", u"Bø7", u"Bø7", "half-diminished"},
        {u"D6", u"D6", u"D6", "major-sixth"},
        {u"E13", u"E13", u"E13", "dominant-13th"},
    };
    for (const Row& row : kRows) {
        const std::optional<ChordSymbol> chord = parseChordSymbol(row.typed);
        ASSERT_TRUE(chord) << std::string(row.kind);
        EXPECT_EQ(chord->text(), row.stored);
        EXPECT_EQ(chord->shown(), row.shown);
        EXPECT_EQ(chord->kind, row.kind);
        EXPECT_EQ(parseChordSymbol(chord->text()), chord);
        // Every kind is written back by the suffix it is read with.
        const auto suffix = suffixOfKind(chord->kind);
        ASSERT_TRUE(suffix);
        EXPECT_EQ(parseChordSymbol(u"C" + std::u16string(suffix->begin(), suffix->end()))->kind,
                  chord->kind);
    }
    for (const char16_t* garbage :
         {u"", u"H", u"c", u"Cx", u"C/", u"C/H", u"Am7/", u"C(b9", u"C()", u"Cmaj7maj7q",
          u"C//E", u"3", u"和弦", u"Am7 G", u"C#b"})
        EXPECT_FALSE(parseChordSymbol(garbage)) << std::u16string(garbage).size();
    EXPECT_FALSE(suffixOfKind("none"));
    EXPECT_FALSE(suffixOfKind("pedal"));
}

// "N.C." stops the chords: a symbol of its own, stored and printed as "N.C." however typed.
TEST(ChordSymbols, NoChordIsASymbolOfItsOwn) {
    for (const char16_t* typed : {u"N.C.", u" NC ", u"N.C"}) {
        const std::optional<ChordSymbol> chord = parseChordSymbol(typed);
        ASSERT_TRUE(chord) << std::u16string(typed).size();
        EXPECT_TRUE(chord->none);
        EXPECT_EQ(chord->kind, "none");
        EXPECT_EQ(chord->text(), u"N.C.");
        EXPECT_EQ(chord->shown(), u"N.C.");
        EXPECT_EQ(parseChordSymbol(chord->text()), chord);
    }
    for (const char16_t* garbage : {u"N.C.7", u"NC/E", u"N", u"nc", u"N.C.."})
        EXPECT_FALSE(parseChordSymbol(garbage)) << std::u16string(garbage).size();
    EXPECT_FALSE(parseChordSymbol(u"C")->none);
}

}  // namespace
}  // namespace qe::music
