#include "engrave/shadow_node.h"

namespace qe {

ShadowNode::ShadowNode(Node* origin) : Node(kShadowNode) {
    ShadowNode::setOrigin(origin);
}

ShadowNode::~ShadowNode() {
    if (origin && origin->shadow == this)
        origin->shadow = nullptr;
    origin = nullptr;
}

void ShadowNode::draw(Surface& g) const {
    if (!origin)
        return;
    OriginGuard guard(g, -origin->style.x, -origin->style.y);
    origin->paint(g);
}

void ShadowNode::setOrigin(Node* node) {
    if (origin && origin->shadow == this)
        origin->shadow = nullptr;
    origin = node;
    if (!node)
        return;
    if (node->shadow && node->shadow != this)
        node->shadow->origin = nullptr;
    style = node->style;
    node->shadow = this;
}

}  // namespace qe
