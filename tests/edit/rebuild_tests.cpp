#include <gtest/gtest.h>

#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::Editor;
using test::parseTrack;

// A second view on the same document: it edits, writes back, and the first rebuilds from the
// document, as the window does when two windows show one score.
struct TwoViews {
    explicit TwoViews(QanorDoc d) : first(std::move(d)) {
        second.host.view = &second.view;
        second.view.attachDocument(&first.doc);
        second.view.relayout();
    }
    struct Other {
        test::FakeHost host;
        QanorView view{&host};
    };
    Editor first;
    Other second;
};

TEST(RebuildFromDocument, TakesWhatAnotherViewWroteBack) {
    TwoViews views(test::scoreOf({"1 2 | 3 |"}));
    views.second.view.caretRight();
    views.second.view.onChar(U'5');
    views.second.view.operations->commitToDocument(views.second.view.editTree());
    views.first.view.rebuildFromDocument();
    EXPECT_EQ(views.first.track(), parseTrack("1 5 2 | 3 |"));
    // Both views now edit the same score: nothing of either is lost.
    views.first.type(U"7");
    EXPECT_EQ(views.first.track(), parseTrack("7 1 5 2 | 3 |"));
}

TEST(RebuildFromDocument, KeepsTheCaretAtTheSameRecordAndDropsTheSelection) {
    TwoViews views(test::scoreOf({"1 2 | 3 4 |"}));
    Node* four = views.first.element(1, 1);
    views.first.view.caret.node = four;
    views.first.view.caret.selectionAnchor = views.first.element(0, 0);
    views.first.view.caret.selectionEnd = four;
    views.first.view.caret.selectionShown = true;
    views.first.view.rebuildFromDocument();
    ASSERT_TRUE(views.first.view.caret.valid());
    EXPECT_EQ(views.first.view.caret.node.get(), views.first.element(1, 1));
    EXPECT_FALSE(views.first.view.caret.selectionShown);
    EXPECT_EQ(views.first.view.caret.selectionEnd.get(), nullptr);
    // At the end of a measure the caret stays at that measure's end.
    views.first.view.caret.node = views.first.measure(0);
    views.first.view.rebuildFromDocument();
    EXPECT_EQ(views.first.view.caret.node.get(), views.first.measure(0));
}

TEST(RebuildFromDocument, StartsOverWhenTheCaretsRecordIsGone) {
    TwoViews views(test::scoreOf({"1 2 | 3 4 |"}));
    views.first.view.caret.node = views.first.measure(1);
    // The other view deletes the second measure's notes and its bar line.
    for (int i = 0; i < 5; ++i)
        views.second.view.caretRight();
    for (int i = 0; i < 3; ++i)
        views.second.view.onChar(8);
    views.second.view.operations->commitToDocument(views.second.view.editTree());
    views.first.view.rebuildFromDocument();
    EXPECT_EQ(views.first.track(), parseTrack("1 2 |"));
    ASSERT_TRUE(views.first.view.caret.valid());
    EXPECT_EQ(views.first.view.caret.node.get(), views.first.element(0, 0));
}

}  // namespace
}  // namespace qe
