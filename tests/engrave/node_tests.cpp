#include <gtest/gtest.h>

#include "support/error_code.h"

#include "base/exception.h"
#include "engrave/node.h"
#include "engrave/recording_surface.h"
#include "engrave/shadow_node.h"
#include "support/test_nodes.h"

namespace qe {
namespace {

using test::box;
using test::BoxNode;

using test::codeOf;

TEST(NodeChildren, InsertRemoveAndSiblingsKeepParentLinks) {
    BoxNode root(u"root");
    EXPECT_EQ(root.firstChild(), nullptr);
    EXPECT_EQ(root.lastChild(), nullptr);
    root.appendChild(box(u"a"));
    root.appendChild(box(u"c"));
    Node* a = root.child(0);
    Node* c = root.child(1);
    std::unique_ptr<Node> b = box(u"b");
    Node* bRaw = b.get();
    EXPECT_TRUE(root.insertChild(b, c));
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(root.child(1), bRaw);
    EXPECT_EQ(bRaw->parent(), &root);
    EXPECT_EQ(a->previousSibling(), nullptr);
    EXPECT_EQ(a->nextSibling(), bRaw);
    EXPECT_EQ(c->nextSibling(), nullptr);
    EXPECT_EQ(root.siblingOf(&root, false), nullptr);  // not a child

    std::unique_ptr<Node> stranger = box(u"x");
    BoxNode other(u"other");
    EXPECT_FALSE(root.insertChild(stranger, &other));
    EXPECT_NE(stranger, nullptr);  // still the caller's

    std::unique_ptr<Node> removed = root.removeChild(bRaw);
    EXPECT_EQ(removed.get(), bRaw);
    EXPECT_EQ(removed->parent(), nullptr);
    EXPECT_EQ(root.childCount(), 2);
    EXPECT_EQ(root.removeChild(bRaw), nullptr);
}

TEST(NodeChildren, IndexErrorsAreCodeFourAndChangeNothing) {
    BoxNode root(u"root");
    root.insertChild(0, box(u"a"));
    root.insertChild(1, box(u"b"));  // count appends
    EXPECT_EQ(codeOf([&] { root.insertChild(3, box(u"c")); }), kOutOfRange);
    EXPECT_EQ(codeOf([&] { root.insertChild(-1, box(u"c")); }), kOutOfRange);
    EXPECT_EQ(codeOf([&] { root.child(2); }), kOutOfRange);
    EXPECT_EQ(codeOf([&] { root.removeChild(2); }), kOutOfRange);
    EXPECT_EQ(root.childCount(), 2);
}

TEST(NodeLayout, ChildrenFirstAndInheritingFormat) {
    format_track_header* fmt = reinterpret_cast<format_track_header*>(0x1000);
    BoxNode root(u"root");
    root.format = fmt;
    root.appendChild(box(u"a"));
    auto* a = static_cast<BoxNode*>(root.child(0));
    a->appendChild(box(u"a1"));
    RecordingSurface g;
    root.layout(g, true);
    EXPECT_EQ(a->format, fmt);
    EXPECT_EQ(a->child(0)->format, fmt);
    EXPECT_EQ(root.arranged, 1);
    EXPECT_EQ(a->arranged, 1);
    root.layout(g, false);
    EXPECT_EQ(a->arranged, 1);
    EXPECT_EQ(root.arranged, 2);
}

TEST(NodeHitTest, EdgesAndDepth) {
    BoxNode root(u"root", 0, 0, 1000, -500);
    root.appendChild(box(u"a", 100, -100, 200, -200));
    root.appendChild(box(u"b", 100, -100, 300, -300));  // overlaps a: a wins
    Node* a = root.child(0);
    EXPECT_EQ(root.hitTest({0, 0}), &root);         // top-left corner is inside
    EXPECT_EQ(root.hitTest({1000, -10}), nullptr);  // right edge is outside
    EXPECT_EQ(root.hitTest({10, -500}), nullptr);   // bottom edge is outside
    EXPECT_EQ(root.hitTest({150, -150}), a);
    EXPECT_EQ(root.hitTest({350, -150}), root.child(1));
    BoxNode flat(u"flat", 0, 0, 100, 0);
    EXPECT_EQ(flat.hitTest({0, 0}), nullptr);  // a node of height 0 is never hit
}

TEST(NodePaint, SkipsChildrenThatOnlyTouchTheClip) {
    BoxNode root(u"root", 0, 0, 1000, -1000);
    root.appendChild(box(u"left", -100, 0, 100, -100));  // right edge at the clip's left
    root.appendChild(box(u"inside", 10, -10, 10, -10));
    root.appendChild(box(u"below", 0, -200, 100, -100));  // top edge at the clip's bottom
    root.appendChild(box(u"straddles", -5, 5, 10, -10));
    RecordingSurface g(0, 0, 0, 0, 100, -200, false);
    root.paint(g);
    EXPECT_EQ(test::drawnNames(g), u"root inside straddles");
    EXPECT_TRUE(g.translations.empty());
}

TEST(NodePaint, DefaultSurfaceDrawsOnlyWhatStraddlesTheOrigin) {
    BoxNode root(u"root");
    root.appendChild(box(u"away", 10, -10, 10, -10));
    root.appendChild(box(u"over", -10, 10, 20, -20));
    RecordingSurface g;
    root.paint(g);
    EXPECT_EQ(test::drawnNames(g), u"root over");
}

TEST(Shadow, MirrorsItsOriginAndEitherSideMayDieFirst) {
    BoxNode line(u"line", 0, 0, 5000, -1000);
    line.appendChild(box(u"measure", 300, -40, 400, -200));
    Node* measure = line.child(0);
    measure->appendChild(box(u"note", 10, -10, 50, -50));
    {
        ShadowNode shadow(measure);
        EXPECT_EQ(measure->shadow, &shadow);
        EXPECT_EQ(shadow.style, measure->style);
        shadow.style.x = 1000;
        shadow.style.y = -500;
        // Hit through the shadow: the mirrored node, never the shadow.
        EXPECT_EQ(shadow.hitTest({20, -20}), measure->child(0));
        RecordingSurface g(0, 0, -10000, 10000, 10000, -10000, false);
        shadow.paint(g);
        // The measure is drawn at the shadow's place.
        ASSERT_EQ(g.calls.size(), 2u);
        EXPECT_EQ(g.calls[0].args, (std::vector<int>{1000, -500}));
        EXPECT_EQ(g.calls[1].args, (std::vector<int>{1010, -510}));
        EXPECT_TRUE(g.translations.empty());
    }
    EXPECT_EQ(measure->shadow, nullptr);

    auto shadow = std::make_unique<ShadowNode>(measure);
    line.clearChildren();  // the origin dies first
    EXPECT_EQ(shadow->origin, nullptr);
    RecordingSurface g(0, 0, -10000, 10000, 10000, -10000, false);
    shadow->paint(g);
    EXPECT_TRUE(g.calls.empty());
    EXPECT_EQ(shadow->hitTest({5, -5}), shadow.get());  // an ordinary node with its copied style
}

TEST(Shadow, SecondShadowTakesTheLinkAndTheFirstShowsNothing) {
    auto origin = box(u"m", 0, 0, 100, -100);
    ShadowNode first(origin.get());
    {
        ShadowNode second(origin.get());
        EXPECT_EQ(origin->shadow, &second);
        EXPECT_EQ(first.origin, nullptr);
    }
    EXPECT_EQ(origin->shadow, nullptr);
    auto s = std::make_unique<ShadowNode>(origin.get());
    s->setOrigin(nullptr);
    EXPECT_EQ(origin->shadow, nullptr);
}

TEST(Shadow, RealChildFollowsShadowsToTheMirroredNode) {
    BoxNode line(u"line");
    line.appendChild(box(u"m"));
    BoxNode display(u"display");
    display.appendChild(std::make_unique<ShadowNode>(line.child(0)));
    EXPECT_EQ(display.realChild(0), line.child(0));
}

TEST(Offsets, WalkUpThroughShadowsWhenAsked) {
    BoxNode root(u"root");
    root.appendChild(box(u"line", 320, -360));
    Node* line = root.child(0);
    line->appendChild(box(u"m", 1000, -40));
    Node* measure = line->child(0);
    measure->appendChild(box(u"e", 30, -200));
    Node* element = measure->child(0);

    Rect r{0, 0, 10, -10};
    EXPECT_TRUE(offsetInAncestor(r, element, false, nullptr));
    EXPECT_EQ(r, (Rect{1350, -600, 1360, -610}));

    BoxNode page(u"page", 244, -244);
    page.appendChild(box(u"display", 1000, -3000));
    page.child(0)->appendChild(std::make_unique<ShadowNode>(measure));
    page.child(0)->child(0)->style.x = 77;
    Rect s{0, 0, 0, 0};
    EXPECT_TRUE(offsetInAncestor(s, element, true, &page));
    EXPECT_EQ(s.left, 30 + 77 + 1000);
    EXPECT_EQ(s.top, -200 - 40 - 3000);
    Rect t{0, 0, 0, 0};
    EXPECT_FALSE(offsetInAncestor(t, element, false, &page));  // not an ancestor without shadows

    Point p{0, 0};
    offsetInRoot(p, element, true);
    EXPECT_EQ(p, (Point{30 + 77 + 1000 + 244, -200 - 40 - 3000 - 244}));
}

TEST(RoundToPixels, SnapsHalfUpAndNeverToZero) {
    EXPECT_EQ(roundToPixels(1, 15), 15);
    EXPECT_EQ(roundToPixels(-1, 15), -15);
    EXPECT_EQ(roundToPixels(22, 15), 15);
    EXPECT_EQ(roundToPixels(23, 15), 30);
    EXPECT_EQ(roundToPixels(0, 15), 0);
    EXPECT_EQ(roundToPixels(-21, 15), -15);
    EXPECT_EQ(roundToPixels(-21, -5), -20);
    EXPECT_EQ(roundToPixels(-23, 5), -25);  // -4.6 + 0.5 floors to -5
}

TEST(Surface, PushPopRestoresOriginAndClip) {
    RecordingSurface g(10, 20, 0, 100, 300, -400, true);
    EXPECT_EQ(g.clipLeft, -10);
    EXPECT_EQ(g.clipTop, 80);
    g.pushOrigin(5, -7);
    EXPECT_EQ(g.originX, 15);
    EXPECT_EQ(g.clipLeft, -15);
    EXPECT_EQ(g.clipBottom, -413);
    g.popOrigin();
    EXPECT_EQ(g.originX, 10);
    EXPECT_EQ(g.originY, 20);
    EXPECT_EQ(g.clipRight, 290);
    EXPECT_EQ(g.clipBottom, -420);
    EXPECT_EQ(codeOf([&] { g.popOrigin(); }), kWrongKind);
}

TEST(Surface, CurveHelpersTranslateWhatTheyShould) {
    RecordingSurface g;
    g.pushOrigin(100, -50);
    g.bezierAt({0, 0}, {1, 1}, {2, 2}, {3, 3});
    g.arcStripsAt({{0, 0, 10, -10}}, {0, 0}, {1, 1}, {2, 2}, {3, 3});
    ASSERT_EQ(g.calls.size(), 2u);
    EXPECT_EQ(g.calls[0].args, (std::vector<int>{100, -50, 101, -49, 102, -48, 103, -47}));
    // Strip rectangles move with the origin; the curve stays in strip space.
    EXPECT_EQ(g.calls[1].args, (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3, 100, -50, 110, -60}));
}

}  // namespace
}  // namespace qe
