#pragma once

#include <vector>

#include "engrave/surface.h"

namespace qe {

class System;
class LinearView;
class Node;
class format_track_header;

// Page mode does not break the track lines of the edit tree: it chooses which measures go on
// each display line, shows them there through shadows, and stretches each display line to the
// page's content width.

// Lines are filled up to this share of the content width before they are justified to all of
// it, which leaves every line room to breathe.
constexpr double kBreakShare = 0.65;

// Fills the view's line starts greedily over the natural widths of the measures (for each
// index, the widest measure of that index among the tracks); returns the number of lines.
// A measure wider than `width` throws kLayoutOverflow.
int breakLines(LinearView& view, int width);

// Builds display line `k`: one note line of shadows per track that reaches the line's first
// measure, each justified to `width` when it is not 0, appended to `target`. Returns the unit
// each track's line was spaced with (0 without justification). Throws kOutOfRange for a line
// that does not exist and kWrongKind for an empty range.
std::vector<double> buildLine(int k, LinearView& view, Surface& g, System& target, int width);

// The last line of a score is stretched to `width` like the others only when its natural
// width fills at least this share of it. A shorter one keeps the spacing of the line above
// (`unitsAbove`, per track; `standard` for a track without one), is left-aligned and ends at
// its bar line, so that "5 - - -" is not spread over the page.
constexpr double kFullLastLine = 0.75;
void buildLastLine(int k, LinearView& view, Surface& g, System& target, int width,
                   const std::vector<double>& unitsAbove, double standard);

// Stretches a line of shadows to `width`, spreading the spare room over the mirrored measures
// by their spacing weights; a gap between two measures is worth 16 weight units, what a
// quarter note takes, so that a bar line stands as far from the note after it as from the one
// before it. Returns the room one weight unit got.
double justify(Node& line, int width, Surface& g);

// Places the measures of a line (themselves, or shown by shadows) with `unit` extra room per
// weight unit and the gap between measures that goes with it, from x = 0; the line's width
// becomes what they take.
void spaceLine(Node& line, double unit, Surface& g);

// The room a weight unit gets where no line width decides it (the scroll-mode strip, a short
// last line with no line above): what a line of plain quarter notes gets when it fills the
// break share of a line and is stretched to the whole line.
double standardUnit(Surface& g, const format_track_header* format, double breakShare);

}  // namespace qe
