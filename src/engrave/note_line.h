#pragma once

#include <memory>

#include "engrave/node.h"

namespace qe {

class Measure;

namespace music {
struct Measure;
struct Track;
}  // namespace music

// A row of measures: a whole note track in scroll mode (a track line), or one track's share
// of a display line in page mode. Children are top-aligned; the line is as deep as its
// deepest child.
class NoteLine : public Node {
public:
    static constexpr int kTrackLineMargin = 40;

    NoteLine(const format_track_header* format, int marginTop, int marginBottom);

    // Makes room above the measures for what they draw over their digits (chord symbols,
    // tuplet numbers, fermatas, chord stacks) beyond their own top padding.
    void arrange(Surface& g) override;
    // How far that reaches above the measures' tops: 0 when nothing does.
    int roomAbove() const;
    // The hyphens between the syllables of a word: centred in the gap to the next syllable of
    // the row, whichever measure it is in, or after the last syllable of the line when the
    // word goes on on the next line.
    void draw(Surface& g) const override;
};

// The measure node that shows a measure of the score: its elements in order, with the
// syllables of their items. Records the editor does not know show nothing.
std::unique_ptr<Measure> buildMeasure(const format_track_header* format, const music::Measure& m);

// Fills an empty track line with the measures of a track of the score: one measure node per
// measure, its elements in order with the syllables of their items. Records the editor does
// not know show nothing.
void buildTrackLine(const format_track_header* format, Node& line, const music::Track& track);

}  // namespace qe
