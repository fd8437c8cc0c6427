#pragma once

namespace qe {

class Node;

// The element that stands for the stored item an element belongs to: a digit, rest or mark
// stands for itself; an accidental for the digit right after it, with which it shares one
// record; an accidental with no digit after it stands for nothing, since it is not stored.
// Null for anything that is not an element of a measure.
const Node* storedItemOf(const Node* element);

}  // namespace qe
