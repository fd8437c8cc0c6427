#pragma once

#include "layout/shape.h"

namespace qe {

// A tie arc above the notes from one note element to another, possibly across line breaks:
// one strip per line it touches, in root coordinates.
class SusArc : public GlobalShape {
public:
    SusArc(const format_track_header* format, Node* from, Node* to)
        : GlobalShape(kArcShape, format, from, to) {}

    // Throws kMismatch when an anchor is missing or not a note element, or the walk from
    // `from` runs out before it reaches `to`.
    void arrange(BaseGDI& g) override;
    void draw(BaseGDI& g) override;
};

}  // namespace qe
