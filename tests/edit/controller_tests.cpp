#include <gtest/gtest.h>

#include "base/exception.h"
#include "engrave/measure.h"
#include "engrave/note_element.h"
#include "edit/input_status.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::Editor;
using test::parseTrack;

// The centre of a position in the current root's frame, for clicking on it.
Point centreOf(ScoreEditor& view, const Position& at) {
    const Rect r = view.positionRect(at);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Presses on one position and releases on another, as a drag does.
void drag(Editor& ed, const Position& from, const Position& to) {
    ed.view.beginSelection(centreOf(ed.view, from));
    ed.view.extendSelection(centreOf(ed.view, to));
    ed.view.endSelection(centreOf(ed.view, to));
}

TEST(CaretMoves, StopAtTheEndsOfTheScore) {
    Editor ed(test::scoreOf({"1 2 | 3 |"}));
    ASSERT_EQ(ed.view.caret.at, ed.at(0, 0));
    ed.view.caretLeft();
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 0));
    for (int i = 0; i < 10; ++i)
        ed.view.caretRight();
    EXPECT_EQ(ed.view.caret.at, ed.end(1));
}

TEST(CaretMoves, AcrossABarLineStopAtTheMeasureEnd) {
    Editor ed(test::scoreOf({"1 2 | 3 |"}));
    ed.caretAt(1, 0);
    ed.view.caretLeft();
    EXPECT_EQ(ed.view.caret.at, ed.end(0));  // the end of the previous measure
    ed.view.caretLeft();
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 1));
    ed.caretAtEnd(0);
    ed.view.caretRight();
    EXPECT_EQ(ed.view.caret.at, ed.at(1, 0));
}

TEST(CaretMoves, AnEmptyMeasureIsItselfACaretPosition) {
    Editor ed(test::scoreOf({"1 | | 2 |"}));
    ed.caretAtEnd(0);
    ed.view.caretRight();
    EXPECT_EQ(ed.view.caret.at, ed.end(1));
    ed.view.caretLeft();
    EXPECT_EQ(ed.view.caret.at, ed.end(0));
}

TEST(CaretRect, IsAZeroWidthStripThroughTheMeasureInBothModes) {
    for (int mode : {ScoreEditor::kScrollMode, ScoreEditor::kPageMode}) {
        Editor ed(test::scoreOf({"1 2 |"}), mode);
        ed.caretAt(0, 1);
        ed.view.updateCaretRect();
        const Rect element = ed.view.positionRect(ed.at(0, 1));
        EXPECT_EQ(ed.view.caret.left, element.left) << mode;
        EXPECT_EQ(ed.view.caret.right, element.left) << mode;
        EXPECT_EQ(ed.view.caret.top - ed.view.caret.bottom, 720) << mode;
        ed.view.placeSystemCaret();
        EXPECT_TRUE(ed.host.caretShown);
    }
}

TEST(Selection, APlainClickIsAnEmptySelectionThatMakesNoTie) {
    Editor ed(test::scoreOf({"1 2 3 |"}));
    const Point p = centreOf(ed.view, ed.at(0, 1));
    ed.view.beginSelection(p);
    EXPECT_TRUE(ed.host.captured);
    ed.view.endSelection(p);
    EXPECT_FALSE(ed.host.captured);
    EXPECT_TRUE(ed.view.caret.selectionShown);
    ASSERT_FALSE(ed.host.inversions.empty());
    EXPECT_TRUE(ed.host.inversions.back().empty());
    ed.view.notes().addTie();
    ed.view.notes().addVolta(u"1");
    EXPECT_TRUE(ed.score().ties().empty());
    EXPECT_TRUE(ed.score().voltas().empty());
}

TEST(Selection, TieRunsToTheElementBeforeTheDragEndAndToggles) {
    Editor ed(test::scoreOf({"1 2 3 |"}));
    drag(ed, ed.at(0, 0), ed.at(0, 2));
    // The highlight covers the first two notes, not the end position.
    ASSERT_EQ(ed.host.inversions.back().size(), 2u);
    ed.view.notes().addTie();
    ASSERT_EQ(ed.score().ties().size(), 1u);
    EXPECT_EQ(ed.score().ties()[0].to, (music::EntryRef{0, 1}));
    ASSERT_EQ(ed.view.layout().arcs().size(), 1u);
    EXPECT_EQ(ed.view.layout().arcs()[0].to, ed.element(0, 1));
    ed.view.notes().addTie();
    EXPECT_TRUE(ed.score().ties().empty());
}

