#pragma once

#include "layout/node.h"

namespace qe {

class note_track;

// A row of measures: a whole note track in scroll mode (a track line), or one track's share
// of a display line in page mode. Children are top-aligned; the line is as deep as its
// deepest child.
class NoteLine : public Node {
public:
    static constexpr int kTrackLineMargin = 40;

    NoteLine(const format_track_header* format, int marginTop, int marginBottom);

    void arrange(BaseGDI& g) override;
    // The hyphens between the syllables of a word: centred in the gap to the next syllable of
    // the row, whichever measure it is in, or after the last syllable of the line when the
    // word goes on on the next line.
    void draw(BaseGDI& g) override;
};

// Fills an empty track line with the measures of a note track. Items the editor does not
// know (other classes, other mark types, bar types with bit 3 set) are skipped without
// taking an item index; returns how many were skipped.
int buildTrackLine(const format_track_header* format, Node& line, const note_track& track,
                   int trackIndex);

}  // namespace qe
