#pragma once

#include <vector>

#include "engrave/surface.h"
#include "music/meter.h"

namespace qe {

class Measure;

// Spacing by time. A column is the measures of one index in every track of a system: they
// share one width, so that the bar lines of all parts line up, and every moment at which any
// of them starts an item gets one x in all of them. The room after a moment grows with the
// time to the next one, as a logarithm of it; what stands at a moment (digits, accidentals,
// grace notes, chord stacks, syllables, chord symbols) pushes moments apart only where it
// would otherwise touch.
//
// Widths scale with a unit: at unit 1 a column has its natural width, at unit 0 the least
// it can take without anything touching; a line is justified by the one unit at which its
// columns fill it, so that equal durations get equal room across the line.

// The room after a moment that lasts `time`, in widths of a digit, at unit 1: 2 for a
// quarter, 0.4 more for each doubling and 0.4 less for each halving.
double timeSpace(music::Ticks time);

// Between two measures of a line, at unit 1, in widths of a digit.
constexpr double kMeasureGap = 0.6;

class ColumnGrid {
public:
    ColumnGrid() = default;
    // The grid of the measures of one column (null for tracks that do not reach it), as their
    // last measuring left them.
    explicit ColumnGrid(const std::vector<Measure*>& measures);

    // The column's width at `unit`, bar line included, and how fast it grows with the unit.
    double width(double unit, double* slope = nullptr) const;
    // The width of a digit the spacing is reckoned in.
    int digitWidth() const { return digitWidth_; }
    // The natural width (unit 1) and the least (unit 0).
    int natural() const;
    int least() const;
    int barWidth() const { return barWidth_; }

    // Places the elements of every measure of the column at `unit`, all measures as wide as
    // the widest; `squeeze` < 1 narrows everything further, for a measure wider than a line.
    void place(double unit, double squeeze, Surface& g) const;

    const std::vector<Measure*>& measures() const { return measures_; }

private:
    // X(to) >= X(from) + rod + spring * unit. Moments are numbered from 1; 0 is the column's
    // left edge and moments + 1 the end of its content, where the bar line starts.
    struct Bound {
        int from;
        int to;
        double rod;
        double spring;
    };
    // The springs between the moments (`times`, sorted, ending at `end`) and the rods that
    // end the content.
    void addTimeBounds(const std::vector<music::Ticks>& times, music::Ticks end);
    // What the slots of measure `m` need: their moments (into `at`) and the room around each.
    void addSlotBounds(const Measure& m, const std::vector<music::Ticks>& times,
                       std::vector<int>& at);
    // The room after the last note of each tuplet group of measure `m`.
    void addTupletBounds(const Measure& m, const std::vector<int>& at);
    // The room the row texts of measure `m` need, by the moments of its slots.
    void addTextBounds(const Measure& m, const std::vector<int>& at);
    // Sorts the bounds by their ends, keeping the order of those of one end.
    void sortBounds();
    // The x of every moment at `unit` (index 0 the left edge), the last the content's end.
    void positions(double unit, std::vector<double>& x, std::vector<double>* slope) const;

    std::vector<Measure*> measures_;
    std::vector<Bound> bounds_;  // sorted by `to`
    // Per measure, per slot: the moment it stands at.
    std::vector<std::vector<int>> momentOf_;
    int moments_ = 0;
    int barWidth_ = 0;
    int digitWidth_ = 0;
    // Found when first asked: a measure spaced alone never asks.
    mutable int natural_ = -1;
    mutable int least_ = -1;
};

}  // namespace qe
