#include "engrave/anchor.h"

#include "engrave/node.h"

namespace qe {

Anchor::Anchor(Node* node) {
    attach(node);
}

Anchor& Anchor::operator=(const Anchor& other) {
    if (this != &other && node_ != other.node_) {
        detach();
        attach(other.node_);
    }
    return *this;
}

Anchor& Anchor::operator=(Node* node) {
    if (node_ != node) {
        detach();
        attach(node);
    }
    return *this;
}

Anchor::~Anchor() {
    detach();
}

void Anchor::attach(Node* node) {
    node_ = node;
    if (!node)
        return;
    next_ = node->anchors_;
    if (next_)
        next_->previous_ = this;
    node->anchors_ = this;
}

void Anchor::detach() {
    if (!node_)
        return;
    if (previous_)
        previous_->next_ = next_;
    else
        node_->anchors_ = next_;
    if (next_)
        next_->previous_ = previous_;
    node_ = nullptr;
    previous_ = next_ = nullptr;
}

}  // namespace qe
