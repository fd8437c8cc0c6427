#include "music/rhythm.h"

namespace qe::music {

MeasureClock::Span MeasureClock::place(const Item& item) {
    Span span{position_, 0};
    switch (item.kind) {
        case Item::Kind::Digit:
        case Item::Kind::Rest:
            span.length = underlineTicks(item.underlines);
            value_ = span.length;
            break;
        case Item::Kind::Dash:
            span.length = kTicksPerQuarter;
            value_ = span.length;
            break;
        case Item::Kind::Dot:
            span.length = value_ / (2 * kShortestTicks) * kShortestTicks;
            value_ = span.length;
            break;
        case Item::Kind::BarLine:
            position_ = 0;
            value_ = 0;
            return span;
        default:
            break;  // marks take no time and leave the value a dot halves as it was
    }
    position_ += span.length;
    return span;
}

}  // namespace qe::music
