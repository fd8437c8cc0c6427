#include <gtest/gtest.h>

#include "engrave/linear_view.h"
#include "engrave/page_view.h"
#include "music/score_records.h"
#include "records/memory_io.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::Editor;

// The file a save writes, read back as opening it would.
QeDocument throughAFile(const QeDocument& doc) {
    QeDocument saved = doc;
    MemoryIO out;
    saved.serialize(out, true);
    MemoryIO in(out.bytes());
    QeDocument loaded;
    loaded.serialize(in, false);
    return loaded;
}

std::vector<std::u16string> labels(const music::Score& score) {
    std::vector<std::u16string> out;
    for (const music::Volta& v : score.voltas())
        out.push_back(v.label);
    return out;
}

// A volta's label was lost on save: every bracket came back as "1". It is stored now.
TEST(VoltaLabels, SurviveASaveUndoAndRedoAndAreDrawn) {
    Editor ed(test::scoreWithShapes({"1~ 1 2 | 3 4 5 | 6 7 1 | 2 3 4 |]"}));
    const auto selectMeasure = [&](int m) {
        ed.view.setCaret(ed.at(m, 0));
        ed.view.moveCaret(ScoreEditor::Move::Right, true);
        ed.view.moveCaret(ScoreEditor::Move::Right, true);
        ed.view.moveCaret(ScoreEditor::Move::Right, true);
    };
    selectMeasure(1);
    ASSERT_TRUE(ed.view.notes().addVolta(u"1."));
    selectMeasure(2);
    ASSERT_TRUE(ed.view.notes().addVolta(u"2."));
    EXPECT_EQ(labels(ed.score()), (std::vector<std::u16string>{u"1.", u"2."}));

    const QeDocument saved = throughAFile(ed.committed());
    Editor reopened(saved);
    EXPECT_EQ(labels(reopened.score()), (std::vector<std::u16string>{u"1.", u"2."}));
    // Drawn with its label in both modes.
    for (int mode : {ScoreEditor::kPageMode, ScoreEditor::kScrollMode}) {
        reopened.view.setMode(mode);
        reopened.view.relayout();
        const std::vector<VoltaBracket>& drawn = mode == ScoreEditor::kPageMode
                                                     ? reopened.view.layout().pages()->voltas
                                                     : reopened.view.layout().tracks().voltas;
        ASSERT_EQ(drawn.size(), 2u) << mode;
        EXPECT_EQ(drawn[0].label, u"1.");
        EXPECT_EQ(drawn[1].label, u"2.");
    }
    // Undo and redo give the labels back with their brackets.
    ed.view.undo();
    EXPECT_EQ(labels(ed.score()), (std::vector<std::u16string>{u"1."}));
    ed.view.redo();
    EXPECT_EQ(labels(ed.score()), (std::vector<std::u16string>{u"1.", u"2."}));
}

TEST(VoltaLabels, OnlyLabelsOtherThanOneAreStoredAndUnknownEntriesAreKept) {
    QeDocument doc = test::scoreWithShapes({"1 2 | { 3 4 | } 5 6 |]"});
    const QeDocument plain = throughAFile(doc);
    auto score = test::scoreFrom(plain);
    EXPECT_EQ(labels(*score), (std::vector<std::u16string>{u"1"}));
    EXPECT_TRUE(music::recordsOfScore(*score).header.extension.empty());
    // An entry of a later version rides along untouched.
    doc.header.extension.push_back({900, {7, 7}});
    auto later = test::scoreFrom(throughAFile(doc));
    const QeDocument again = music::recordsOfScore(*later);
    ASSERT_EQ(again.header.extension.size(), 1u);
    EXPECT_EQ(again.header.extension[0], (ExtensionEntry{900, {7, 7}}));
    EXPECT_TRUE(later->header().extension.empty()) << "the title block holds only its fields";
}

}  // namespace
}  // namespace qe
