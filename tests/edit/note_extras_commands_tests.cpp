#include <gtest/gtest.h>

#include "music/note_marks.h"
#include "edit/fragment.h"
#include "edit/note_extras.h"
#include "music/track_walk.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::Editor;

const NoteExtra& extrasAt(Editor& ed, int m, int e, int t = 0) {
    return ed.score().entry(t, {m, e}).extras();
}

// Typed as a user would: the note, then what it carries, each one undoable step.
TEST(ExtraCommands, ChordTonesAndGraceNotesGoOnTheNoteBeforeTheCaret) {
    Editor ed(test::scoreOf({"1 5 - 3 |]"}));
    ed.view.setCaret(ed.at(0, 1));  // after "1"
    ASSERT_TRUE(ed.view.notes().addChordTone(3, false));
    ASSERT_TRUE(ed.view.notes().addChordTone(5, false));
    ASSERT_TRUE(ed.view.notes().addChordTone(1, false));  // above the 5: the 1 an octave up
    ASSERT_TRUE(ed.view.notes().addChordTone(5, true));   // below the 1: the 5 an octave down
    EXPECT_EQ(extrasAt(ed, 0, 0).tones,
              (std::vector<NoteTone>{{3, 0, 0}, {5, 0, 0}, {1, 1, 0}, {5, -1, 0}}));
    // After the dash the note before the caret is still the 5.
    ed.view.setCaret(ed.at(0, 3));
    ASSERT_TRUE(ed.view.notes().addGraceNote(6, false));
    ASSERT_TRUE(ed.view.notes().addGraceNote(4, true));
    ASSERT_TRUE(ed.view.notes().addGraceNote(1, false));  // nearer the 5 an octave up
    EXPECT_EQ(extrasAt(ed, 0, 1).graces,
              (std::vector<GraceNote>{{{6, 0, 0}, 2, false}, {{1, 1, 0}, 2, false},
                                      {{4, 0, 0}, 2, true}}));
    // Each was one step.
    ed.view.undo();
    ed.view.undo();
    ed.view.undo();
    EXPECT_TRUE(extrasAt(ed, 0, 1).graces.empty());
    ed.view.undo();
    EXPECT_EQ(extrasAt(ed, 0, 0).tones.size(), 3u);
    ed.view.redo();
    EXPECT_EQ(extrasAt(ed, 0, 0).tones.size(), 4u);
    // Several grace notes go on as one step, all or none.
    ed.view.setCaret(ed.at(0, 4));  // after the 3
    ASSERT_TRUE(ed.view.notes().addGraceNotes({{2, 0, 0}, {4, 1, 1}}, false));
    EXPECT_EQ(extrasAt(ed, 0, 3).graces,
              (std::vector<GraceNote>{{{2, 0, 0}, 2, false}, {{4, 1, 1}, 2, false}}));
    EXPECT_FALSE(ed.view.notes().addGraceNotes({{5, 0, 0}, {9, 0, 0}}, true));
    EXPECT_EQ(extrasAt(ed, 0, 3).graces.size(), 2u);
    ed.view.undo();
    EXPECT_TRUE(extrasAt(ed, 0, 3).graces.empty());
    // A chord tone takes the accidental chosen for the next note, and uses it up.
    ed.view.input.accidental = 3;
    ASSERT_TRUE(ed.view.notes().addChordTone(5, false));
    EXPECT_EQ(extrasAt(ed, 0, 3).tones, (std::vector<NoteTone>{{5, 0, 3}}));
    EXPECT_EQ(ed.view.input.accidental, 0);
    // A rest takes no chord tone; at the start of a measure there is no note before the caret.
    Editor rest(test::scoreOf({"0 1 |]"}));
    rest.view.setCaret(rest.at(0, 1));
    EXPECT_FALSE(rest.view.notes().addChordTone(3, false));
    rest.view.setCaret(rest.at(0, 0));
    EXPECT_FALSE(rest.view.notes().addGraceNote(3, false));
    EXPECT_FALSE(rest.history().canUndo());
}

