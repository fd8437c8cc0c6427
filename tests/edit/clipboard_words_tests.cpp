#include <gtest/gtest.h>

#include "edit/fragment.h"
#include "support/fake_host.h"
#include "support/lyrics_doc.h"
#include "support/notation.h"

namespace qe {
namespace {

using Strings = std::vector<std::string>;
using test::addSyllable;
using test::Editor;
using test::parseTrack;
using test::syllablesOf;

// A verse as it stands under the notes of the first track: each digit's syllable ("_" for a
// digit without one), "|" for each bar line.
std::string wordsOf(const music::Score& score, int verse) {
    std::string out;
    for (const music::Measure& measure : score.track(0).measures) {
        for (const music::Entry& entry : measure.entries) {
            const std::optional<music::Item> item = entry.item();
            if (!item || !(item->isDigit() || item->isBarLine()))
                continue;
            std::string word = item->isBarLine() ? "|" : "_";
            for (const music::Syllable& s : entry.syllables)
                if (s.verse == verse && !item->isBarLine())
                    word = std::string(s.text().begin(), s.text().end());
            out += (out.empty() ? "" : " ") + word;
        }
    }
    return out;
}

// A hymn of three measures with eight verses: note n of verse v sings n's letter and v + 1
// ("a1", "b1" ... "l8").
QeDocument hymn() {
    QeDocument doc = test::scoreOf({"1 2 3 4 | 5 6 7 1' | 2' 3' 4' 5' |]"});
    for (int v = 0; v < 8; ++v) {
        char16_t letter = u'a';
        for (int item : {0, 1, 2, 3, 5, 6, 7, 8, 10, 11, 12, 13})
            addSyllable(doc, v, 0, item, std::u16string{letter++, char16_t(u'1' + v)});
    }
    return doc;
}

void select(Editor& ed, const Position& from, const Position& to) {
    ed.view.caret.selectionAnchor = from;
    ed.view.caret.selectionEnd = to;
}

TEST(ClipboardWords, CutTakesTheCutNotesWordsAndLeavesTheOthersOnTheirNotes) {
    Editor ed(hymn());
    const music::Track original = ed.score().track(0);
    // When 6 7 are cut.
    select(ed, ed.at(1, 1), ed.at(1, 3));
    const Fragment cut = test::cutOut(ed.view);
    // Then the fragment holds their words of every verse, and every other note keeps its own.
    EXPECT_EQ(cut.syllables.size(), 16u);
    EXPECT_EQ(toJianpuText(cut).substr(0, 9), "6 7\n1: f1");
    EXPECT_EQ(wordsOf(ed.score(), 0), "a1 b1 c1 d1 | e1 h1 | i1 j1 k1 l1 |");
    EXPECT_EQ(wordsOf(ed.score(), 7), "a8 b8 c8 d8 | e8 h8 | i8 j8 k8 l8 |");
    // And a save writes each syllable with its note's new place.
    EXPECT_EQ(syllablesOf(ed.committed(), 7),
              (Strings{"a8@0:0", "b8@0:1", "c8@0:2", "d8@0:3", "e8@0:5", "h8@0:6", "i8@0:8",
                       "j8@0:9", "k8@0:10", "l8@0:11"}));
    // One undo brings notes and words back exactly.
    ASSERT_TRUE(ed.view.undo());
    EXPECT_EQ(ed.score().track(0), original);
}

TEST(ClipboardWords, PastedNotesBringTheirWordsAndTheNotesAfterThemKeepTheirs) {
    Editor ed(hymn());
    select(ed, ed.at(1, 1), ed.at(1, 3));
    const Fragment cut = test::cutOut(ed.view);
    const music::Track afterCut = ed.score().track(0);
    // When they are pasted at the start of the last measure.
    ed.caretAt(2, 0);
    ASSERT_TRUE(ed.view.paste(cut));
    EXPECT_EQ(ed.track(), parseTrack("1 2 3 4 | 5 1' | 6 7 2' 3' 4' 5' |]"));
    for (int v = 0; v < 8; ++v) {
        const std::string n(1, static_cast<char>('1' + v));
        EXPECT_EQ(wordsOf(ed.score(), v), "a" + n + " b" + n + " c" + n + " d" + n + " | e" + n +
                                              " h" + n + " | f" + n + " g" + n + " i" + n + " j" +
                                              n + " k" + n + " l" + n + " |");
    }
    const music::Track pasted = ed.score().track(0);
    // The paste is one step, undone and redone whole.
    ASSERT_TRUE(ed.view.undo());
    EXPECT_EQ(ed.score().track(0), afterCut);
    ASSERT_TRUE(ed.view.redo());
    EXPECT_EQ(ed.score().track(0), pasted);
}

TEST(ClipboardWords, PastedWordsReplaceOnlyThePastedNotesVerses) {
    // Given: three verses under 1 2 3, and a fragment of one note with verse 1 only.
    QeDocument doc = test::scoreOf({"1 2 3 |]"});
    for (int v = 0; v < 3; ++v)
        for (int item = 0; item < 3; ++item)
            addSyllable(doc, v, 0, item, std::u16string{char16_t(u'x' + item), char16_t(u'1' + v)});
    Editor ed(std::move(doc));
    const std::optional<Fragment> fragment = fromJianpuText("5\n1: 新");
    ASSERT_TRUE(fragment);
    // When it is pasted between the 1 and the 2.
    ed.caretAt(0, 1);
    ASSERT_TRUE(ed.view.paste(*fragment));
    // Then the new note sings only its own word, and the notes after it keep all of theirs.
    EXPECT_EQ(ed.track(), parseTrack("1 5 2 3 |]"));
    EXPECT_EQ(syllablesOf(ed.committed(), 0), (Strings{"x1@0:0", "?@0:1", "y1@0:2", "z1@0:3"}));
    EXPECT_EQ(syllablesOf(ed.saved, 1), (Strings{"x2@0:0", "y2@0:2", "z2@0:3"}));
    EXPECT_EQ(syllablesOf(ed.saved, 2), (Strings{"x3@0:0", "y3@0:2", "z3@0:3"}));
}

TEST(ClipboardWords, WordsTravelBetweenScoresInBothClipboardForms) {
    Editor from(hymn());
    select(from, from.at(0, 2), from.at(1, 1));  // 3 4 | 5
    const Fragment copied = test::copied(from.view);
    // The editor's own form carries every verse; the jianpu text as well, for these words.
    for (const std::optional<Fragment>& carried :
         {fromFragmentText(toFragmentText(copied)), fromJianpuText(toJianpuText(copied))}) {
        ASSERT_TRUE(carried);
        Editor to(test::scoreOf({"7 7 |]"}));
        to.caretAt(0, 1);
        ASSERT_TRUE(to.view.paste(*carried));
        EXPECT_EQ(to.track(), parseTrack("7 3 4 | 5 7 |]"));
        EXPECT_EQ(wordsOf(to.score(), 0), "_ c1 d1 | e1 _ |");
        EXPECT_EQ(wordsOf(to.score(), 7), "_ c8 d8 | e8 _ |");
        EXPECT_EQ(syllablesOf(to.committed(), 3), (Strings{"c4@0:1", "d4@0:2", "e4@0:4"}));
    }
    // Copying changed nothing in the source.
    EXPECT_EQ(wordsOf(from.score(), 0), "a1 b1 c1 d1 | e1 f1 g1 h1 | i1 j1 k1 l1 |");
}

TEST(ClipboardWords, ACopyLeavesOutOnlyWordsNoPasteWouldTake) {
    // Given: a file with a syllable on a verse past the window's, one far too long, one on a
    // rest and two of one verse on a note.
    QeDocument doc = test::scoreOf({"1 0 2 |]"});
    addSyllable(doc, 120, 0, 0, u"far");
    addSyllable(doc, 0, 0, 0, std::u16string(kMostSyllableLength + 1, u'a'));
    addSyllable(doc, 1, 0, 0, u"kept");
    addSyllable(doc, 0, 0, 1, u"rest");
    addSyllable(doc, 0, 0, 2, u"one");
    addSyllable(doc, 0, 0, 2, u"two");
    Editor ed(std::move(doc));
    select(ed, ed.at(0, 0), ed.end(0));
    const Fragment copied = test::copied(ed.view);
    EXPECT_EQ(copied.syllables,
              (std::vector<Fragment::Syllable>{
                  {0, 1, u"kept"}, {1, 0, u"rest"}, {2, 0, u"one"}, {2, 0, u"two"}}));
    // And what it holds pastes whole through the editor's own form.
    const std::optional<Fragment> back = fromFragmentText(toFragmentText(copied));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, copied);
    Editor to(test::scoreOf({"|]"}));
    ASSERT_TRUE(to.view.paste(*back));
    EXPECT_EQ(syllablesOf(to.committed(), 0), (Strings{"rest@0:1", "one@0:2", "two@0:2"}));
    EXPECT_EQ(syllablesOf(to.saved, 1), (Strings{"kept@0:0"}));
}

}  // namespace
}  // namespace qe
