#pragma once

#include <vector>

#include "engrave/geometry.h"
#include "engrave/node.h"

namespace qe {

// Helpers shared by the shapes that span lines. With `throughShadows` (page mode), a node
// shown by a shadow is taken at the shadow's place, so lines are the display lines.

// The root position of a point given in a node's frame.
Point rootPosition(const Node* node, Point p, bool throughShadows);

// The line a measure stands in: its parent, taken through its shadow.
const Node* lineOfMeasure(const Node* measure, bool throughShadows);

// The element after `element` in reading order, skipping measures without elements; null
// when the line ends.
Node* nextElementInLine(const Node* element);

// Whether a shape's walk from `from` reaches `to`: both in one track line, `to` not before
// `from`. A stored shape that fails this could never be laid out.
bool elementsInOrder(const Node* from, const Node* to);
bool measuresInOrder(const Node* from, const Node* to);

// Makes a shape's box the bounding box of its strips and of one more rectangle.
void coverStrips(Style& box, const std::vector<Rect>& strips, const Rect& also);

}  // namespace qe
