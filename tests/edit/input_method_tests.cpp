#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engrave/note_element.h"
#include "engrave/measure.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::Editor;
using test::parseTrack;

TEST(InputMethod, AnAccidentalAppliesToTheNextItemOnly) {
    Editor ed(test::scoreOf({"|]"}));
    ed.type(U"s5");
    EXPECT_EQ(ed.host.status[0], u"正常");
    ed.type(U"5");
    EXPECT_EQ(ed.track(), parseTrack("#5 5 |]"));
}

TEST(InputMethod, AccidentalKeysCycleAndSwitch) {
    Editor ed(test::scoreOf({"|]"}));
    InputMethod& in = ed.view.input;
    const std::vector<std::pair<char32_t, int>> steps = {
        {U's', 1}, {U'S', 2}, {U's', 0}, {U'f', 3}, {U'F', 4}, {U'f', 0}, {U'r', 5}, {U'r', 0},
        {U's', 1}, {U'f', 3}, {U's', 1}, {U'r', 5}, {U's', 1}, {U'r', 5}, {U'f', 3}};
    for (const auto& [key, expected] : steps) {
        ed.view.onChar(key);
        EXPECT_EQ(in.accidental, expected) << static_cast<char>(key);
    }
    // A rest ignores the accidental but still clears it.
    ed.type(U"0");
    EXPECT_EQ(in.accidental, 0);
    EXPECT_EQ(ed.track(), parseTrack("0 |]"));
}

TEST(InputMethod, OctaveStopsAtThreeEachWayAndDurationKeysSet) {
    Editor ed(test::scoreOf({"|]"}));
    ed.type(U"uuuu");
    EXPECT_EQ(ed.view.input.octave, 3);
    EXPECT_EQ(ed.host.status[1], u"极高");
    ed.type(U"MMMMMMM");
    EXPECT_EQ(ed.view.input.octave, -3);
    EXPECT_EQ(ed.host.status[1], u"极低");
    ed.type(U";");
    EXPECT_EQ(ed.host.status[2], u"32分音");
    ed.type(U"l");
    EXPECT_EQ(ed.host.status[2], u"16分音");
    ed.type(U"J");
    EXPECT_EQ(ed.host.status[2], u"4分音");
}

TEST(InputMethod, EveryContentKeyMakesItsItem) {
    Editor ed(test::scoreOf({"|]"}));
    ed.type(U"k1-.vV()\r2|3[4]5\\6/7");
    EXPECT_EQ(ed.track(), parseTrack("1_ - . v v ( ) | 2_ || 3_ |: 4_ :| 5_ |. 6_ / 7_ |]"));
}

// The key guide is made from the input method's table; each meaning it prints is typed here
// and compared with what the key does. In a sequence `@` stands for the key and `<` moves the
// caret left.
TEST(InputMethod, EveryKeyDoesWhatTheKeyGuideSays) {
    const std::map<std::u16string, std::pair<std::u32string, std::string>> meant = {
        {u"do", {U"@", "1"}},
        {u"re", {U"@", "2"}},
        {u"mi", {U"@", "3"}},
        {u"fa", {U"@", "4"}},
        {u"sol", {U"@", "5"}},
        {u"la", {U"@", "6"}},
        {u"si", {U"@", "7"}},
        {u"休止符", {U"@", "0"}},
        {u"升高八度（下一个音符起）", {U"5@56", "5 5' 6'"}},
        {u"降低八度（下一个音符起）", {U"5@56", "5 5, 6,"}},
        {u"四分音符（无减时线）", {U"k5@5", "5_ 5"}},
        {u"八分音符（一条减时线）", {U"5@56", "5 5_ 6_"}},
        {u"十六分音符（两条减时线）", {U"5@5", "5 5__"}},
        {u"三十二分音符（三条减时线）", {U"5@5", "5 5___"}},
        {u"升号；再按为重升，三按取消", {U"@5@@5@@@5", "#5 x5 5"}},
        {u"降号；再按为重降，三按取消", {U"@5@@5@@@5", "b5 B5 5"}},
        {u"还原号；再按取消", {U"@5@@5", "n5 5"}},
        {u"增时线（延长一拍）", {U"5@", "5 -"}},
        {u"附点", {U"5@", "5 ."}},
        {u"换气记号", {U"5@", "5 v"}},
        {u"左括号", {U"@5", "( 5"}},
        {u"右括号", {U"5@", "5 )"}},
        {u"小节线", {U"5@6", "5 | 6"}},
        {u"双小节线", {U"5@6", "5 || 6"}},
        {u"反复开始", {U"5@6", "5 |: 6"}},
        {u"反复结束", {U"5@6", "5 :| 6"}},
        {u"虚小节线", {U"5@6", "5 |. 6"}},
        {u"隐藏小节线", {U"5@6", "5 / 6"}},
        {u"删除插入点之前的内容（在小节开头则合并两个小节）", {U"56@\r@7", "5 7"}},
        {u"删除插入点之后的内容（在小节末尾则合并两个小节）", {U"567<@<\r<@", "5 6"}},
    };
    for (const InputMethod::Key& key : InputMethod::keys()) {
        const std::u16string meaning = key.meaning;
        const auto found = meant.find(meaning);
        ASSERT_NE(found, meant.end()) << "a key whose meaning no test types";
        Editor ed(test::scoreOf({"|]"}));
        for (char32_t ch : found->second.first) {
            if (ch == U'<')
                ed.view.caretLeft();
            else
                ed.view.onChar(ch == U'@' ? key.ch : ch);
        }
        EXPECT_EQ(ed.track(), parseTrack(found->second.second + " |]"))
            << "the key " << static_cast<std::uint32_t>(key.ch);
        // Letters are printed on the guide as on the key: in upper case.
        if (key.ch >= U'a' && key.ch <= U'z') {
            EXPECT_EQ(key.keyName, std::u16string(1, static_cast<char16_t>(key.ch - U'a' + U'A')));
        }
    }
}

