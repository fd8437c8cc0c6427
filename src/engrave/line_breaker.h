#pragma once

#include <vector>

#include "engrave/surface.h"
#include "engrave/time_grid.h"

namespace qe {

class System;
class LinearView;
class Node;
class format_track_header;

// Page mode does not break the track lines of the edit tree: it chooses which columns (the
// measures of one index in every track) go on each display line, shows them there through
// shadows, and justifies each display line to the page's content width by its time grid.

// A line is spaced at most this much wider than its natural spacing, and at least this much
// of it, where the breaking can choose; never narrower than the least room its contents need.
constexpr double kMostStretch = 1.5;
constexpr double kLeastSqueeze = 0.75;

// The columns of a view, each with its time grid: column c holds measure c of every track.
std::vector<ColumnGrid> columnGrids(const LinearView& view, int first = 0, int end = -1);

// Breaks the columns into lines over the whole score, choosing the breaks that make the
// lines least stretched or squeezed from their natural width in total, and never leaving a
// single measure alone on the last line when the line before it can give one up. A measure
// wider than a line gets a line of its own. Returns the end of each line, as
// LinearView::lineStarts holds them.
class LineBreaker {
public:
    std::vector<int> breakAll(const std::vector<ColumnGrid>& columns, int width);
    // The same breaks after columns [first, end) changed (end -1: every column from first on)
    // and `shift` columns came or went among them, so that column c >= end was c - shift:
    // reuses what the last breaking found before the change, and after it as soon as the
    // choices meet again.
    std::vector<int> breakAgain(const std::vector<ColumnGrid>& columns, int width, int first,
                                int end, int shift);

    // What a line of the columns [from, to) costs, not the last line of the score, in
    // thousandths; 2^60 when it cannot hold them.
    static long long lineCost(const std::vector<ColumnGrid>& columns, int from, int to, int width);
    // What the last line costs: nothing for its own shortness.
    static long long lastLineCost(const std::vector<ColumnGrid>& columns, int from, int width);
    // The columns from `from` to the end broken into exactly `lines` lines, none of them
    // spaced beyond the stretch and squeeze limits, at the least total cost: the end of each
    // line. Empty when they cannot be.
    static std::vector<int> breakInto(const std::vector<ColumnGrid>& columns, int width, int from,
                                      int lines);

private:
    std::vector<int> choose(const std::vector<ColumnGrid>& columns, int width, int from, int end,
                            int shift);
    // Where the last line starts: the best of its starts, by its own cost.
    int lastLineStart(const std::vector<ColumnGrid>& columns, int width) const;
    // The lines starting at columns [from, to), each of every length whose columns fit.
    void costLines(const std::vector<ColumnGrid>& columns, int width, int from, int to);
    // After columns [first, end) changed and `shift` came or went among them: the lines
    // that hold none of them are kept, the others costed again.
    void updateLines(const std::vector<ColumnGrid>& columns, int width, int first, int end,
                     int shift);

    // Per column i, what the line of the columns [i, i + k + 1) costs at [k], not as the
    // last line, for every k whose columns' least width fits the line (k = 0 always): lines
    // hold few measures, and a change reprices only the lines that hold it, so breaking
    // again looks these up instead of pricing every line anew.
    std::vector<std::vector<long long>> lines_;
    std::size_t longest_ = 0;  // no entry of lines_ is longer

    // Per column count j: the least total cost of lines ending exactly at j, and where the
    // last of those lines starts.
    std::vector<long long> cost_;
    std::vector<int> start_;
    int width_ = -1;
};

// The width of the columns [from, to) as one line at `unit`, gaps between measures included,
// and how fast it grows with the unit.
double lineWidth(const std::vector<ColumnGrid>& columns, int from, int to, double unit,
                 double* slope = nullptr);
// The unit at which the columns [from, to) fill `width`; 0 when even their least width is
// wider (`squeeze` then says how much narrower everything is drawn), else `squeeze` is 1.
double unitFor(const std::vector<ColumnGrid>& columns, int from, int to, int width,
               double* squeeze);

// Builds display line `k` of the view's line starts: places its columns at `unit` (narrowed
// by `squeeze`) and appends one note line of shadows per track that reaches the line's first
// column, ending at `width` when it is not 0. Throws kOutOfRange for a line that does not
// exist and kWrongKind for an empty range.
void buildLine(int k, LinearView& view, const std::vector<ColumnGrid>& columns, double unit,
               double squeeze, Surface& g, System& target, int width = 0);

// The unit a line of the score gets: justified to `width`, or for the last line, the unit of
// the line above (`above`; the natural unit when it is 0) when that leaves it short of
// kFullLastLine of the width, so that "5 - - -" is not spread over the page.
constexpr double kFullLastLine = 0.75;
double lineUnit(const std::vector<ColumnGrid>& columns, int from, int to, int width, bool last,
                double above, double* squeeze, bool* justified);

// Places the measures of a line of shadows (or of a whole track line) from x = 0, each after
// the one before by the gap of `unit`, or by gaps that make the line end at `width` when it
// is not 0; the line's width becomes what they take.
void spaceLine(Node& line, double unit, int digitWidth, int width = 0);

}  // namespace qe
