#pragma once

#include <array>

#include "music/item.h"
#include "music/meter.h"
#include "records/extension.h"

namespace qe::music {

// The running time of the items of one measure, in the order they are written. Each item
// starts where the one before it ended, and lasts:
// - a digit or rest: a quarter, halved once per underline;
// - a dash: a plain digit's value, a quarter, whatever stands before it;
// - an augmentation dot: half the value of what stands before it in the measure (a digit,
//   rest or dash, or the dot before it, so a second dot adds a quarter of the dotted note),
//   counted in whole shortest values: half of a seven-underline digit adds nothing, and a dot
//   with nothing before it in its measure adds nothing;
// - breath marks, parentheses and bar lines: no time.
// A bar line ends the measure: the item after it starts a new one at 0. Every start and
// length is a multiple of the shortest value, kShortestTicks, but in tuplets.
//
// A tuplet of n in the time of m plays its notes (each digit or rest with its dashes and dots)
// at m/n of their written time; a tuplet may hold one nested in it. Places inside a group are
// counted from the group's start and rounded down to a tick, so a group always takes exactly
// its written time × m/n whenever that is a whole number of ticks (a triplet of eighths is a
// quarter, a quintuplet of sixteenths a quarter, a duplet of eighths in 6/8 a dotted quarter).
class MeasureClock {
public:
    struct Span {
        Ticks start = 0;   // from the start of the measure
        Ticks length = 0;  // the item's own time
    };

    // Places the next item and returns where it stands. A bar line stands at the end of the
    // measure it closes, with no length.
    // `tuplets` are those of the item's note: a digit or rest passes its own, and the dashes
    // and dots after it take those of their note without being told.
    Span place(const Item& item, const std::array<TupletMark, 2>* tuplets = nullptr);

    // Where the next item would start.
    Ticks position() const { return position_; }

private:
    // An open tuplet group: where it started (in ticks of the level above: real ticks for the
    // outer group, written ticks of the outer group for a nested one) and the written time of
    // what it holds so far.
    struct Group {
        TupletMark mark;
        Ticks start = 0;
        Ticks written = 0;
        Ticks at(Ticks written) const { return start + written * mark.normal / mark.actual; }
    };
    void closeGroups() { groups_ = {}; }

    Ticks position_ = 0;
    Ticks value_ = 0;  // the value a dot placed next would halve
    std::array<Group, 2> groups_{};
    std::array<TupletMark, 2> noteTuplets_{};  // those of the last digit or rest
};

}  // namespace qe::music