TEST(Selection, ASharpAndItsOwnNoteMakeNoTie) {
    Editor ed(test::scoreOf({"#1 2 |"}));
    drag(ed, ed.at(0, 0), ed.at(0, 2));  // over the sharp and its digit
    ed.view.notes().addTie();
    EXPECT_TRUE(ed.score().ties().empty());
}

TEST(Selection, TheCaretFollowsTheItemItStandsBeforeWhenNotesBeforeItGo) {
    Editor ed(test::scoreOf({"1 2 3 |"}));
    ed.caretAt(0, 2);
    ed.type(U"");
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 0));
    EXPECT_EQ(ed.track(), parseTrack("3 |"));
    // At the start of the score there is nothing before the caret to delete.
    ed.type(U"");
    EXPECT_EQ(ed.track(), parseTrack("3 |"));
    EXPECT_TRUE(ed.view.caret.valid());
}

TEST(Selection, ADragEndingBeforeAMeasuresFirstNoteMakesNoTie) {
    Editor ed(test::scoreOf({"1 2 | 3 |"}));
    drag(ed, ed.at(0, 0), ed.at(1, 0));
    ed.view.notes().addTie();
    EXPECT_TRUE(ed.score().ties().empty());
}

TEST(Selection, DraggingBackwardsOrdersTheEnds) {
    Editor ed(test::scoreOf({"1 2 3 |"}));
    drag(ed, ed.at(0, 2), ed.at(0, 0));
    ed.view.notes().addTie();
    ASSERT_EQ(ed.score().ties().size(), 1u);
    EXPECT_EQ(ed.score().ties()[0].from, (music::EntryRef{0, 0}));
}

TEST(Selection, VoltaOverTheSelectedMeasuresToggles) {
    Editor ed(test::scoreOf({"1 | 2 | 3 |"}));
    drag(ed, ed.at(0, 0), ed.at(2, 0));
    ed.view.notes().addVolta(u"1.");
    ASSERT_EQ(ed.score().voltas().size(), 1u);
    EXPECT_EQ(ed.score().voltas()[0].from, 0);
    EXPECT_EQ(ed.score().voltas()[0].to, 1);
    EXPECT_EQ(ed.score().voltas()[0].label, u"1.");
    ASSERT_EQ(ed.view.layout().voltas().size(), 1u);
    EXPECT_EQ(ed.view.layout().voltas()[0].to, ed.measure(1));
    ed.view.notes().addVolta(u"1.");
    EXPECT_TRUE(ed.score().voltas().empty());
}

TEST(Selection, FromOneTrackToAnotherMakesNeitherTieNorBracket) {
    Editor ed(test::scoreOf({"1 2 3 | 4 |", "5 6 7 | 1 |"}));
    drag(ed, ed.at(0, 0, 1), ed.at(1, 0, 0));
    ed.view.notes().addTie();
    ed.view.notes().addVolta(u"1");
    drag(ed, ed.at(0, 0, 0), ed.at(0, 2, 1));
    ed.view.notes().addTie();
    ed.view.notes().addVolta(u"1");
    EXPECT_TRUE(ed.score().ties().empty());
    EXPECT_TRUE(ed.score().voltas().empty());
    ed.view.relayout();  // the score still lays out
}

TEST(Selection, TypingRemovesTheHighlightFirst) {
    Editor ed(test::scoreOf({"1 2 3 |"}));
    const Position anchor = ed.at(0, 0);
    drag(ed, anchor, ed.at(0, 2));
    const std::size_t inversions = ed.host.inversions.size();
    ed.type(U"5");
    EXPECT_FALSE(ed.view.caret.selectionShown);
    EXPECT_EQ(ed.host.inversions.size(), inversions + 1);
    EXPECT_EQ(ed.view.caret.selectionAnchor, anchor);  // the selection's ends stay
}

