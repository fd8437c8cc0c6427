#include <gtest/gtest.h>

#include <random>

#include "edit/commands.h"
#include "records/memory_io.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::parseTrack;

// An editor on a score with its history, as every window of the editor has.
using HistoryEditor = test::Editor;

// The bytes of the document as saved now.
std::vector<unsigned char> savedBytes(test::Editor& ed) {
    MemoryIO io;
    ed.committed().serialize(io, true);
    return io.bytes();
}

// An edit happens whole or not at all: when a change of an action does not fit the score,
// those made before it are taken back and no step is kept.
TEST(Undo, AnActionThatFailsPartWayLeavesTheScoreAsItWas) {
    HistoryEditor ed(test::scoreOf({"1 2 |]"}));
    const std::vector<unsigned char> before = savedBytes(ed);
    const music::Entry first = ed.score().entry(0, {0, 0});
    ScoreHistory& history = ed.history();
    history.begin({});
    Edits e(ed.score(), &history);
    e.make(change::InsertEntry{0, 0, 0, first});
    // The entry recorded is not the one that stands there now.
    EXPECT_THROW(e.make(change::RemoveEntry{0, 0, 2, first}), Exception);
    history.abandon(ed.score());
    EXPECT_EQ(savedBytes(ed), before);
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.recording());
}

TEST(Undo, TypedSongGoesBackStepByStepThroughWhatWasTyped) {
    QeDocument doc;
    doc.initNew(u"Song");
    HistoryEditor ed(doc);
    const std::u32string keys = U"3345\r5432\r1123\r3.k2j2-";
    std::vector<std::vector<note>> states{ed.track()};
    for (char32_t key : keys) {
        ed.view.onChar(key);
        if (!(ed.track() == states.back()))  // state keys change nothing to undo
            states.push_back(ed.track());
    }
    ASSERT_EQ(ed.history().stepCount(), states.size() - 1);
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(ed.view.undo());
        ASSERT_EQ(ed.track(), states[i - 1]) << "after undoing step " << i;
    }
    EXPECT_FALSE(ed.view.undo());
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(ed.view.redo());
        ASSERT_EQ(ed.track(), states[i]) << "after redoing step " << i;
    }
    EXPECT_FALSE(ed.view.redo());
}

TEST(Undo, BringsBackTheTieAndBracketAnEditCutLoose) {
    QeDocument doc = test::scoreWithShapes({"1~ 1 2 | { 3 4 | 5 6 | } 7 |]"});
    HistoryEditor ed(doc);
    const auto before = savedBytes(ed);
    ed.caretAt(0, 1);  // after the first 1: Backspace deletes it
    ed.type(U"\b");
    EXPECT_TRUE(ed.view.layout().arcs().empty());
    ed.caretAt(2, 0);  // at the start of measure 2: Backspace merges 1 into 2
    ed.type(U"\b");
    EXPECT_TRUE(ed.view.layout().voltas().empty());
    ASSERT_TRUE(ed.view.undo());
    ASSERT_TRUE(ed.view.undo());
    EXPECT_EQ(ed.view.layout().arcs().size(), 1u);
    EXPECT_EQ(ed.view.layout().voltas().size(), 1u);
    EXPECT_EQ(savedBytes(ed), before);
}

TEST(Undo, GivesTheCaretAndInputStateBack) {
    QeDocument doc = test::scoreOf({"1 2 3 |]"});
    HistoryEditor ed(doc);
    ed.caretAt(0, 1);
    ed.type(U"uk");  // octave up, eighths: state only
    ed.type(U"5");
    ed.view.caretRight();
    ed.view.caretRight();
    ed.type(U"mj");
    ASSERT_TRUE(ed.view.undo());
    EXPECT_EQ(ed.track(), parseTrack("1 2 3 |]"));
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 1));
    EXPECT_EQ(ed.view.input.octave, 1);
    EXPECT_EQ(ed.view.input.duration, 1);
    ASSERT_TRUE(ed.view.redo());
    EXPECT_EQ(ed.track(), parseTrack("1 5'_ 2 3 |]"));
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 2));  // behind the typed note
}

TEST(Undo, TitleAndFontChangesAreSteps) {
    HistoryEditor ed(test::scoreOf({"1 |]"}));
    doc_header header = ed.score().header();
    header.title = u"New";
    header.timeNumerator = 3;
    ed.view.changeHeader(header);
    format_track_header format = ed.score().format();
    format.marginLeft = 2000;
    ed.view.changeFormat(format);
    EXPECT_EQ(ed.score().header().title, u"New");
    ASSERT_TRUE(ed.view.undo());
    EXPECT_EQ(ed.score().format().marginLeft, 1000);
    ASSERT_TRUE(ed.view.undo());
    EXPECT_EQ(ed.score().header().title, u"Test");
    EXPECT_EQ(ed.score().header().timeNumerator, 4);
    ASSERT_TRUE(ed.view.redo());
    EXPECT_EQ(ed.score().header().timeNumerator, 3);
}

