#pragma once

#include "engrave/node.h"

namespace qe {

// Shows its origin at the shadow's own place without owning it: display lines in page mode
// are made of shadows of the measures that the track lines own.
class ShadowNode : public Node {
public:
    explicit ShadowNode(Node* origin);
    ~ShadowNode() override;
    ShadowNode(const ShadowNode&) = delete;
    ShadowNode& operator=(const ShadowNode&) = delete;

    void arrange(Surface&) override {}
    void draw(Surface& g) const override;
    // Takes the new origin's style and its shadow link. The previous origin is released; a
    // shadow the new origin had before is left showing nothing, so that an origin and its
    // shadow always name each other.
    void setOrigin(Node* node) override;
};

}  // namespace qe