TEST(ExtraCommands, ArticulationsSwitchAndChordSymbolsAreChecked) {
    Editor ed(test::scoreOf({"1 2 0 4 |]"}));
    ed.view.setCaret(ed.at(0, 3));  // after the rest
    ASSERT_TRUE(ed.view.notes().toggleArticulation(articulation::kFermata));
    EXPECT_EQ(extrasAt(ed, 0, 2).articulations, articulation::kFermata);
    ASSERT_TRUE(ed.view.notes().toggleArticulation(articulation::kFermata));
    EXPECT_FALSE(ed.score().entry(0, {0, 2}).extra);  // off again: nothing left on it

    ed.view.setCaret(ed.at(0, 1));
    ASSERT_TRUE(ed.view.notes().setChordSymbol(u"F♯m7♭5"));
    EXPECT_EQ(extrasAt(ed, 0, 0).chordSymbol, u"F#m7b5");
    EXPECT_EQ(ed.view.notes().chordSymbolBeforeCaret(), u"F#m7b5");
    // Garbage is refused and nothing changes.
    EXPECT_FALSE(ed.view.notes().setChordSymbol(u"Xyz"));
    EXPECT_FALSE(ed.view.notes().setChordSymbol(u"C/"));
    EXPECT_EQ(extrasAt(ed, 0, 0).chordSymbol, u"F#m7b5");
    ASSERT_TRUE(ed.view.notes().setChordSymbol(u"  "));
    EXPECT_TRUE(extrasAt(ed, 0, 0).chordSymbol.empty());
    ed.view.undo();
    EXPECT_EQ(extrasAt(ed, 0, 0).chordSymbol, u"F#m7b5");

    // Saved and read again, as a file.
    Editor reopened(ed.committed());
    EXPECT_EQ(extrasAt(reopened, 0, 0).chordSymbol, u"F#m7b5");
}

TEST(ExtraCommands, ATupletIsMadeOfTheSelectedNotesAndUndone) {
    Editor ed(test::scoreOf({"1_ 2_ 3_ 4 | 5 6 |]"}));
    ed.view.setCaret(ed.at(0, 0));
    for (int i = 0; i < 3; ++i)
        ed.view.moveCaret(ScoreEditor::Move::Right, true);
    ASSERT_TRUE(ed.view.notes().toggleTuplet(3, 2));
    EXPECT_EQ(extrasAt(ed, 0, 0).tuplets[0], (TupletMark{3, 2, true}));
    EXPECT_EQ(extrasAt(ed, 0, 2).tuplets[0], (TupletMark{3, 2, false}));
    EXPECT_FALSE(ed.score().entry(0, {0, 3}).extra);
    // The walk now counts the measure as two quarters.
    const auto walks = test::walkRecords(ed.committed());
    EXPECT_EQ(walks[0].measures[0].length, 2 * music::kTicksPerQuarter);
    // The same command again makes them plain; undo brings the tuplet back in one step.
    ASSERT_TRUE(ed.view.notes().toggleTuplet(3, 2));
    EXPECT_FALSE(ed.score().entry(0, {0, 0}).extra);
    ed.view.undo();
    EXPECT_TRUE(extrasAt(ed, 0, 1).tuplets[0].active());
    ed.view.undo();
    EXPECT_FALSE(ed.score().entry(0, {0, 1}).extra);
    // A selection across a bar line is refused.
    ed.view.setCaret(ed.at(0, 2));
    for (int i = 0; i < 4; ++i)
        ed.view.moveCaret(ScoreEditor::Move::Right, true);
    EXPECT_FALSE(ed.view.notes().toggleTuplet(3, 2));
}

TEST(ExtraCommands, DeletingANoteTakesWhatItCarriesAndUndoBringsItBack) {
    Editor ed(test::scoreOf({"1 2 3 |]"}));
    ed.view.setCaret(ed.at(0, 2));
    ASSERT_TRUE(ed.view.notes().addChordTone(4, false));
    ASSERT_TRUE(ed.view.notes().toggleArticulation(articulation::kAccent));
    ed.type(U"\b");
    EXPECT_EQ(ed.score().measure(0, 0).contentCount(), 2);
    EXPECT_FALSE(ed.score().entry(0, {0, 1}).extra);  // the 3 moved up carries nothing
    ed.view.undo();
    EXPECT_EQ(extrasAt(ed, 0, 1).tones.size(), 1u);
    EXPECT_EQ(extrasAt(ed, 0, 1).articulations, articulation::kAccent);
}

