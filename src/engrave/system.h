#pragma once

#include <memory>
#include <vector>

#include "engrave/node.h"
#include "engrave/text.h"

namespace qe {

// A column of lines, left-aligned, each separated from the next by the bottom margin of the
// upper and the top margin of the lower. Page mode's display lines are complex lines holding
// one note line of shadows per track.
class System : public Node {
public:
    static constexpr int kDisplayLineMargin = 80;
    // A system of several tracks stands this much further from the systems above and below
    // it, so that the eye tells the parts of one system from the next system.
    static constexpr int kSystemMargin = 240;
    // The bracket that joins the tracks of a system stands this far left of the notes, with
    // hooks this long at both ends: short of a fermata over the first note, which is wider
    // than its digit.
    static constexpr int kBracketOffset = 120;
    static constexpr int kBracketHook = 40;

    System() : Node(kComplexLine) {}
    // A display line: 80 above and 80 below; a system of `tracks` >= 2 further apart, joined
    // by a bracket.
    static std::unique_ptr<System> displayLine(int tracks = 1);

    void arrange(Surface& g) override;
    void draw(Surface& g) const override;

    // Draws a thin bracket at the left of the rows of several track lines, from the top of the
    // first row's bar lines to the bottom of the last's.
    bool joinsTracks = false;
    // A display line of page mode: the unit of its time grid (1 at natural spacing), which
    // the last line of a score takes up when it is short; `squeeze` < 1 when a measure wider
    // than the line was narrowed into it.
    double unit = 0.0;
    double squeeze = 1.0;
    // The part names before the rows of a display line (the names on the first line, the short
    // names on later ones), in the line's frame: they stand in the page's left margin.
    std::vector<Text> labels;

protected:
    void drawTrackBracket(Surface& g) const;
};

}  // namespace qe
