#pragma once

namespace qe {

class Node;

// A link to a node that cannot outlive it: when the node dies, every anchor on it becomes
// empty. Ties, brackets, the caret and the selection hold their notes and measures through
// anchors, so that no edit, in whatever order it deletes nodes, can leave one of them
// pointing at a node that is gone. The node keeps the anchors on it in a list of its own;
// copying an anchor adds the copy to that list.
//
// Anchors are not shared between threads: copy them only where the tree is edited.
class Anchor {
public:
    Anchor() = default;
    Anchor(Node* node);  // NOLINT: an anchor stands wherever a node pointer did
    Anchor(const Anchor& other) : Anchor(other.node_) {}
    Anchor& operator=(const Anchor& other);
    Anchor& operator=(Node* node);
    ~Anchor();

    Node* get() const { return node_; }
    operator Node*() const { return node_; }  // NOLINT
    Node* operator->() const { return node_; }

private:
    friend class Node;
    void attach(Node* node);
    void detach();

    Node* node_ = nullptr;
    Anchor* previous_ = nullptr;
    Anchor* next_ = nullptr;
};

}  // namespace qe