TEST(Selection, AnEndThatNoLongerNamesAPlaceSelectsNothing) {
    Editor ed(test::scoreOf({"1 2 3 |"}));
    drag(ed, ed.at(0, 0), ed.at(0, 3));  // from the first note to the measure's end
    ed.caretAtEnd(0);
    ed.type(U"");  // the end now stands at entry 0: the drag's end names nothing
    EXPECT_TRUE(ed.view.selectionRegion().empty());
    EXPECT_TRUE(test::copied(ed.view).empty());
    ed.view.notes().addTie();
    EXPECT_TRUE(ed.score().ties().empty());
}

TEST(Typing, WithTheCaretInvalidNothingChangesNotEvenTheStatus) {
    Editor ed(test::scoreOf({"1 |"}));
    ed.view.moveCaretTo({-5000, 5000});
    EXPECT_FALSE(ed.view.caret.valid());
    ed.type(U"5");
    EXPECT_EQ(ed.host.statusUpdates, 0);
    EXPECT_EQ(ed.track(), parseTrack("1 |"));
}

TEST(Typing, AMeasureTooWideForALineWarnsOnceAndIsSqueezedIntoIt) {
    Editor ed(test::scoreOf({"|]"}));
    // Sixty quarters do not fit a line even with their digits touching.
    ed.type(std::u32string(60, U'5'));
    ASSERT_EQ(ed.host.warnings.size(), 1u);
    EXPECT_EQ(ed.host.warnings[0],
              u"警告: "
              u"单个小节不能换行，当前小节已无法再添加内容。\r\n如果是散板，请使用虚小节线或隐藏小"
              u"节线。");
    // Every note went in, and the pages show them: the measure fills its line.
    EXPECT_EQ(ed.measure(0)->childCount(), 60);
    PageView& pages = *ed.view.layout().pages();
    ASSERT_EQ(pages.childCount(), 1);
    EXPECT_EQ(pages.overwide, std::vector<int>{0});
    const Node* line = pages.page(0)->child(0);
    EXPECT_LE(line->style.x + line->style.width, pages.pageWidth - pages.marginRight);
    // More notes in the same measure do not warn again; taking them out ends the squeeze.
    ed.type(U"55");
    EXPECT_EQ(ed.host.warnings.size(), 1u);
    ed.type(std::u32string(40, U'\b'));
    EXPECT_TRUE(pages.overwide.empty());
}

TEST(Modes, SwitchingShowsTheSameScoreAndPutsTheCaretAtTheStart) {
    Editor ed(test::scoreOf({"1 2 |"}));
    ed.type(U"3");
    ed.view.setMode(ScoreEditor::kScrollMode);
    ed.view.relayout();
    EXPECT_EQ(ed.track(), parseTrack("3 1 2 |"));
    EXPECT_EQ(ed.view.layout().tracks().childCount(), 1);
    EXPECT_EQ(ed.view.layout().pages(), nullptr);
    EXPECT_TRUE(ed.view.caret.valid());
    EXPECT_EQ(ed.view.caret.at, ed.at(0, 0));
    ed.type(U"4");
    ed.view.setMode(ScoreEditor::kPageMode);
    ed.view.relayout();
    EXPECT_EQ(ed.track(), parseTrack("4 3 1 2 |"));
    EXPECT_GT(ed.view.layout().pages()->childCount(), 0);
}

TEST(Painting, PagesAndTheWholeViewDrawWithoutThrowing) {
    Editor ed(test::scoreOf({"1 2 |"}));
    RecordingSurface all(0, 0, -100000, 100000, 100000, -100000, false);
    ed.view.paintAll(all);
    EXPECT_FALSE(all.callsOf("drawText").empty());
    RecordingSurface page(0, 0, 0, 0, 11906, -16838, true);
    ed.view.paintPage(page, 0);
    EXPECT_FALSE(page.callsOf("drawText").empty());
    RecordingSurface none;
    ed.view.paintPage(none, 5);
    EXPECT_TRUE(none.calls.empty());
}

TEST(StatusTexts, NumbersOutsideTheTables) {
    EXPECT_EQ(octaveText(4), u"4");
    EXPECT_EQ(durationText(3), u"32分音");
    EXPECT_EQ(accidentalText(5), u"还原");
}

}  // namespace
}  // namespace qe
