#include <gtest/gtest.h>

#include "engrave/measure.h"
#include "engrave/note_element.h"
#include "records/memory_io.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::Editor;
using test::parseTrack;

TEST(BarLineInsert, AtTheEndOfAMeasureMovesItAllIntoTheNewMeasure) {
    Editor ed(test::scoreOf({"1 2 |]"}));
    ed.caretAtEnd(0);
    ed.type(U"\r");
    ASSERT_EQ(ed.tracks().child(0)->childCount(), 2);
    EXPECT_EQ(ed.measure(0)->childCount(), 2);
    EXPECT_EQ(static_cast<Measure*>(ed.measure(0))->barType, 0);
    EXPECT_EQ(ed.measure(1)->childCount(), 0);
    EXPECT_EQ(ed.view.caret.at, ed.end(1));  // at the end of the old, now empty, measure
    EXPECT_EQ(ed.track(), parseTrack("1 2 | |]"));
}

TEST(BarLineInsert, InFrontOfTheFirstElementMakesAnEmptyMeasure) {
    Editor ed(test::scoreOf({"1 2 |]"}));
    ed.type(U"|");
    EXPECT_EQ(ed.track(), parseTrack("|| 1 2 |]"));
    EXPECT_EQ(ed.view.caret.at, ed.at(1, 0));
}

TEST(BarLineInsert, InTheMiddleSplitsAtTheCaret) {
    Editor ed(test::scoreOf({"1 2 3 |"}));
    ed.view.caretRight();
    ed.type(U"[");
    EXPECT_EQ(ed.track(), parseTrack("1 |: 2 3 |"));
}

TEST(ShapeEdits, DeletingANoteRemovesItsTie) {
    QeDocument doc = test::scoreOf({"1 2 3 |"});
    test::addFormat(doc, 1, 0, 0, 1);
    test::addFormat(doc, 1, 0, 1, 2);
    Editor ed(doc);
    ed.caretAt(0, 2);
    ed.type(U"\b");  // deletes the 2, which carries both ties
    EXPECT_TRUE(ed.view.layout().arcs().empty());
    EXPECT_TRUE(ed.committed().formatRecords().empty());
}

TEST(ShapeEdits, DeletingASharpNoteTakesItsTieAndLeavesTheNextNoteAlone) {
    // Given a tie stored from the sharp note to the note after it
    QeDocument doc = test::scoreOf({"#1 2 3 |"});
    test::addFormat(doc, 1, 0, 0, 1);
    Editor ed(doc);
    ASSERT_EQ(ed.view.layout().arcs().size(), 1u);
    // When the sharp note is deleted
    ed.caretAt(0, 2);
    ed.type(U"\b");
    // Then it goes whole, with its tie; the 2 keeps no sharp.
    EXPECT_TRUE(ed.score().ties().empty());
    EXPECT_TRUE(ed.view.layout().arcs().empty());
    EXPECT_EQ(ed.track(), parseTrack("2 3 |"));
    EXPECT_TRUE(ed.committed().formatRecords().empty());
}

TEST(ShapeEdits, DeletingAMeasureLeavesNoBracketOnItWhateverTheOrderOfEdits) {
    QeDocument doc = test::scoreOf({"1 | 2 | 3 |"});
    test::addFormat(doc, 4, 0, 1, 3);  // bracket over measures 0-1
    Editor ed(doc);
    // Deleting the measure's content and then its bar line, with the caret kept on it.
    ed.caretAtEnd(1);
    ed.type(U"\b\b\b");
    EXPECT_TRUE(ed.score().voltas().empty());
    for (const VoltaBracket& jump : ed.view.layout().voltas())
        EXPECT_TRUE(jump.anchored());
    ed.view.relayout();
    EXPECT_TRUE(ed.committed().formatRecords().empty());
}

TEST(ShapeEdits, MergingDropsBracketsAtTheRemovedMeasureAndKeepsTies) {
    QeDocument doc = test::scoreOf({"1 | 2 | 3 |"});
    test::addFormat(doc, 4, 0, 1, 3);  // bracket over measures 0-1
    test::addFormat(doc, 4, 0, 3, 5);  // bracket over measures 1-2
    test::addFormat(doc, 1, 0, 0, 2);  // tie 1 -> 2 across the first bar line
    Editor ed(doc);
    ed.caretAt(1, 0);
    ed.type(U"\b");  // removes the first bar line
    ASSERT_EQ(ed.view.layout().voltas().size(), 1u);
    EXPECT_EQ(ed.view.layout().voltas()[0].from, ed.measure(0));
    ASSERT_EQ(ed.view.layout().arcs().size(), 1u);
    const auto& formats = ed.committed().formatRecords();
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0].type, 1);
    EXPECT_EQ(formats[0].from.itemIndex, 0);
    EXPECT_EQ(formats[0].to.itemIndex, 1);
    EXPECT_EQ(formats[1].type, 4);
    EXPECT_EQ(formats[1].from.itemIndex, 2);
    EXPECT_EQ(formats[1].to.itemIndex, 4);
}

