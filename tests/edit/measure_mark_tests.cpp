#include <gtest/gtest.h>

#include "music/attributes.h"
#include "music/measure_check.h"
#include "music/track_walk.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::Editor;

MeasureMark keyChangeAt(std::uint32_t measure, std::uint8_t letter) {
    MeasureMark mark;
    mark.measure = measure;
    mark.keyChange = true;
    mark.keyLetter = letter;
    return mark;
}

std::vector<std::uint32_t> markedMeasures(const music::Score& score) {
    std::vector<std::uint32_t> out;
    for (const MeasureMark& mark : score.header().marks)
        out.push_back(mark.measure);
    return out;
}

// Measures are numbered along the first track: a bar line typed or removed there moves the
// marks of the measures after it, so that a key change stays with its music.
TEST(MeasureMarks, MoveWithTheBarLinesOfTheFirstTrackAndComeBackWithUndo) {
    Editor ed(test::scoreOf({"1 2 | 3 4 | 5 6 | 7 1 |]", "1 2 | 3 4 | 5 6 | 7 1 |]"}));
    doc_header h = ed.score().header();
    music::setMark(h, keyChangeAt(2, 3));
    music::setMark(h, keyChangeAt(3, 6));
    ed.view.changeHeader(h);
    ASSERT_EQ(markedMeasures(ed.score()), (std::vector<std::uint32_t>{2, 3}));

    ed.view.setCaret(ed.at(0, 1));  // between 1 and 2: a bar line splits measure 1
    ed.type(U"/");
    EXPECT_EQ(markedMeasures(ed.score()), (std::vector<std::uint32_t>{3, 4}));
    ASSERT_TRUE(ed.view.undo());
    EXPECT_EQ(markedMeasures(ed.score()), (std::vector<std::uint32_t>{2, 3}));

    // The second track has its own bar lines: they move nothing.
    ed.view.setCaret(ed.at(0, 1, 1));
    ed.type(U"/");
    EXPECT_EQ(markedMeasures(ed.score()), (std::vector<std::uint32_t>{2, 3}));
    ASSERT_TRUE(ed.view.undo());

    // Backspace at the start of a marked measure joins it to the one before: its key change
    // would stand inside the joined measure, so it goes, and comes back with undo.
    ed.view.setCaret(ed.at(2, 0));
    ed.type(U"\b");
    EXPECT_EQ(markedMeasures(ed.score()), (std::vector<std::uint32_t>{2}));
    EXPECT_EQ(ed.score().header().marks[0].keyLetter, 6);
    ASSERT_TRUE(ed.view.undo());
    EXPECT_EQ(markedMeasures(ed.score()), (std::vector<std::uint32_t>{2, 3}));
    EXPECT_EQ(ed.score().header().marks[0].keyLetter, 3);
    ASSERT_TRUE(ed.view.undo());
    EXPECT_TRUE(ed.score().header().marks.empty());
    ASSERT_TRUE(ed.view.redo());
    EXPECT_EQ(markedMeasures(ed.score()), (std::vector<std::uint32_t>{2, 3}));
}

TEST(MeasureMarks, SetMarkKeepsOneMarkPerMeasureInOrder) {
    doc_header h;
    music::setMark(h, keyChangeAt(5, 1));
    music::setMark(h, keyChangeAt(2, 1));
    music::setMark(h, keyChangeAt(5, 4));
    EXPECT_EQ(h.marks.size(), 2u);
    EXPECT_EQ(h.marks[0].measure, 2u);
    EXPECT_EQ(h.marks[1].keyLetter, 4);
    MeasureMark none;
    none.measure = 2;
    music::setMark(h, none);
    ASSERT_EQ(h.marks.size(), 1u);
    EXPECT_EQ(h.marks[0].measure, 5u);
}

// After a key change the digits name the new key's degrees, and an accidental holds to the
// bar line in either key.
TEST(MeasureMarks, PitchesFollowAKeyChangeAndTheOctaveOfOne) {
    QeDocument doc = test::scoreOf({"1 #4 4 | 1 #4 4 | 1 |]"});
    doc.header.keyLetter = 2;
    doc.header.marks = {keyChangeAt(1, 3)};  // 1=C, then 1=D from measure 2
    std::vector<int> midi;
    const std::vector<music::TrackWalk> walks = test::walkRecords(doc);
    for (const music::SoundingNote& n : walks[0].notes)
        midi.push_back(n.pitch->midi());
    EXPECT_EQ(midi, (std::vector<int>{60, 66, 66, 62, 68, 68, 62}));

    // 1=G sounds its 1 below middle C as usual; shifted, the same digits sound an octave up.
    doc.header.marks.clear();
    doc.header.keyLetter = 6;
    EXPECT_EQ(test::walkRecords(doc)[0].notes[0].pitch->midi(), 55);
    doc.header.tonicShift = 1;
    EXPECT_EQ(test::walkRecords(doc)[0].notes[0].pitch->midi(), 67);
    // A key change keeps its own octave.
    MeasureMark low = keyChangeAt(2, 2);  // 1=C
    low.tonicShift = -1;
    doc.header.marks = {low};
    EXPECT_EQ(test::walkRecords(doc)[0].notes[6].pitch->midi(), 48);
}

// Each measure is counted in its own meter; free meter flags nothing.
TEST(MeasureMarks, TheMeasureCheckCountsEachMeasureInItsMeter) {
    QeDocument doc = test::scoreOf({"1 2 3 4 | 1 2 3 | 1 2 3 | 1 2 3 4 5 | 1 |]"});
    MeasureMark three;
    three.measure = 1;
    three.meterChange = true;
    three.numerator = 3;
    three.denominator = 4;
    MeasureMark free;
    free.measure = 3;
    free.meterChange = true;
    free.numerator = free.denominator = 0;
    doc.header.marks = {three, free};
    const std::vector<music::MeasureMisfit> misfits =
        music::checkMeasures(*test::scoreFrom(doc));
    EXPECT_TRUE(misfits.empty());
    // Without the free meter, 5 beats and 1 beat are flagged, each counted in 3/4.
    doc.header.marks = {three};
    const std::vector<music::MeasureMisfit> flagged =
        music::checkMeasures(*test::scoreFrom(doc));
    ASSERT_EQ(flagged.size(), 2u);
    EXPECT_EQ(flagged[0].measure, 3);
    EXPECT_EQ(flagged[0].expected, 3 * music::kTicksPerQuarter);
    EXPECT_EQ(flagged[1].meter, (music::Meter{3, 4}));

    // The measure check kept by a session follows a new mark.
    Editor ed(doc);
    ASSERT_TRUE(ed.session.measureCheck.misfit(0, 3));
    doc_header h = ed.score().header();
    music::setMark(h, free);
    ed.view.changeHeader(h);
    EXPECT_FALSE(ed.session.measureCheck.misfit(0, 3));
}

}  // namespace
}  // namespace qe
