#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engrave/anchor.h"
#include "support/test_nodes.h"

namespace qe {
namespace {

using test::box;

TEST(Anchor, EmptiesWhenItsNodeDiesWhateverTheOrder) {
    auto parent = box(u"p", 0, 0, 100, -100);
    parent->appendChild(box(u"a", 0, 0, 10, -10));
    parent->appendChild(box(u"b", 10, 0, 10, -10));
    Node* a = parent->child(0);
    Node* b = parent->child(1);

    // Copies made before and after, in a vector that grows and moves them around.
    std::vector<Anchor> onA(5, Anchor(a));
    Anchor onB = b;
    for (int i = 0; i < 100; ++i)
        onA.emplace_back(a);
    Anchor copyOfB = onB;

    parent->removeChild(a);  // deleted here
    for (const Anchor& anchor : onA)
        EXPECT_EQ(anchor.get(), nullptr);
    EXPECT_EQ(onB.get(), b);
    EXPECT_EQ(copyOfB.get(), b);

    parent.reset();  // deletes b with its parent
    EXPECT_EQ(onB.get(), nullptr);
    EXPECT_EQ(copyOfB.get(), nullptr);
}

TEST(Anchor, OutlivedByItsNodeLeavesNothingBehind) {
    auto node = box(u"n", 0, 0, 10, -10);
    {
        Anchor first = node.get();
        Anchor second = first;
        second = nullptr;  // moved off the node
        first = second;
    }
    // The node's list is empty again: another anchor attaches and empties cleanly.
    Anchor last = node.get();
    node.reset();
    EXPECT_EQ(last.get(), nullptr);
}

TEST(Anchor, ReassignedAnchorFollowsItsNewNodeOnly) {
    auto a = box(u"a", 0, 0, 10, -10);
    auto b = box(u"b", 0, 0, 10, -10);
    Anchor anchor = a.get();
    anchor = b.get();
    a.reset();
    EXPECT_EQ(anchor.get(), b.get());
    b.reset();
    EXPECT_EQ(anchor.get(), nullptr);
}

}  // namespace
}  // namespace qe