TEST(ShapeEdits, ToggleTwiceLeavesTheListAsItWas) {
    Editor ed(test::scoreOf({"1 2 |"}));
    const music::Tie tie{0, {0, 0}, {0, 1}};
    Edits edits = ed.view.edits();
    toggleTie(edits, tie);
    EXPECT_EQ(ed.score().ties().size(), 1u);
    toggleTie(edits, tie);
    EXPECT_TRUE(ed.score().ties().empty());
    const music::Volta volta{0, 0, 0, u"1."};
    toggleVolta(edits, volta);
    toggleVolta(edits, music::Volta{0, 0, 0, u"2."});  // the same measures, whatever the label
    EXPECT_TRUE(ed.score().voltas().empty());
}

TEST(Commit, WritesArcsThenVoltasAndRenumbersEveryLocation) {
    Editor ed(test::scoreOf({"1 #2 | 3 |", "5 | 6 |"}));
    Edits edits = ed.view.edits();
    toggleVolta(edits, {0, 0, 1, u"1"});
    toggleTie(edits, {0, {0, 0}, {0, 1}});
    toggleVolta(edits, {1, 0, 1, u"2"});
    toggleTie(edits, {1, {0, 0}, {1, 0}});
    toggleVolta(edits, {0, 1, 1, u"3"});
    const auto& formats = ed.committed().formatRecords();
    std::vector<int> types;
    for (const Format& r : formats)
        types.push_back(r.type);
    EXPECT_EQ(types, (std::vector<int>{1, 1, 4, 4, 4}));
    // Accidentals share their digit's index; bar lines count.
    EXPECT_EQ(formats[0].to.itemIndex, 1);
    EXPECT_EQ(formats[1].from.trackIndex, 1);
    EXPECT_EQ(formats[1].to.itemIndex, 2);
    EXPECT_EQ(formats[2].from.itemIndex, 2);
    EXPECT_EQ(formats[2].to.itemIndex, 4);
    EXPECT_EQ(formats[4].from.itemIndex, 4);
}

TEST(Commit, ATieFromAnAccidentalIsWrittenAtItsNotesNewPlace) {
    Editor ed(test::scoreOf({"1 #2 3 |"}));
    ed.caretAt(0, 0);
    ed.type(U"55");  // both items move one place on: the sharp's stored place is stale
    Edits edits = ed.view.edits();
    toggleTie(edits, {0, {0, 3}, {0, 4}});
    const auto& formats = ed.committed().formatRecords();
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].from.itemIndex, 3);  // 5 5 1 #2: the sharp shares the 2's index
    EXPECT_EQ(formats[0].to.itemIndex, 4);
}

TEST(Commit, ATieRestsOnItsNoteNotOnTheSharpInFrontOfIt) {
    // A tie stored on a note with a sharp is anchored on the note itself: deleting the note
    // takes the tie with it, and a bar line between the sharp and the note leaves the tie on
    // the note (the sharp, cut off from its note, is not kept).
    for (const std::u32string& keys : {std::u32string(U"\b"), std::u32string(U"\r")}) {
        QeDocument doc = test::scoreOf({"#1 | 2 |"});
        test::addFormat(doc, 1, 0, 0, 2);  // from the sharp 1 to the 2
        Editor ed(doc);
        ASSERT_EQ(ed.view.layout().arcs().size(), 1u);
        EXPECT_EQ(ed.view.layout().arcs()[0].from, ed.element(0, 1));
        if (keys == U"\b")
            ed.caretAtEnd(0);
        else
            ed.caretAt(0, 1);
        ed.type(keys);
        const auto& formats = ed.committed().formatRecords();
        if (keys == U"\b") {
            EXPECT_TRUE(formats.empty());
        } else {
            EXPECT_EQ(ed.track(), parseTrack("| 1 | 2 |"));
            ASSERT_EQ(formats.size(), 1u);
            EXPECT_EQ(formats[0].from.itemIndex, 1);
            EXPECT_EQ(formats[0].to.itemIndex, 3);
        }
        Editor reopened(ed.committed());
        EXPECT_EQ(reopened.report.droppedShapes, 0);
    }
}

TEST(Commit, SavedAndReloadedScoreHasTheSameContent) {
    Editor ed(test::scoreOf({"|]"}));
    ed.type(U"k1s2m3.-\r;uu4v(5)/J0\\");
    QeDocument& doc = ed.committed();
    MemoryIO io;
    doc.serialize(io, true);
    io.rewind();
    QeDocument loaded;
    loaded.serialize(io, false);
    EXPECT_EQ(loaded.noteTracks()[0].content.items,
              parseTrack("1_ #2_ 3_, . - | 4'___ v ( 5'___ ) / 0 |. |]"));
}

}  // namespace
}  // namespace qe
