#include <gtest/gtest.h>

#include <set>

#include "edit/fragment.h"
#include "edit/input_method.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using Move = ScoreEditor::Move;
using test::Editor;
using test::parseTrack;

// Enough measures of four notes for several lines of a page.
std::string measures(int count, const std::string& each = "1 2 3 4") {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += each + " | ";
    return text;
}

TEST(Navigation, HomeAndEndGoToTheEndsOfTheCaretsLine) {
    Editor ed(test::scoreOf({measures(40)}));
    ed.caretAt(0, 2);
    ed.view.moveCaret(Move::LineEnd, false);
    const Position lineEnd = *ed.view.caret.at;
    EXPECT_EQ(lineEnd.entry, 4) << "the end of a measure";
    EXPECT_GT(lineEnd.measure, 0);
    EXPECT_LT(lineEnd.measure, 39) << "a page line holds a part of the score";
    // The next stop right is on the next line, whose Home is that same measure start.
    ed.view.moveCaret(Move::Right, false);
    const Position nextStart = *ed.view.caret.at;
    EXPECT_EQ(nextStart, ed.at(lineEnd.measure + 1, 0));
    ed.view.moveCaret(Move::Right, false);
    ed.view.moveCaret(Move::LineStart, false);
    EXPECT_EQ(ed.view.caret.at, nextStart);
    ed.view.moveCaret(Move::ScoreEnd, false);
    EXPECT_EQ(ed.view.caret.at, ed.end(39));
    ed.view.moveCaret(Move::ScoreStart, false);
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 0));
    // In scroll mode the track is one line.
    Editor strip(test::scoreOf({measures(40)}), ScoreEditor::kScrollMode);
    strip.caretAt(7, 1);
    strip.view.moveCaret(Move::LineEnd, false);
    EXPECT_EQ(strip.view.caret.at, strip.end(39));
    strip.view.moveCaret(Move::LineStart, false);
    EXPECT_EQ(strip.view.caret.at, strip.at(0, 0));
}

TEST(Navigation, UpAndDownKeepTheHorizontalPlace) {
    Editor ed(test::scoreOf({measures(40)}));
    ed.caretAt(1, 2);
    const int x = ed.view.caret.left;
    const int top = ed.view.caret.top;
    ed.view.moveCaret(Move::LineDown, false);
    const Position below = *ed.view.caret.at;
    EXPECT_GT(below.measure, 1);
    EXPECT_LT(ed.view.caret.top, top) << "lower on the page";
    EXPECT_LE(std::abs(ed.view.caret.left - x), 400) << "about above one another";
    ed.view.moveCaret(Move::LineUp, false);
    EXPECT_EQ(ed.view.caret.at, ed.at(1, 2));
    // At the first line Up goes to its start, at the last line Down to its end.
    ed.view.moveCaret(Move::LineUp, false);
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 0));
    ed.view.moveCaret(Move::ScoreEnd, false);
    ed.view.moveCaret(Move::LineDown, false);
    EXPECT_EQ(ed.view.caret.at, ed.end(39));
}

TEST(Navigation, UpAndDownCrossTheTracksOfASystemThenSystems) {
    Editor ed(test::scoreOf({measures(30), measures(30, "5 6 7 1")}));
    ed.caretAt(0, 1, 0);
    ed.view.moveCaret(Move::LineDown, false);
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 1, 1)) << "the second track of the same system";
    ed.view.moveCaret(Move::LineDown, false);
    EXPECT_EQ(ed.view.caret.at->track, 0) << "the first track of the next system";
    EXPECT_GT(ed.view.caret.at->measure, 0);
    // Extending a selection stays in the caret's track.
    ed.caretAt(0, 1, 0);
    ed.view.moveCaret(Move::LineDown, true);
    EXPECT_EQ(ed.view.caret.at->track, 0);
    ASSERT_TRUE(ed.view.selection());
    EXPECT_EQ(ed.view.selection()->first, ed.at(0, 1, 0));
}

TEST(Navigation, PageDownMovesAboutAWindowHeight) {
    Editor ed(test::scoreOf({measures(200)}));
    ed.caretAt(0, 0);
    const int top = ed.view.caret.top;
    ed.view.moveCaret(Move::PageDown, false, 10000);
    const int moved = top - ed.view.caret.top;
    EXPECT_GT(moved, 7000);
    EXPECT_LT(moved, 13000);
    ed.view.moveCaret(Move::PageUp, false, 10000);
    EXPECT_EQ(ed.view.caret.top, top);
    // A window lower than a line still moves a line.
    ed.view.moveCaret(Move::PageDown, false, 10);
    EXPECT_LT(ed.view.caret.top, top);
}

TEST(Selection, ShiftMovesSelectFromTheCaretAndServeCutAndCopy) {
    Editor ed(test::scoreOf({"1 2 3 | 4 5 6 |"}));
    ed.caretAt(0, 1);
    ed.view.moveCaret(Move::Right, true);
    ed.view.moveCaret(Move::Right, true);
    ASSERT_TRUE(ed.view.hasSelection());
    EXPECT_EQ(toJianpuText(test::copied(ed.view)), "2 3");
    ed.view.moveCaret(Move::Left, true);
    EXPECT_EQ(toJianpuText(test::copied(ed.view)), "2");
    // A plain move drops it.
    ed.view.moveCaret(Move::Right, false);
    EXPECT_FALSE(ed.view.hasSelection());
    // Shift+End then cut.
    ed.caretAt(1, 0);
    ed.view.moveCaret(Move::LineEnd, true);
    EXPECT_FALSE(test::cutOut(ed.view).empty());
    EXPECT_EQ(ed.track(), parseTrack("1 2 3 | |"));
    ed.view.undo();
    EXPECT_EQ(ed.track(), parseTrack("1 2 3 | 4 5 6 |"));
}

