#include <gtest/gtest.h>

#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::Editor;
using test::parseTrack;

// A second view on the same score, as a second window on one document: both edit the one
// score, and each lays out through the session.
struct TwoViews {
    explicit TwoViews(const QeDocument& d, int secondMode = ScoreEditor::kPageMode) : first(d) {
        second.host.view = &second.view;
        second.view.setMode(secondMode);
        second.view.attach(&first.session);
        second.view.relayout();
        // What one view changes, the other lays out and takes its caret through.
        first.host.others.push_back(&second.view);
        second.host.others.push_back(&first.view);
    }
    struct Other {
        test::FakeHost host;
        ScoreEditor view{&host};
    };
    Editor first;
    Other second;
};

TEST(TwoViews, EachShowsWhatTheOtherTypedAndNothingOfEitherIsLost) {
    TwoViews views(test::scoreOf({"1 2 | 3 |"}));
    views.second.view.caretRight();
    views.second.view.onChar(U'5');
    views.first.view.scoreChangedElsewhere();
    EXPECT_EQ(views.first.track(), parseTrack("1 5 2 | 3 |"));
    EXPECT_EQ(views.first.measure(0)->childCount(), 3);
    views.first.type(U"7");
    EXPECT_EQ(views.first.track(), parseTrack("7 1 5 2 | 3 |"));
    EXPECT_EQ(views.second.view.layout().tracks().measureNode(0, 0)->childCount(), 4);
}

TEST(TwoViews, InOneModeShareOneLayout) {
    TwoViews views(test::scoreOf({"1 2 | 3 |"}));
    EXPECT_EQ(&views.first.view.layout(), &views.second.view.layout());
    TwoViews mixed(test::scoreOf({"1 2 | 3 |"}), ScoreEditor::kScrollMode);
    EXPECT_NE(&mixed.first.view.layout(), &mixed.second.view.layout());
    mixed.second.view.onChar(U'6');
    EXPECT_EQ(mixed.first.measure(0)->childCount(), 3);
    EXPECT_TRUE(mixed.first.view.layout().upToDate());
}

TEST(TwoViews, TheCaretStaysWhereItIsAndTheSelectionGoes) {
    TwoViews views(test::scoreOf({"1 2 | 3 4 |"}));
    views.first.caretAt(1, 1);
    views.first.view.caret.selectionAnchor = views.first.at(0, 0);
    views.first.view.caret.selectionEnd = views.first.at(1, 1);
    views.first.view.caret.selectionShown = true;
    views.second.view.caretRight();
    views.second.view.onChar(U'|');
    views.first.view.scoreChangedElsewhere();
    ASSERT_TRUE(views.first.view.caret.valid());
    EXPECT_EQ(views.first.view.caret.at, views.first.at(1, 1));
    EXPECT_FALSE(views.first.view.caret.selectionShown);
    EXPECT_FALSE(views.first.view.caret.selectionEnd.has_value());
}

TEST(TwoViews, TheCaretStartsOverWhenItsPlaceIsGone) {
    TwoViews views(test::scoreOf({"1 2 | 3 4 |"}));
    views.first.caretAtEnd(1);
    // The other view deletes the second measure's notes and its bar line.
    for (int i = 0; i < 5; ++i)
        views.second.view.caretRight();
    for (int i = 0; i < 3; ++i)
        views.second.view.onChar(8);
    views.first.view.scoreChangedElsewhere();
    EXPECT_EQ(views.first.track(), parseTrack("1 2 |"));
    ASSERT_TRUE(views.first.view.caret.valid());
    EXPECT_EQ(views.first.view.caret.at, views.first.at(0, 0));
}

}  // namespace
}  // namespace qe
