#pragma once

#include <optional>

namespace qe {

class LinearView;
class Node;

// A stored item of a note track, numbered as a save numbers them: every digit, rest and mark
// in order, and every measure for the bar line that closes it; an accidental shares its
// digit's item. The index is not held to the 16 bits of a stored location, so that every item
// of a long track can be named.
struct ItemPlace {
    int track = 0;
    int item = 0;
    friend bool operator==(const ItemPlace&, const ItemPlace&) = default;
};

// The node of an edit tree that shows an item: the element of a digit, rest or mark, or the
// measure a bar line closes. Null when the tree has no such item.
Node* nodeOfItem(const LinearView& tree, ItemPlace place);

// The item a caret position stands for: an element's own (an accidental's is its digit's) or
// a measure's closing bar line. Nothing for an accidental stored with no digit, or for a node
// that is no caret position of the tree.
std::optional<ItemPlace> itemOfNode(const LinearView& tree, const Node* node);

}  // namespace qe
