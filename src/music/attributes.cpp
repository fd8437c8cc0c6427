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

std::uint32_t passesOfLabel(std::u16string_view label) {
    std::uint32_t passes = 0;
    std::optional<int> previous;  // the number before a range sign
    bool range = false;
    for (std::size_t i = 0; i < label.size();) {
        const char16_t c = label[i];
        if (c >= u'0' && c <= u'9') {
            int n = 0;
            while (i < label.size() && label[i] >= u'0' && label[i] <= u'9' && n <= kMostPasses)
                n = n * 10 + (label[i++] - u'0');
            if (n < 1 || n > kMostPasses)
                return 0;
            const int from = range && previous ? std::min(*previous, n) : n;
            const int to = range && previous ? std::max(*previous, n) : n;
            for (int p = from; p <= to; ++p)
                passes |= 1u << (p - 1);
            previous = n;
            range = false;
            continue;
        }
        if (c == u'-' || c == u'~' || c == u'\u2013' || c == u'\u2014' || c == u'\uFF5E')
            range = true;
        ++i;
    }
    return passes;
}

}  // namespace qe::music
