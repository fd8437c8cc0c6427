#include "music/rhythm.h"

namespace qe::music {

MeasureClock::Span MeasureClock::place(const Item& item, const std::array<TupletMark, 2>* tuplets) {
    Ticks written = 0;
    switch (item.kind) {
        case Item::Kind::Digit:
        case Item::Kind::Rest:
            written = underlineTicks(item.underlines);
            value_ = written;
            noteTuplets_ = tuplets ? *tuplets : std::array<TupletMark, 2>{};
            break;
        case Item::Kind::Dash:
            written = kTicksPerQuarter;
            value_ = written;
            break;
        case Item::Kind::Dot:
            written = value_ / (2 * kShortestTicks) * kShortestTicks;
            value_ = written;
            break;
        case Item::Kind::BarLine: {
            const Span span{position_, 0};
            position_ = 0;
            value_ = 0;
            noteTuplets_ = {};
            closeGroups();
            return span;
        }
        default:
            return Span{position_, 0};  // marks take no time and leave the value a dot halves
    }
    const TupletMark& outer = noteTuplets_[0];
    if (!outer.active() || outer.normal == 0) {
        closeGroups();
        const Span span{position_, written};
        position_ += written;
        return span;
    }
    // A group starts where the note says so, or where the tuplet changes.
    const bool isNote = item.isNoteOrRest();
    Group& g0 = groups_[0];
    if (!g0.mark.active() || (isNote && outer.starts) || g0.mark.actual != outer.actual ||
        g0.mark.normal != outer.normal) {
        g0 = Group{outer, position_, 0};
        groups_[1] = Group{};
    }
    const TupletMark& inner = noteTuplets_[1];
    Group& g1 = groups_[1];
    Ticks before = g0.written;
    if (inner.active() && inner.normal != 0) {
        if (!g1.mark.active() || (isNote && inner.starts) || g1.mark.actual != inner.actual ||
            g1.mark.normal != inner.normal)
            g1 = Group{inner, g0.written, 0};
        before = g1.at(g1.written);
        g1.written += written;
        g0.written = g1.at(g1.written);
    } else {
        g1 = Group{};
        g0.written += written;
    }
    const Span span{g0.at(before), g0.at(g0.written) - g0.at(before)};
    position_ = span.start + span.length;
    return span;
}

}  // namespace qe::music