// Copy and paste keep what the notes carry, through the clipboard's text too; damaged or
// misplaced extras in a clipboard text are refused, not pasted half.
TEST(ExtraCommands, CopyAndPasteKeepWhatNotesCarry) {
    Editor ed(test::scoreOf({"1_ 2_ 3_ 0 5 | 6 |]"}));
    ed.view.setCaret(ed.at(0, 0));
    for (int i = 0; i < 3; ++i)
        ed.view.moveCaret(ScoreEditor::Move::Right, true);
    ASSERT_TRUE(ed.view.notes().toggleTuplet(3, 2));
    ed.view.setCaret(ed.at(0, 4));  // after the rest
    ASSERT_TRUE(ed.view.notes().toggleArticulation(articulation::kFermata));
    ed.view.setCaret(ed.at(0, 5));
    ASSERT_TRUE(ed.view.notes().addChordTone(3, true));
    ASSERT_TRUE(ed.view.notes().setChordSymbol(u"C/E"));
    ed.view.setCaret(ed.at(0, 0));
    for (int i = 0; i < 5; ++i)
        ed.view.moveCaret(ScoreEditor::Move::Right, true);
    const Fragment copied = test::copied(ed.view);
    ASSERT_EQ(copied.extras.size(), 5u);
    const std::optional<Fragment> back = fromFragmentText(toFragmentText(copied));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, copied);

    ed.view.setCaret(ed.at(1, 1));  // after the 6
    ASSERT_TRUE(ed.view.paste(*back));
    const music::Measure& m = ed.score().measure(0, 1);
    EXPECT_EQ(m.entries[1].extras().tuplets[0], (TupletMark{3, 2, true}));
    EXPECT_EQ(m.entries[4].extras().articulations, articulation::kFermata);
    EXPECT_EQ(m.entries[5].extras().chordSymbol, u"C/E");
    EXPECT_EQ(m.entries[5].extras().tones.size(), 1u);
    ed.view.undo();  // the paste, with its extras, is one step
    EXPECT_EQ(ed.score().measure(0, 1).contentCount(), 1);

    std::string text = toFragmentText(copied);
    std::string error;
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    const std::string line = text.substr(text.find("extra 4 "));
    EXPECT_FALSE(fromFragmentText(replaced(line, "extra 4 zz\n"), &error));
    EXPECT_FALSE(fromFragmentText(replaced(line, "extra 9 " + line.substr(8)), &error));
    EXPECT_FALSE(fromFragmentText(replaced(line, "extra 3 " + line.substr(8)), &error));  // a rest
    EXPECT_FALSE(fromFragmentText(replaced(line, line.substr(0, line.size() - 3) + "\n"), &error));
    EXPECT_FALSE(error.empty());
}

// Words at notes and the marks after the first three (a tenuto alone) go through the clipboard
// text as lines of their own; the form names the version that holds them.
TEST(ExtraCommands, WordsAtNotesAndLaterMarksTravelThroughTheClipboard) {
    Editor ed(test::scoreOf({"1 2 0 4 |]"}));
    ed.view.setCaret(ed.at(0, 1));
    ASSERT_TRUE(ed.view.notes().toggleArticulation(articulation::kTenuto));
    ASSERT_TRUE(ed.view.notes().setNoteText(false, u"  rit.\n  "));
    ed.view.setCaret(ed.at(0, 3));  // after the rest
    ASSERT_TRUE(ed.view.notes().setNoteText(true, u"渐弱 \\ p"));
    ASSERT_TRUE(ed.view.notes().setNoteText(false, u"a tempo"));
    EXPECT_EQ(ed.view.notes().noteTextBeforeCaret(true), u"渐弱 \\ p");
    EXPECT_EQ(extrasAt(ed, 0, 0).textAbove, u"rit.");

    ed.view.setCaret(ed.at(0, 0));
    for (int i = 0; i < 4; ++i)
        ed.view.moveCaret(ScoreEditor::Move::Right, true);
    const Fragment copied = test::copied(ed.view);
    const std::string text = toFragmentText(copied);
    EXPECT_EQ(text.rfind("qanoredit-fragment 3\n", 0), 0u) << text;
    const std::optional<Fragment> back = fromFragmentText(text);
    ASSERT_TRUE(back) << text;
    EXPECT_EQ(*back, copied);
    ed.view.setCaret(ed.at(0, 4));
    ASSERT_TRUE(ed.view.paste(*back));
    EXPECT_EQ(extrasAt(ed, 0, 4).articulations, articulation::kTenuto);
    EXPECT_EQ(extrasAt(ed, 0, 4).textAbove, u"rit.");
    EXPECT_EQ(extrasAt(ed, 0, 6).textBelow, u"渐弱 \\ p");

    // Blank text takes the words away.
    ed.view.setCaret(ed.at(0, 1));
    ASSERT_TRUE(ed.view.notes().setNoteText(false, u"   "));
    EXPECT_TRUE(extrasAt(ed, 0, 0).textAbove.empty());

    // A side it does not know, a side twice, a text on a bar line and the new lines in a form
    // of version 2 are refused.
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    EXPECT_FALSE(fromFragmentText(replaced("text 0 above", "text 0 over")));
    EXPECT_FALSE(fromFragmentText(replaced("text 2 below", "text 2 above")));
    EXPECT_FALSE(fromFragmentText(replaced("text 0 above", "text 4 above")));
    EXPECT_FALSE(fromFragmentText(replaced("fragment 3", "fragment 2")));
    EXPECT_FALSE(fromFragmentText(replaced("marks 0 ", "marks 0 1")));  // a first-three mark
}

}  // namespace
}  // namespace qe
