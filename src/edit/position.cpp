#include "edit/position.h"

namespace qe {

namespace {

bool hasAccidental(const music::Item& item) {
    return item.isNoteOrRest() && item.accidental != 0;
}

}  // namespace

std::vector<Stop> stopsOf(const music::Measure& measure) {
    std::vector<Stop> stops;
    const int n = measure.contentCount();
    for (int e = 0; e < n; ++e) {
        const std::optional<music::Item> item =
            music::decode(measure.entries[static_cast<std::size_t>(e)].record);
        if (!item)
            continue;
        stops.push_back({e, false});
        if (hasAccidental(*item))
            stops.push_back({e, true});
    }
    stops.push_back({n, false});
    return stops;
}

int stopCount(const music::Measure& measure) {
    int count = 0;
    const int n = measure.contentCount();
    for (int e = 0; e < n; ++e) {
        const std::optional<music::Item> item =
            music::decode(measure.entries[static_cast<std::size_t>(e)].record);
        if (item)
            count += hasAccidental(*item) ? 2 : 1;
    }
    return count;
}

int stopIndex(const music::Measure& measure, const Position& at) {
    const std::vector<Stop> stops = stopsOf(measure);
    for (std::size_t i = 0; i < stops.size(); ++i)
        if (stops[i].entry == at.entry && stops[i].inner == at.inner)
            return static_cast<int>(i);
    return -1;
}

Position positionAt(const music::Score& score, int t, int m, int index) {
    const std::vector<Stop> stops = stopsOf(score.measure(t, m));
    const Stop& s = stops[static_cast<std::size_t>(
        std::clamp(index, 0, static_cast<int>(stops.size()) - 1))];
    return {t, m, s.entry, s.inner};
}

bool isValid(const music::Score& score, const Position& at) {
    if (at.track < 0 || at.track >= score.trackCount() || at.measure < 0 ||
        at.measure >= score.measureCount(at.track))
        return false;
    return stopIndex(score.measure(at.track, at.measure), at) >= 0;
}

Position endOf(const music::Score& score, int t, int m) {
    return {t, m, score.measure(t, m).contentCount(), false};
}

std::optional<Position> startOf(const music::Score& score) {
    for (int t = 0; t < score.trackCount(); ++t)
        if (score.measureCount(t) > 0)
            return positionAt(score, t, 0, 0);
    return std::nullopt;
}

Position stepLeft(const music::Score& score, const Position& at) {
    const music::Measure& measure = score.measure(at.track, at.measure);
    const int i = stopIndex(measure, at);
    if (i > 0)
        return positionAt(score, at.track, at.measure, i - 1);
    // From the start of a measure to the end of the one before, in front of its bar line.
    if (at.measure > 0)
        return endOf(score, at.track, at.measure - 1);
    return at;
}

Position stepRight(const music::Score& score, const Position& at) {
    const music::Measure& measure = score.measure(at.track, at.measure);
    const std::vector<Stop> stops = stopsOf(measure);
    const int i = stopIndex(measure, at);
    if (i >= 0 && i + 1 < static_cast<int>(stops.size()))
        return {at.track, at.measure, stops[static_cast<std::size_t>(i) + 1].entry,
                stops[static_cast<std::size_t>(i) + 1].inner};
    // Past the bar line: the start of the next measure.
    if (at.measure + 1 < score.measureCount(at.track))
        return positionAt(score, at.track, at.measure + 1, 0);
    return at;
}

Position afterItem(const music::Score& score, const Position& at) {
    const music::Measure& measure = score.measure(at.track, at.measure);
    if (at.entry >= measure.contentCount())
        return stepRight(score, at);
    const int next = itemAtOrAfter(measure, itemAtOrAfter(measure, at.entry) + 1);
    if (next >= measure.contentCount())
        return endOf(score, at.track, at.measure);
    return {at.track, at.measure, next, false};
}

bool before(const music::Score& score, const Position& a, const Position& b) {
    if (a.track != b.track)
        return a.track < b.track;
    if (a.measure != b.measure)
        return a.measure < b.measure;
    const music::Measure& m = score.measure(a.track, a.measure);
    return stopIndex(m, a) < stopIndex(m, b);
}

int itemAtOrAfter(const music::Measure& measure, int e) {
    const int n = measure.contentCount();
    for (; e < n; ++e)
        if (music::decode(measure.entries[static_cast<std::size_t>(e)].record))
            return e;
    return n;
}

}  // namespace qe
