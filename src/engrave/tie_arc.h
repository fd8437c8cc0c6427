#pragma once

#include <vector>

#include "engrave/shape.h"

namespace qe {

// A tie arc above the notes from one note element to another, possibly across line breaks.
// On one line it is one curve from note to note, each end just above its own note and clear
// of its octave dots. Across a break it is drawn as half-ties: one rising from the first note
// to just past the last bar line of its line, one from the start of the next line down to the
// last note, and a flat run over any whole line between.
class TieArc : public GlobalShape {
public:
    // One drawn curve, in root coordinates.
    struct Piece {
        Point p0, p1, p2, p3;
    };

    // How far a half-tie runs past the end of its line, and how far before its note a half-tie
    // at least starts on the next line.
    static constexpr int kOverhang = 100;
    static constexpr int kLeadIn = 240;

    TieArc(const format_track_header* format, Node* from, Node* to)
        : GlobalShape(kArcShape, format, from, to) {}

    // Throws kMismatch when an anchor is missing or not a note element, or the walk from
    // `from` runs out before it reaches `to`.
    void arrange(Surface& g) override;
    void draw(Surface& g) const override;

    std::vector<Piece> pieces;  // one per line it crosses, matching `strips`
    // Another arc ends on its first note, or starts on its last: the two ends stand apart on
    // that note instead of meeting at one point.
    bool sharedStart = false;
    bool sharedEnd = false;
};

// Marks the arcs whose first note is another's last (sharedStart, sharedEnd).
void markSharedEnds(std::vector<TieArc>& arcs);

}  // namespace qe
