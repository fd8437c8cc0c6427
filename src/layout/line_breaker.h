#pragma once

#include "draw/base_gdi.h"

namespace qe {

class ComplexLine;
class LinearView;
class Node;

// Page mode does not break the track lines of the edit tree: it chooses which measures go on
// each display line, shows them there through shadows, and stretches each display line to the
// page's content width.

// Fills the view's line starts greedily over the natural widths of the measures (for each
// index, the widest measure of that index among the tracks); returns the number of lines.
// A measure wider than `width` throws kLayoutOverflow.
int breakLines(LinearView& view, int width);

// Builds display line `k`: one note line of shadows per track that reaches the line's first
// measure, each justified to `width` when it is not 0, appended to `target`. Throws
// kOutOfRange for a line that does not exist and kWrongKind for an empty range.
void buildLine(int k, LinearView& view, BaseGDI& g, ComplexLine& target, int width);

// Stretches a line of shadows to `width`, spreading the spare room over the mirrored measures
// by their spacing weights; a gap between two measures is worth 8 weight units.
void justify(Node& line, int width, BaseGDI& g);

}  // namespace qe
