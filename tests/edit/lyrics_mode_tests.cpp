#include <gtest/gtest.h>

#include "edit/lyrics_entry.h"
#include "support/fake_host.h"
#include "support/lyrics_doc.h"
#include "support/notation.h"

namespace qe {
namespace {

using Strings = std::vector<std::string>;

struct LyricsEditor : test::Editor {
    explicit LyricsEditor(const QeDocument& d) : test::Editor(d), entry(view) {}
    // The note the entry is at, as the place of its item.
    LyricsEntry::Note noteAt(int m, int entry) const { return {0, {m, entry}}; }
    LyricsEntry entry;
};

TEST(LyricsMode, TypesSyllablesNoteByNotePassingOverRestsMarksAndTiedNotes) {
    LyricsEditor ed(test::scoreWithShapes({"1 0 2~ 2 - | 3 . 4 |]"}));
    ASSERT_TRUE(ed.entry.begin(0));
    ed.entry.type(u"la");
    ed.entry.next();
    ed.entry.type(u"A");
    ed.entry.next(true);  // "-": the word goes on
    ed.entry.type(u"men");
    ed.entry.next();
    ed.entry.type(u"so");
    EXPECT_FALSE(ed.entry.next());  // the last note: the entry stays
    ed.entry.end();
    EXPECT_EQ(test::syllablesOf(ed.committed(), 0),
              (Strings{"la@0:0", "A-@0:2", "men@0:6", "so@0:8"}));
}

TEST(LyricsMode, ChineseCharactersFillOneNoteEachAndBackspaceGoesBack) {
    LyricsEditor ed(test::scoreOf({"1 2 3 4 |]"}));
    ASSERT_TRUE(ed.entry.begin(0));
    ed.entry.type(u"茉莉花");  // one input-method commit
    EXPECT_EQ(ed.entry.note(), ed.noteAt(0, 2));
    ed.entry.backspace();  // empties the syllable
    ed.entry.backspace();  // on an empty syllable: back to the note before
    EXPECT_EQ(ed.entry.note(), ed.noteAt(0, 1));
    ed.entry.backspace();
    ed.entry.type(u"x");
    ed.entry.end();
    EXPECT_EQ(test::syllablesOf(ed.committed(), 0), (Strings{"?@0:0", "x@0:1"}));
}

TEST(LyricsMode, EachNoteIsOneUndoableStepAndAVerseOfItsOwn) {
    QeDocument doc = test::scoreOf({"1 2 |]"});
    test::addSyllable(doc, 0, 0, 0, u"old");
    LyricsEditor ed(std::move(doc));
    ASSERT_TRUE(ed.entry.begin(0));
    ed.entry.type(u"new");  // replaces the syllable the note had
    ed.entry.next();
    ed.entry.type(u"two");
    ed.entry.setVerse(1);
    ed.entry.type(u"v2");
    ed.entry.end();
    EXPECT_EQ(test::syllablesOf(ed.committed(), 0), (Strings{"new@0:0", "two@0:1"}));
    EXPECT_EQ(test::syllablesOf(ed.saved, 1), (Strings{"v2@0:1"}));
    ed.view.undo();
    ed.view.undo();
    EXPECT_EQ(test::syllablesOf(ed.committed(), 0), (Strings{"new@0:0"}));
    ed.view.undo();
    EXPECT_EQ(test::syllablesOf(ed.committed(), 0), (Strings{"old@0:0"}));
}

}  // namespace
}  // namespace qe
