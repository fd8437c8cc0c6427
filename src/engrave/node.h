#pragma once

#include <memory>
#include <vector>

#include "engrave/anchor.h"
#include "engrave/geometry.h"
#include "engrave/style.h"
#include "engrave/surface.h"
#include "records/records.h"

namespace qe {

class format_track_header;

// Node kind codes.
enum NodeKind : int {
    kShadowNode = 1,
    kNoteElement = 2,
    kMeasure = 3,
    kNoteLine = 4,
    kSymbol = 7,
    kShape = 8,  // underlines, tie arcs, jump lines
    kText = 9,
    kKeyText = 10,
    kComplexLine = 11,  // display lines and the scroll-mode root
    kPage = 12,
    kPageView = 14,
};

// A node of the layout tree: a box placed in its parent's frame, an owned list of children,
// and the operations to arrange, draw, paint and hit-test a subtree. A shadow (kind 1) shows
// another node, its origin, in a second tree without owning it; the origin names the shadow
// that currently mirrors it, and whichever of the two dies first clears the other's link.
class Node {
public:
    Node(int kind, const format_track_header* format = nullptr, const qe::location& loc = {},
         Node* origin = nullptr);
    // A copy takes kind, style, format and origin; it starts detached, unmirrored, with an
    // empty location and no children.
    Node(const Node& other);
    Node& operator=(const Node& other);
    virtual ~Node();

    // Computes the node's own size and places its direct children.
    virtual void arrange(Surface& g) = 0;
    // Draws the node's own content with its top-left corner at the surface's origin.
    virtual void draw(Surface& g) const = 0;
    // Post-order: with `deep`, every child first (inheriting this node's format), then arrange.
    virtual void layout(Surface& g, bool deep);
    // Draws the node, then the children whose boxes meet the clip rectangle.
    virtual void paint(Surface& g) const;
    // Throws kOutOfRange outside 0 .. count - 1.
    virtual Node* child(int index) const;
    // The child at `index`, followed through shadows to the node shown.
    virtual Node* realChild(int index) const;
    virtual Node* firstChild() const;
    virtual Node* lastChild() const;
    virtual Node* siblingOf(const Node* child, bool before) const;
    virtual Node* previousSibling() const;
    virtual Node* nextSibling() const;
    virtual void clearChildren();
    virtual void appendChild(std::unique_ptr<Node> node);
    // Throws kOutOfRange unless 0 <= index <= count.
    virtual void insertChild(int index, std::unique_ptr<Node> node);
    // Inserts in front of `before` and returns true; when `before` is not a child, returns
    // false and leaves `node` with the caller.
    virtual bool insertChild(std::unique_ptr<Node>& node, Node* before);
    // Puts `node` where child `index` stands and gives the child that stood there back;
    // nothing else in the list moves. Throws kOutOfRange outside 0 .. count - 1.
    std::unique_ptr<Node> replaceChild(int index, std::unique_ptr<Node> node);
    // Unlinks a child without deleting it; the caller owns what comes back (null if absent).
    virtual std::unique_ptr<Node> removeChild(Node* node);
    virtual std::unique_ptr<Node> removeChild(int index);
    // The deepest node whose box holds `p` (given in this node's frame), or null.
    virtual Node* hitTest(Point p);
    virtual void setOrigin(Node* node);

    int childCount() const { return static_cast<int>(children_.size()); }
    int indexOf(const Node* child) const;

    // Typed convenience for the many places that ask "is this an element / a measure?".
    bool is(int k) const { return kind == k; }

    // The node whose child list holds this one, or which keeps it by value beside its
    // children; null when detached. Only the tree sets it.
    Node* parent() const { return parent_; }
    // A part kept by value beside the children (a title text, a key-text digit) names the
    // node that keeps it, so that positions can be walked up from it.
    void heldBy(Node* holder) { parent_ = holder; }

    int kind;
    Style style;
    Node* shadow = nullptr;
    const format_track_header* format = nullptr;
    qe::location location;
    Node* origin = nullptr;

protected:
    // Whether a child's box meets the surface's clip rectangle (all four tests strict).
    static bool visible(const Surface& g, const Style& s) {
        return g.clipLeft < s.x + s.width && g.clipRight > s.x && g.clipTop > s.y + s.height &&
               g.clipBottom < s.y;
    }
    void paintVisibleChildren(Surface& g) const;

    std::vector<std::unique_ptr<Node>> children_;
    // Set whenever the child list changes, for nodes that keep measurements of their children.
    bool childrenChanged_ = true;

private:
    friend class Anchor;

    // Renumbers the children from `first` on, after the list changed there.
    void renumberFrom(std::size_t first);

    Node* parent_ = nullptr;
    // The anchors on this node, emptied when it dies.
    Anchor* anchors_ = nullptr;

    // Where this node stands in its parent's list, kept so that walking siblings along a
    // line of thousands of measures stays cheap; -1 when detached.
    int indexInParent_ = -1;
};

// Position of `child` in `parent`'s list, or -1.
int indexOf(const Node* parent, const Node* child);

// Converts `rect` from `node`'s frame to `ancestor`'s frame by adding the positions of the
// node and of its ancestors below `ancestor`. With `useShadow`, a node that is mirrored is
// replaced by its shadow and the walk goes on from the shadow's parent. Returns false when
// the walk runs past the root without meeting a non-null ancestor.
bool offsetInAncestor(Rect& rect, const Node* node, bool useShadow, const Node* ancestor);
// The same for a point, always walking to the root.
void offsetInRoot(Point& point, const Node* node, bool useShadow);

// Brings a length to the nearest multiple of |pixel| (half-way goes up); a non-zero length
// never becomes 0 but one pixel with its sign, so thin lines never vanish.
int roundToPixels(int length, int pixel);

}  // namespace qe
