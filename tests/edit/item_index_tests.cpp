#include <gtest/gtest.h>

#include "edit/item_index.h"
#include "layout/linear_view.h"
#include "music/track_walk.h"
#include "support/notation.h"

namespace qe {
namespace {

struct Tree {
    explicit Tree(QanorDoc d) : doc(std::move(d)) {
        view.document = &doc;
        view.build();
    }
    QanorDoc doc;
    LinearView view;
};

TEST(ItemIndex, EveryStoredItemHasItsNodeAndBack) {
    // Given two tracks with accidentals, marks and an open last measure
    Tree t(test::scoreOf({"1 #2 - . | v ( b3_ ) 0 |: 4", "5, - |]"}));
    for (int track = 0; track < 2; ++track) {
        const music::TrackWalk walk = music::walkTrack(
            t.doc.noteTracks()[static_cast<std::size_t>(track)].content.items, music::Key());
        for (std::size_t i = 0; i < walk.items.size(); ++i) {
            const ItemPlace place{track, static_cast<int>(i)};
            Node* node = nodeOfItem(t.view, place);
            ASSERT_NE(node, nullptr) << track << " " << i;
            // A bar line is its measure; every other item an element.
            EXPECT_EQ(node->kind == kMeasure, walk.items[i].item.isBarLine()) << i;
            EXPECT_EQ(itemOfNode(t.view, node), place);
        }
        // The open last measure of the first track stands for the bar line a save gives it.
        EXPECT_EQ(nodeOfItem(t.view, {track, static_cast<int>(walk.items.size())}),
                  track == 0 ? t.view.child(0)->lastChild() : nullptr);
    }
    // An accidental stands for its digit.
    Node* sharp = t.view.child(0)->child(0)->child(1);
    Node* two = t.view.child(0)->child(0)->child(2);
    EXPECT_EQ(itemOfNode(t.view, sharp), (ItemPlace{0, 1}));
    EXPECT_EQ(nodeOfItem(t.view, {0, 1}), two);
    // Nothing outside the tree.
    EXPECT_EQ(nodeOfItem(t.view, {2, 0}), nullptr);
    EXPECT_EQ(nodeOfItem(t.view, {0, -1}), nullptr);
    EXPECT_EQ(itemOfNode(t.view, t.view.child(0)), std::nullopt);
    EXPECT_EQ(itemOfNode(t.view, nullptr), std::nullopt);
    Tree other(test::scoreOf({"1"}));
    EXPECT_EQ(itemOfNode(t.view, other.view.child(0)->child(0)), std::nullopt);
}

TEST(ItemIndex, ItemsPastWhatALocationHoldsAreFound) {
    // 20000 measures of "1 |": 40000 items, beyond the 32768 a stored location can name.
    QanorDoc doc;
    note_track track;
    for (int m = 0; m < 20000; ++m) {
        track.content.items.push_back(note(0, 1 + m % 7, 0, 0));
        track.content.items.push_back(note::barLine(0));
    }
    doc.noteTracks().push_back(std::move(track));
    Tree t(std::move(doc));
    Node* last = t.view.child(0)->lastChild();
    EXPECT_EQ(nodeOfItem(t.view, {0, 39999}), last);
    EXPECT_EQ(itemOfNode(t.view, last), (ItemPlace{0, 39999}));
    EXPECT_EQ(itemOfNode(t.view, last->child(0)), (ItemPlace{0, 39998}));
}

}  // namespace
}  // namespace qe