TEST(InputMethod, OtherCharactersChangeNothingButRefreshTheStatus) {
    Editor ed(test::scoreOf({"1 |]"}));
    const int before = ed.host.statusUpdates;
    ed.type(U"A xq");
    EXPECT_EQ(ed.host.statusUpdates, before + 4);
    EXPECT_EQ(ed.host.updates, 0);
    EXPECT_EQ(ed.track(), parseTrack("1 |]"));
}

TEST(Backspace, InFrontOfAMeasuresFirstElementMergesThePreviousMeasure) {
    Editor ed(test::scoreOf({"1 2 | 3 4 |]"}));
    ed.view.caretRight();
    ed.view.caretRight();  // end of measure 0
    ed.view.caretRight();  // before 3
    ASSERT_EQ(ed.view.caret.at, ed.at(1, 0));
    ed.type(U"\b");
    EXPECT_EQ(ed.track(), parseTrack("1 2 3 4 |]"));
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 2));  // the caret stays before the 3
}

TEST(Backspace, RemovesTheNoteWithItsAccidental) {
    // A sharp is part of its note: it goes with the note.
    Editor ed(test::scoreOf({"1 |]"}));
    ed.caretAtEnd(0);
    ed.type(U"s5");
    ASSERT_EQ(ed.measure(0)->childCount(), 3);
    ed.type(U"\b");
    EXPECT_EQ(ed.measure(0)->childCount(), 1);
    EXPECT_EQ(ed.track(), parseTrack("1 |]"));
}

TEST(Backspace, AtTheStartOfTheScoreChangesNothing) {
    Editor ed(test::scoreOf({"1 2 |]"}));
    ed.type(U"\b");
    EXPECT_EQ(ed.history().stepCount(), 0u);
    EXPECT_EQ(ed.track(), parseTrack("1 2 |]"));
}

TEST(Backspace, TakesTheSharpNoteWholeAndLeavesTheNextNoteAsItWas) {
    // The sharp of a deleted note never passes to the note after it.
    Editor ed(test::scoreOf({"#1 2 3 |"}));
    ed.caretAt(0, 2);  // in front of the 2
    ed.type(U"\b");
    EXPECT_EQ(ed.track(), parseTrack("2 3 |"));
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 0));
}

TEST(Backspace, BetweenASharpAndItsDigitTakesTheSharpOnly) {
    Editor ed(test::scoreOf({"1 #2 3 |"}));
    ed.caretAt(0, 2);  // between the sharp and its 2
    ed.type(U"\b");
    EXPECT_EQ(ed.track(), parseTrack("1 2 3 |"));
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 1));
}

TEST(Backspace, AtTheEndOfAnEmptyMeasureRemovesTheBarLineBefore) {
    Editor ed(test::scoreOf({"1 | |]"}));
    ed.caretAtEnd(1);
    ed.type(U"\b");
    EXPECT_EQ(ed.track(), parseTrack("1 |]"));
    EXPECT_EQ(ed.view.caret.at, ed.end(0));
}

}  // namespace
}  // namespace qe