TEST(Selection, SelectAllTakesTheCaretsTrack) {
    Editor ed(test::scoreOf({"1 2 | 3 4 |", "5 6 | 7 1 |"}));
    ed.caretAt(1, 0, 1);
    ed.view.selectAll();
    ASSERT_TRUE(ed.view.hasSelection());
    EXPECT_EQ(toJianpuText(test::copied(ed.view)), "5 6 | 7 1");
    EXPECT_TRUE(ed.view.deleteSelection());
    EXPECT_EQ(ed.track(1), parseTrack("|"));
    EXPECT_EQ(ed.track(0), parseTrack("1 2 | 3 4 |"));
}

TEST(Selection, ADragBegunOnANoteIncludesItEitherWay) {
    Editor ed(test::scoreOf({"1 2 #3 4 5 |"}));
    const auto centre = [&](const Position& at) {
        const Rect r = ed.view.positionRect(at);
        return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    // Forwards from 2 to 4: 2 and ♯3.
    ed.view.beginSelection(centre(ed.at(0, 1)));
    ed.view.endSelection(centre(ed.at(0, 4)));
    EXPECT_EQ(toJianpuText(test::copied(ed.view)), "2 #3");
    // Backwards from 4 to 2: 2, ♯3 and the 4 the drag began on.
    ed.view.beginSelection(centre(ed.at(0, 4)));
    ed.view.extendSelection(centre(ed.at(0, 0)));
    ed.view.endSelection(centre(ed.at(0, 1)));
    EXPECT_EQ(toJianpuText(test::copied(ed.view)), "2 #3 4");
    // A shift-click extends from the caret.
    ed.view.beginSelection(centre(ed.at(0, 0)));
    ed.view.endSelection(centre(ed.at(0, 0)));
    ed.view.moveCaretTo(centre(ed.at(0, 0)));
    ed.view.extendSelectionTo(centre(ed.at(0, 2)));
    EXPECT_EQ(toJianpuText(test::copied(ed.view)), "1 2");
}

TEST(Clicks, BesideALinePutTheCaretAtItsNearestEnd) {
    Editor ed(test::scoreOf({measures(40)}));
    ed.caretAt(0, 0);
    ed.view.moveCaret(Move::LineDown, false);
    ed.view.moveCaret(Move::LineStart, false);
    const Position secondLine = *ed.view.caret.at;
    const Rect first = ed.view.positionRect(secondLine);
    const int y = (first.top + first.bottom) / 2;
    ed.view.setCaret(ed.at(0, 0));
    ed.view.moveCaretTo({first.left - 600, y});  // in the page margin
    EXPECT_EQ(ed.view.caret.at, secondLine);
    ed.view.moveCaret(Move::LineEnd, false);
    const Position lineEnd = *ed.view.caret.at;
    ed.view.setCaret(ed.at(0, 0));
    ed.view.moveCaretTo({ed.view.layout().root().style.width - 10, y});  // right of the line
    EXPECT_EQ(ed.view.caret.at, lineEnd);
}

TEST(Delete, RemovesWhatStandsAfterTheCaretByBackspacesRules) {
    Editor ed(test::scoreOf({"1 #2 3 | 4 5 |"}));
    ed.caretAt(0, 1);  // before ♯2
    ed.type(U"\x7f");
    EXPECT_EQ(ed.track(), parseTrack("1 3 | 4 5 |")) << "a note goes with its accidental";
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 1));
    ed.view.undo();
    ed.view.setCaret(ed.at(0, 2));  // between ♯ and 2
    ASSERT_TRUE(ed.view.caret.at->inner);
    ed.type(U"\x7f");
    EXPECT_EQ(ed.track(), parseTrack("1 3 | 4 5 |")) << "from inside, the whole note";
    ed.caretAtEnd(0);
    ed.type(U"\x7f");
    EXPECT_EQ(ed.track(), parseTrack("1 3 4 5 |")) << "at a bar line the measures merge";
    ed.caretAtEnd(0);
    ed.type(U"\x7f");
    EXPECT_EQ(ed.track(), parseTrack("1 3 4 5 |")) << "nothing after the last measure";
    ed.view.undo();
    EXPECT_EQ(ed.track(), parseTrack("1 3 | 4 5 |"));
}

TEST(InputMethod, TheKeyTableIsEveryKeyTheInputMethodTakes) {
    std::set<char32_t> listed;
    for (const InputMethod::Key& key : InputMethod::keys()) {
        EXPECT_TRUE(listed.insert(key.ch).second) << "listed twice: " << int(key.ch);
        EXPECT_EQ(InputMethod::keyOf(key.ch), &key);
    }
    for (char32_t ch = 1; ch < 128; ++ch) {
        Editor ed(test::scoreOf({"1 2 | 3 4 |"}));
        ed.caretAt(0, 1);
        const InputMethod before = ed.view.input;
        ed.view.onChar(ch);
        const bool acted = ed.track() != parseTrack("1 2 | 3 4 |") ||
                           ed.view.input.accidental != before.accidental ||
                           ed.view.input.octave != before.octave ||
                           ed.view.input.duration != before.duration;
        const char32_t lower = ch >= U'A' && ch <= U'Z' ? ch + 32 : ch;
        // j is the quarter a new editor types already: it changes nothing here, but is a key.
        EXPECT_EQ(acted || lower == U'j', listed.count(lower) == 1) << "key " << int(ch);
    }
}

}  // namespace
}  // namespace qe
