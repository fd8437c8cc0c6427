#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "music/item.h"

namespace qe {

class Node;
class NoteElement;

// The one two-way mapping between what a score stores and what a measure shows. A stored
// item is one or two note elements: a digit or rest (with the accidental in front of it, when
// it has one) or a mark; a bar line is the measure it closes.

// The elements that show an item, in order; none for a bar line, which is a measure.
std::vector<std::unique_ptr<NoteElement>> elementsOf(const music::Item& item);

// The item an element stores: a digit or rest with the accidental standing right in front of
// it, or a mark. Nothing for an accidental, which is stored with its digit, nor for an
// element of another kind.
std::optional<music::Item> itemOf(const NoteElement& element);

// The element that stands for the stored item an element belongs to: a digit, rest or mark
// stands for itself; an accidental for the digit right after it, with which it shares one
// record; an accidental with no digit after it stands for nothing, since it is not stored.
// Null for anything that is not an element of a measure.
const Node* storedItemOf(const Node* element);

}  // namespace qe
