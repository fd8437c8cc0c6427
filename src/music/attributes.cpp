#include "music/attributes.h"

#include <algorithm>

namespace qe::music {

std::optional<Key> keyOfMark(const MeasureMark& mark) {
    std::optional<Key> key = Key::fromTitle(mark.keyLetter, mark.keyAccidental);
    if (key)
        *key = key->shifted(mark.tonicShift);
    return key;
}

void setMark(doc_header& header, const MeasureMark& mark) {
    auto& marks = header.marks;
    const auto at = std::lower_bound(
        marks.begin(), marks.end(), mark.measure,
        [](const MeasureMark& m, std::uint32_t measure) { return m.measure < measure; });
    if (at != marks.end() && at->measure == mark.measure) {
        if (mark.empty())
            marks.erase(at);
        else
            *at = mark;
    } else if (!mark.empty()) {
        marks.insert(at, mark);
    }
}

Attributes::Attributes(const doc_header& header) {
    MeasureAttributes start{Key::fromTitle(header).value_or(Key()), Meter::of(header),
                            header.freeMeter, header.tempo};
    spans_.push_back(Span{0, start});
    for (const MeasureMark& mark : header.marks) {
        if (mark.measure > static_cast<std::uint32_t>(INT32_MAX))
            break;
        MeasureAttributes next = spans_.back().attributes;
        if (mark.keyChange)
            if (std::optional<Key> key = keyOfMark(mark))
                next.key = *key;
        if (mark.meterChange) {
            next.free = mark.numerator == 0;
            if (!next.free)
                next.meter = Meter{mark.numerator, mark.denominator};
        }
        // Words alone ("rit.") leave the number in force.
        if (mark.tempo.perMinute > 0)
            next.tempo = mark.tempo;
        if (next == spans_.back().attributes)
            continue;
        const int from = static_cast<int>(mark.measure);
        if (from == spans_.back().from)
            spans_.back().attributes = next;
        else
            spans_.push_back(Span{from, next});
    }
}

Attributes::Attributes(const Key& key, const Meter& meter) {
    spans_.push_back(Span{0, MeasureAttributes{key, meter, false, {}}});
}

const MeasureAttributes& Attributes::at(int measure) const {
    const auto after = std::upper_bound(spans_.begin(), spans_.end(), measure,
                                        [](int m, const Span& s) { return m < s.from; });
    return after == spans_.begin() ? spans_.front().attributes : std::prev(after)->attributes;
}

}  // namespace qe::music