TEST(Undo, TheSavedStateIsCleanAgainAfterUndoingBackToIt) {
    HistoryEditor ed(test::scoreOf({"1 |]"}));
    EXPECT_TRUE(ed.history().isClean());
    ed.type(U"2");
    EXPECT_FALSE(ed.history().isClean());
    ed.history().markClean();  // saved here
    ed.type(U"3");
    EXPECT_FALSE(ed.history().isClean());
    ed.view.undo();
    EXPECT_TRUE(ed.history().isClean());
    ed.view.undo();
    EXPECT_FALSE(ed.history().isClean());
    // A new edit after undoing past the save drops the saved state for good.
    ed.type(U"4");
    ed.view.undo();
    ed.view.redo();
    EXPECT_FALSE(ed.history().isClean());
}

// A window that notes, each time it hears of a change, whether the document still counts as
// saved.
struct CleanWatcher : test::FakeHost {
    void scoreEdited() override {
        clean.push_back(history->isClean());
        FakeHost::scoreEdited();
    }
    ScoreHistory* history = nullptr;
    std::vector<bool> clean;
};

TEST(Undo, TheFirstKeyAfterASaveIsAChangeWhenTheWindowHearsOfIt) {
    HistoryEditor ed(test::scoreOf({"1 |]"}));
    CleanWatcher window;
    window.view = &ed.view;
    window.history = &ed.history();
    ed.view.window = &window;
    ed.type(U"2");
    ed.history().markClean();  // saved here
    ed.type(U"3");
    ed.view.undo();
    EXPECT_EQ(window.clean, std::vector<bool>({false, false, true}));
}

TEST(Clipboard, AMeasureRangeWithATieAndABracketPastesIntoAnotherDocument) {
    HistoryEditor source(test::scoreWithShapes({"1 2 | { 3~ 3 | 4 #5 | } 6 |]"}));
    // Select from the start of measure 1 to the start of measure 3.
    source.view.caret.selectionAnchor = source.at(1, 0);
    source.view.caret.selectionEnd = source.at(3, 0);
    const Fragment fragment = test::copied(source.view);
    EXPECT_EQ(toJianpuText(fragment), "3 3 | 4 #5 |");
    ASSERT_EQ(fragment.shapes.size(), 2u);
    // Through the clipboard's own form and back.
    const std::optional<Fragment> carried = fromFragmentText(toFragmentText(fragment));
    ASSERT_TRUE(carried);
    EXPECT_EQ(*carried, fragment);

    HistoryEditor target(test::scoreOf({"7 7 |]"}));
    target.caretAtEnd(0);  // at the end of the measure
    ASSERT_TRUE(target.view.paste(*carried));
    EXPECT_EQ(target.track(), parseTrack("7 7 3 3 | 4 #5 | |]"));
    ASSERT_EQ(target.view.layout().arcs().size(), 1u);
    EXPECT_EQ(target.view.layout().arcs()[0].from, target.element(0, 2));
    EXPECT_EQ(target.view.layout().arcs()[0].to, target.element(0, 3));
    ASSERT_EQ(target.view.layout().voltas().size(), 1u);
    EXPECT_EQ(target.view.layout().voltas()[0].from, target.measure(0));
    EXPECT_EQ(target.view.layout().voltas()[0].to, target.measure(1));
    // One paste is one step.
    ASSERT_TRUE(target.view.undo());
    EXPECT_EQ(target.track(), parseTrack("7 7 |]"));
    EXPECT_TRUE(target.view.layout().arcs().empty());
    EXPECT_FALSE(target.view.undo());
}

TEST(Clipboard, CutDeletesTheSelectionAsOneStep) {
    HistoryEditor ed(test::scoreWithShapes({"1 2 | 3~ 3 | 4 |]"}));
    ed.view.caret.selectionAnchor = ed.at(0, 1);
    ed.view.caret.selectionEnd = ed.at(1, 1);
    const Fragment cut = test::cutOut(ed.view);
    EXPECT_EQ(toJianpuText(cut), "2 | 3");
    EXPECT_EQ(ed.track(), parseTrack("1 3 | 4 |]"));
    EXPECT_TRUE(ed.view.layout().arcs().empty());  // its first note went
    ASSERT_TRUE(ed.view.undo());
    EXPECT_EQ(ed.track(), parseTrack("1 2 | 3 3 | 4 |]"));
    EXPECT_EQ(ed.view.layout().arcs().size(), 1u);
}

TEST(Clipboard, ASelectionOverTwoTracksCopiesNothing) {
    HistoryEditor ed(test::scoreOf({"1 2 |]", "3 4 |]"}));
    ed.view.caret.selectionAnchor = ed.at(0, 0, 0);
    ed.view.caret.selectionEnd = ed.at(0, 1, 1);
    EXPECT_TRUE(test::copied(ed.view).empty());
}

}  // namespace
}  // namespace qe
