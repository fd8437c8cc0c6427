#include <gtest/gtest.h>

#include "edit/chord_symbol_entry.h"
#include "edit/lyrics_entry.h"
#include "music/note_marks.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using Step = ChordSymbolEntry::Step;

std::u16string chordAt(test::Editor& ed, int m, int e) {
    return ed.score().entry(0, {m, e}).extras().chordSymbol;
}

TEST(ChordSymbolEntry, TypedSymbolsGoOnTheirNotesOneStepEachAndTheEntryMovesOn) {
    test::Editor ed(test::scoreOf({"1 - 5 | 6 |]"}));
    ChordSymbolEntry entry(ed.view);
    ed.caretAt(0, 0);
    ASSERT_TRUE(entry.begin());
    EXPECT_EQ(entry.note(), (music::EntryRef{0, 0}));
    // Typed, then Tab: on the 1, and on to the 5 (the dash is passed over).
    EXPECT_EQ(entry.type(u"Am7"), Step::Typed);
    EXPECT_FALSE(entry.put());
    EXPECT_EQ(entry.key(modekey::kTab), Step::Typed);
    EXPECT_TRUE(entry.put());
    EXPECT_EQ(chordAt(ed, 0, 0), u"Am7");
    EXPECT_EQ(entry.note(), (music::EntryRef{0, 2}));
    EXPECT_EQ(*ed.view.caret.at, ed.at(0, 2));
    // Text that names no chord stays, to be mended; Backspace takes a character back.
    entry.type(u"Xyz");
    EXPECT_EQ(entry.key(modekey::kEnter), Step::Unrecognised);
    EXPECT_EQ(entry.typed(), u"Xyz");
    EXPECT_TRUE(entry.active());
    for (int i = 0; i < 3; ++i)
        entry.key(modekey::kBackspace);
    entry.type(u"G/B");
    // Enter puts it on and ends; a letter key is no key of the entry.
    EXPECT_EQ(entry.key(modekey::kEnter), Step::Finished);
    EXPECT_EQ(chordAt(ed, 0, 2), u"G/B");
    EXPECT_FALSE(entry.active());
    EXPECT_EQ(entry.key(U'a'), Step::Ignored);
    // Each symbol was one step of the history.
    ed.view.undo();
    EXPECT_EQ(chordAt(ed, 0, 2), u"");
    EXPECT_EQ(chordAt(ed, 0, 0), u"Am7");
}

TEST(ChordSymbolEntry, EscLeavesTheNoteAsItWasAndAVanishedNoteEndsTheEntry) {
    test::Editor ed(test::scoreOf({"1 2 |]"}));
    ChordSymbolEntry entry(ed.view);
    ed.caretAt(0, 1);
    ASSERT_TRUE(entry.begin());
    entry.type(u"C");
    EXPECT_EQ(entry.key(modekey::kEscape), Step::Finished);
    EXPECT_EQ(chordAt(ed, 0, 1), u"");
    // The note goes from under the entry: the next key is the window's again.
    ASSERT_TRUE(entry.begin());
    ed.view.onChar(InputMethod::kDelete);
    EXPECT_EQ(entry.key(modekey::kTab), Step::Ignored);
    EXPECT_FALSE(entry.active());
    // No note after the caret: no entry.
    ed.caretAtEnd(0);
    EXPECT_FALSE(entry.begin());
}

TEST(InputModes, EveryKeyOfAModeIsItsOwnAndLyricsKeysDoWhatTheGuideSays) {
    for (std::span<const ModeKey> keys : {LyricsEntry::keys(), ChordSymbolEntry::keys()})
        for (const ModeKey& k : keys)
            EXPECT_EQ(modeKeyOf(keys, k.key), &k) << k.keyName;
    test::Editor ed(test::scoreOf({"1 2 3 |]"}));
    LyricsEntry lyrics(ed.view);
    ed.caretAt(0, 0);
    ASSERT_TRUE(lyrics.begin(0));
    lyrics.type(u"Hal");
    EXPECT_EQ(lyrics.key(U'-'), LyricsEntry::Step::Typed);  // joined to the next note
    lyrics.type(u"le");
    EXPECT_EQ(lyrics.key(modekey::kSpace), LyricsEntry::Step::Typed);
    lyrics.type(u"lu");
    EXPECT_EQ(lyrics.key(modekey::kEscape), LyricsEntry::Step::Finished);
    EXPECT_EQ(lyrics.key(U'x'), LyricsEntry::Step::Ignored);
    lyrics.end();
    const auto syllable = [&](int e) { return ed.score().entry(0, {0, e}).syllables.at(0).text(); };
    EXPECT_EQ(syllable(0), u"Hal-");
    EXPECT_EQ(syllable(1), u"le");
    EXPECT_EQ(syllable(2), u"lu");
}

// A command that changes nothing says why, one way for all of them.
TEST(EditResults, ARefusedCommandSaysWhyAndChangesNothing) {
    test::Editor ed(test::scoreOf({"1 2 3 | 4 |]", "5 6 |]"}));
    const auto select = [&](const Position& from, const Position& to) {
        ed.view.caret.selectionAnchor = from;
        ed.view.caret.selectionEnd = to;
        ed.view.caret.selectionShown = true;
    };
    EXPECT_EQ(ed.view.notes().addTie().refusal, Refusal::NothingSelected);
    select(ed.at(0, 0), ed.at(0, 1, 1));
    EXPECT_EQ(ed.view.notes().addTie().refusal, Refusal::AcrossTracks);
    Fragment fragment;
    EXPECT_EQ(ed.view.copySelection(fragment).refusal, Refusal::AcrossTracks);
    select(ed.at(0, 0), ed.at(0, 1));
    EXPECT_EQ(ed.view.notes().addTie().refusal, Refusal::NothingToJoin);
    ed.caretAt(0, 0);
    EXPECT_EQ(ed.view.notes().toggleArticulation(articulation::kAccent).refusal,
              Refusal::NoNoteBeforeCaret);
    EXPECT_EQ(ed.view.notes().setChordSymbol(u"H7").refusal, Refusal::NoNoteBeforeCaret);
    ed.caretAt(0, 1);
    EXPECT_EQ(ed.view.notes().setChordSymbolAt(0, {0, 0}, u"H7").refusal, Refusal::Unrecognised);
    EXPECT_EQ(ed.view.paste(Fragment{}).refusal, Refusal::NothingToPaste);
    ed.view.caret.placed = false;
    EXPECT_EQ(ed.view.paste(fragment).refusal, Refusal::NoCaret);
    EXPECT_FALSE(ed.history().canUndo());
    // And a command that did its work says so.
    ed.caretAt(0, 1);
    EXPECT_TRUE(ed.view.notes().toggleArticulation(articulation::kTenuto).ok());
    EXPECT_TRUE(ed.history().canUndo());
}

}  // namespace
}  // namespace qe
