#include "engrave/time_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engrave/measure.h"

namespace qe {

double timeSpace(music::Ticks time) {
    if (time <= 0)
        return 0.0;
    const double quarters = static_cast<double>(time) / music::kTicksPerQuarter;
    return std::max(0.5, 2.0 + 0.4 * std::log2(quarters));
}

namespace {

// The moment of a slot starting at `t`, among the sorted start times of the column.
int momentAt(const std::vector<music::Ticks>& times, music::Ticks t) {
    return static_cast<int>(std::lower_bound(times.begin(), times.end(), t) - times.begin()) + 1;
}

}  // namespace

ColumnGrid::ColumnGrid(const std::vector<Measure*>& measures) : measures_(measures) {
    std::vector<music::Ticks> times;
    music::Ticks end = 0;
    std::size_t slots = 0;
    std::size_t texts = 0;
    for (const Measure* m : measures_) {
        if (m) {
            slots += m->timeSlots().size();
            texts += m->rowTexts().size();
        }
    }
    times.reserve(slots);
    bounds_.reserve(4 * slots + 2 * texts + 2);
    momentOf_.reserve(measures_.size());
    for (const Measure* m : measures_) {
        if (!m)
            continue;
        for (const Measure::Slot& slot : m->timeSlots())
            times.push_back(slot.start);
        end = std::max(end, m->length());
        barWidth_ = std::max(barWidth_, m->barWidth);
        digitWidth_ = std::max(digitWidth_, m->digitWidth());
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    moments_ = static_cast<int>(times.size());
    addTimeBounds(times, end);
    for (const Measure* m : measures_) {
        momentOf_.emplace_back();
        if (!m)
            continue;
        std::vector<int>& at = momentOf_.back();
        addSlotBounds(*m, times, at);
        addTextBounds(*m, at);
    }
    sortBounds();
}

void ColumnGrid::addTimeBounds(const std::vector<music::Ticks>& times, music::Ticks end) {
    const int contentEnd = moments_ + 1;
    const double dw = digitWidth_;
    // Each moment stands after the one before it by the room its time takes; the content
    // ends after the last one by the room of the time left to the end of the measure, less
    // what the bar line and the gap after it give back, so that a bar line stands about as
    // far from the note before it as from the note after it.
    for (int k = 1; k <= moments_; ++k) {
        const double spring = k > 1 ? dw * timeSpace(times[static_cast<std::size_t>(k - 1)] -
                                                     times[static_cast<std::size_t>(k - 2)])
                                    : 0.0;
        bounds_.push_back({k - 1, k, 0.0, spring});
    }
    if (moments_ > 0 && end > times.back())
        bounds_.push_back({moments_, contentEnd, -0.75 * dw, dw * timeSpace(end - times.back())});
    bounds_.push_back({moments_, contentEnd, 0.0, 0.0});
}

void ColumnGrid::addSlotBounds(const Measure& m, const std::vector<music::Ticks>& times,
                               std::vector<int>& at) {
    const int contentEnd = moments_ + 1;
    at.reserve(m.timeSlots().size());
    const std::vector<Measure::Slot>& slots = m.timeSlots();
    for (std::size_t s = 0; s < slots.size(); ++s) {
        const Measure::Slot& slot = slots[s];
        const int k = momentAt(times, slot.start);
        at.push_back(k);
        // Nothing reaches left of the measure's start, nor into the slot before it, nor past
        // the bar line.
        bounds_.push_back({0, k, static_cast<double>(slot.left), 0.0});
        if (s > 0 && at[s - 1] < k)
            bounds_.push_back(
                {at[s - 1], k, static_cast<double>(slots[s - 1].right + slot.left), 0.0});
        if (s + 1 == slots.size())
            bounds_.push_back({k, contentEnd, static_cast<double>(slot.right), 0.0});
    }
    addTupletBounds(m, at);
}

void ColumnGrid::addTupletBounds(const Measure& m, const std::vector<int>& at) {
    // After the last note of a tuplet group the next moment stands as far as it would after
    // one note as long as the whole group: the group's own notes stand closer, evenly, and
    // would otherwise run on into the note after them.
    const int contentEnd = moments_ + 1;
    const double dw = digitWidth_;
    const std::vector<Measure::Slot>& slots = m.timeSlots();
    for (std::size_t s = 0; s < slots.size(); ++s) {
        if (slots[s].tupletGroup <= 0)
            continue;
        const double spring = dw * timeSpace(slots[s].tupletGroup);
        if (s + 1 < slots.size())
            bounds_.push_back({at[s], at[s + 1], 0.0, spring});
        else if (slots[s].start < m.length())
            bounds_.push_back({at[s], contentEnd, -0.75 * dw, spring});
    }
}

void ColumnGrid::addTextBounds(const Measure& m, const std::vector<int>& at) {
    const int contentEnd = moments_ + 1;
    // The texts of a row keep a gap between them; the first stands half a gap after the
    // measure's start and the last ends half a gap before its end, so that texts of two
    // measures keep a gap across the bar line.
    const std::vector<Measure::RowText>& texts = m.rowTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const Measure::RowText& text = texts[i];
        if (text.slot < 0 || static_cast<std::size_t>(text.slot) >= at.size())
            continue;
        const int k = at[static_cast<std::size_t>(text.slot)];
        const bool first = i == 0 || texts[i - 1].row != text.row;
        const bool last = i + 1 == texts.size() || texts[i + 1].row != text.row;
        if (first) {
            bounds_.push_back({0, k, text.gap / 2.0 - text.left, 0.0});
        } else {
            const Measure::RowText& before = texts[i - 1];
            const int j = at[static_cast<std::size_t>(before.slot)];
            if (j < k)
                bounds_.push_back(
                    {j, k, static_cast<double>(before.right + text.gap - text.left), 0.0});
        }
        // Words at a note may run on over the bar line, as a "poco a poco" does: the measure
        // is not stretched to hold them.
        if (last && text.row != Measure::RowText::kWordsAboveRow &&
            text.row != Measure::RowText::kWordsBelowRow)
            bounds_.push_back({k, contentEnd, text.right + text.gap / 2.0, 0.0});
    }
}

void ColumnGrid::sortBounds() {
    // In the order of their ends, each end's bounds as they came: a counting sort, since a
    // grid is made for every measure measured.
    const int contentEnd = moments_ + 1;
    std::vector<int> first(static_cast<std::size_t>(contentEnd) + 2, 0);
    for (const Bound& b : bounds_)
        ++first[static_cast<std::size_t>(b.to) + 1];
    for (std::size_t i = 1; i < first.size(); ++i)
        first[i] += first[i - 1];
    std::vector<Bound> sorted(bounds_.size());
    for (const Bound& b : bounds_)
        sorted[static_cast<std::size_t>(first[static_cast<std::size_t>(b.to)]++)] = b;
    bounds_.swap(sorted);
}

int ColumnGrid::natural() const {
    if (natural_ < 0)
        natural_ = static_cast<int>(std::lround(width(1.0)));
    return natural_;
}

int ColumnGrid::least() const {
    if (least_ < 0)
        least_ = static_cast<int>(std::lround(width(0.0)));
    return least_;
}

void ColumnGrid::positions(double unit, std::vector<double>& x, std::vector<double>* slope) const {
    const std::size_t count = static_cast<std::size_t>(moments_) + 2;
    x.assign(count, -std::numeric_limits<double>::infinity());
    x[0] = 0.0;
    if (slope)
        slope->assign(count, 0.0);
    for (const Bound& b : bounds_) {
        const double at = x[static_cast<std::size_t>(b.from)] + b.rod + b.spring * unit;
        double& to = x[static_cast<std::size_t>(b.to)];
        if (slope) {
            const double s = (*slope)[static_cast<std::size_t>(b.from)] + b.spring;
            double& toSlope = (*slope)[static_cast<std::size_t>(b.to)];
            // Of equal candidates the steeper one decides from here on.
            if (at > to + 1e-9 || (at > to - 1e-9 && s > toSlope))
                toSlope = s;
        }
        to = std::max(to, at);
    }
}

double ColumnGrid::width(double unit, double* slope) const {
    // Asked for many times while a line is justified: the buffers are kept.
    thread_local std::vector<double> x;
    thread_local std::vector<double> s;
    positions(unit, x, slope ? &s : nullptr);
    if (slope)
        *slope = s.back();
    return x.back() + barWidth_;
}

void ColumnGrid::place(double unit, double squeeze, Surface& g) const {
    thread_local std::vector<double> x;
    positions(unit, x, nullptr);
    const auto at = [&](double v) { return static_cast<int>(std::lround(v * squeeze)); };
    // Every measure of the column as wide as the widest bar line makes it, its own bar line
    // at its right end, so that all of them end together.
    const int width = at(x.back()) + barWidth_;
    thread_local std::vector<int> centres;
    for (std::size_t t = 0; t < measures_.size(); ++t) {
        Measure* m = measures_[t];
        if (!m)
            continue;
        centres.clear();
        for (int k : momentOf_[t])
            centres.push_back(at(x[static_cast<std::size_t>(k)]));
        m->place(centres, width, g);
    }
}

}  // namespace qe
