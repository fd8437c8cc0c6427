#pragma once

#include "music/item.h"
#include "music/meter.h"

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
// length is a multiple of the shortest value, kShortestTicks.
class MeasureClock {
public:
    struct Span {
        Ticks start = 0;   // from the start of the measure
        Ticks length = 0;  // the item's own time
    };

    // Places the next item and returns where it stands. A bar line stands at the end of the
    // measure it closes, with no length.
    Span place(const Item& item);

    // Where the next item would start.
    Ticks position() const { return position_; }

private:
    Ticks position_ = 0;
    Ticks value_ = 0;  // the value a dot placed next would halve
};

}  // namespace qe::music
