#include "engrave/node.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/exception.h"

namespace qe {

Node::Node(int kind, const format_track_header* format, const qe::location& loc, Node* origin)
    : kind(kind), format(format), location(loc), origin(origin) {}

Node::Node(const Node& other)
    : kind(other.kind), style(other.style), format(other.format), origin(other.origin) {}

Node& Node::operator=(const Node& other) {
    if (this == &other)
        return *this;
    clearChildren();
    if (shadow)
        shadow->setOrigin(nullptr);
    kind = other.kind;
    style = other.style;
    format = other.format;
    location = {};
    origin = other.origin;
    return *this;
}

Node::~Node() {
    if (shadow)
        shadow->setOrigin(nullptr);
    while (anchors_)
        anchors_->detach();
    Node::clearChildren();
}

void Node::layout(Surface& g, bool deep) {
    if (deep) {
        for (auto& c : children_) {
            if (format && !c->format)
                c->format = format;
            c->layout(g, true);
        }
    }
    arrange(g);
}

void Node::paint(Surface& g) const {
    OriginGuard guard(g, style.x, style.y);
    draw(g);
    paintVisibleChildren(g);
}

void Node::paintVisibleChildren(Surface& g) const {
    for (auto& c : children_)
        if (visible(g, c->style))
            c->paint(g);
}

Node* Node::child(int index) const {
    if (index < 0 || index >= childCount())
        throw Exception(kOutOfRange);
    return children_[static_cast<std::size_t>(index)].get();
}

Node* Node::realChild(int index) const {
    Node* node = child(index);
    while (node && node->kind == kShadowNode)
        node = node->origin;
    return node;
}

Node* Node::firstChild() const {
    return children_.empty() ? nullptr : children_.front().get();
}
Node* Node::lastChild() const {
    return children_.empty() ? nullptr : children_.back().get();
}

Node* Node::siblingOf(const Node* c, bool before) const {
    const int i = indexOf(c);
    if (i < 0)
        return nullptr;
    const int j = before ? i - 1 : i + 1;
    if (j < 0 || j >= childCount())
        return nullptr;
    return children_[static_cast<std::size_t>(j)].get();
}

Node* Node::previousSibling() const {
    return parent_ ? parent_->siblingOf(this, true) : nullptr;
}
Node* Node::nextSibling() const {
    return parent_ ? parent_->siblingOf(this, false) : nullptr;
}

void Node::clearChildren() {
    // Deleted in order; each child's destructor releases its own subtree and shadow link.
    for (auto& c : children_)
        c.reset();
    children_.clear();
    childrenChanged_ = true;
}

void Node::renumberFrom(std::size_t first) {
    childrenChanged_ = true;
    for (std::size_t i = first; i < children_.size(); ++i)
        children_[i]->indexInParent_ = static_cast<int>(i);
}

void Node::appendChild(std::unique_ptr<Node> node) {
    node->parent_ = this;
    node->indexInParent_ = childCount();
    children_.push_back(std::move(node));
    childrenChanged_ = true;
}

void Node::insertChild(int index, std::unique_ptr<Node> node) {
    if (index < 0 || index > childCount())
        throw Exception(kOutOfRange);
    node->parent_ = this;
    children_.insert(children_.begin() + index, std::move(node));
    renumberFrom(static_cast<std::size_t>(index));
}

bool Node::insertChild(std::unique_ptr<Node>& node, Node* before) {
    const int i = indexOf(before);
    if (i < 0)
        return false;
    node->parent_ = this;
    children_.insert(children_.begin() + i, std::move(node));
    renumberFrom(static_cast<std::size_t>(i));
    return true;
}

std::unique_ptr<Node> Node::replaceChild(int index, std::unique_ptr<Node> node) {
    if (index < 0 || index >= childCount())
        throw Exception(kOutOfRange);
    auto& slot = children_[static_cast<std::size_t>(index)];
    std::unique_ptr<Node> old = std::move(slot);
    node->parent_ = this;
    node->indexInParent_ = index;
    slot = std::move(node);
    old->parent_ = nullptr;
    old->indexInParent_ = -1;
    childrenChanged_ = true;
    return old;
}

std::unique_ptr<Node> Node::removeChild(Node* node) {
    const int i = indexOf(node);
    if (i < 0)
        return nullptr;
    return removeChild(i);
}

std::unique_ptr<Node> Node::removeChild(int index) {
    if (index < 0 || index >= childCount())
        throw Exception(kOutOfRange);
    std::unique_ptr<Node> node = std::move(children_[static_cast<std::size_t>(index)]);
    children_.erase(children_.begin() + index);
    renumberFrom(static_cast<std::size_t>(index));
    node->parent_ = nullptr;
    node->indexInParent_ = -1;
    return node;
}

Node* Node::hitTest(Point p) {
    if (kind == kShadowNode && origin)
        return origin->hitTest(p);
    if (p.x < 0 || p.x >= style.width || p.y > 0 || p.y <= style.height)
        return nullptr;
    for (auto& c : children_) {
        if (Node* hit = c->hitTest({p.x - c->style.x, p.y - c->style.y}))
            return hit;
    }
    return this;
}

void Node::setOrigin(Node* node) {
    origin = node;
}

int Node::indexOf(const Node* c) const {
    if (!c || c->parent_ != this)
        return -1;
    const int i = c->indexInParent_;
    if (i >= 0 && i < childCount() && children_[static_cast<std::size_t>(i)].get() == c)
        return i;
    return -1;
}

int indexOf(const Node* parent, const Node* child) {
    return parent ? parent->indexOf(child) : -1;
}

bool offsetInAncestor(Rect& rect, const Node* node, bool useShadow, const Node* ancestor) {
    for (const Node* n = node; n; n = n->parent()) {
        if (n == ancestor)
            return true;
        if (useShadow && n->shadow)
            n = n->shadow;
        if (n == ancestor)
            return true;
        rect.left += n->style.x;
        rect.right += n->style.x;
        rect.top += n->style.y;
        rect.bottom += n->style.y;
    }
    return ancestor == nullptr;
}

void offsetInRoot(Point& point, const Node* node, bool useShadow) {
    Rect r{point.x, point.y, point.x, point.y};
    offsetInAncestor(r, node, useShadow, nullptr);
    point = {r.left, r.top};
}

int roundToPixels(int length, int pixel) {
    const int px = std::abs(pixel);
    if (length == 0 || px == 0)
        return length;
    const int rounded = px * static_cast<int>(std::floor(static_cast<double>(length) / px + 0.5));
    if (rounded == 0)
        return length < 0 ? -px : px;
    return rounded;
}

}  // namespace qe
