#include "engrave/line_breaker.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "base/exception.h"
#include "engrave/linear_view.h"
#include "engrave/measure.h"
#include "engrave/note_line.h"
#include "engrave/shadow_node.h"
#include "engrave/system.h"
#include "engrave/volta_bracket.h"
#include "music/score.h"

namespace qe {

namespace {

// Costs are whole thousandths, so that sums are exact and the same lines cost the same
// whichever order they were added in: breaking again after a change must choose as breaking
// anew does, ties included.
using Cost = long long;
constexpr Cost kInfinite = Cost{1} << 60;
// Every line costs this much before its badness, so that of equally good breakings the one
// with fewer lines wins.
constexpr double kLinePenalty = 10.0;
// A line spaced beyond the limits, or a measure alone on the last line: chosen only when
// nothing else can be.
constexpr double kOutsideLimits = 1e6;
constexpr double kLoneLastMeasure = 1e5;
// A measure wider than a line has a line of its own, squeezed.
constexpr double kOverwide = 1e7;

double gapOf(const ColumnGrid& column) {
    return column.digitWidth() * kMeasureGap;
}

// The natural and least widths of the columns [from, to) as a line.
void widths(const std::vector<ColumnGrid>& columns, int from, int to, double& natural,
            double& least) {
    natural = 0.0;
    least = 0.0;
    for (int c = from; c < to; ++c) {
        const ColumnGrid& column = columns[static_cast<std::size_t>(c)];
        natural += column.natural() + (c > from ? gapOf(column) : 0.0);
        least += column.least();
    }
}

// The badness of a line of natural width set to `width`: 0 at its natural spacing, 100 when
// stretched to the limit or squeezed to 85 % of it. Spacing grows in proportion to the unit
// wherever digits do not touch, so the ratio of the widths is the ratio of the spacings.
double badness(double natural, double width, bool* outside) {
    const double ratio = natural > 0.0 ? width / natural : 1.0;
    double b = 0.0;
    if (ratio >= 1.0)
        b = (ratio - 1.0) / (kMostStretch - 1.0);
    else
        b = (1.0 - ratio) / 0.15;
    *outside = ratio > kMostStretch || ratio < kLeastSqueeze;
    b = std::min(b, 4.0);
    return 100.0 * b * b * b;
}

// What a line of these widths costs; a single measure wider than the line is squeezed into it.
Cost costOf(double natural, double least, int width, bool single) {
    if (least > width)
        return single ? std::llround(kOverwide * 1000) : kInfinite;
    bool outside = false;
    const double bad = badness(natural, width, &outside);
    return std::llround(
        ((kLinePenalty + bad) * (kLinePenalty + bad) + (outside ? kOutsideLimits : 0.0)) * 1000);
}

Cost sum(Cost a, Cost b) {
    return a >= kInfinite || b >= kInfinite ? kInfinite : a + b;
}

}  // namespace

std::vector<ColumnGrid> columnGrids(const LinearView& view, int first, int end) {
    int columns = 0;
    for (int t = 0; t < view.childCount(); ++t)
        columns = std::max(columns, view.child(t)->childCount());
    if (end < 0 || end > columns)
        end = columns;
    std::vector<ColumnGrid> grids;
    std::vector<Measure*> measures;
    for (int c = first; c < end; ++c) {
        measures.clear();
        for (int t = 0; t < view.childCount(); ++t)
            measures.push_back(view.measureNode(t, c));
        grids.emplace_back(measures);
    }
    return grids;
}

long long LineBreaker::lineCost(const std::vector<ColumnGrid>& columns, int from, int to,
                                int width) {
    double natural = 0.0;
    double least = 0.0;
    widths(columns, from, to, natural, least);
    return costOf(natural, least, width, to - from == 1);
}

long long LineBreaker::lastLineCost(const std::vector<ColumnGrid>& columns, int from, int width) {
    const int to = static_cast<int>(columns.size());
    double natural = 0.0;
    double least = 0.0;
    widths(columns, from, to, natural, least);
    // A short last line is not stretched: it costs only being a line.
    Cost cost = natural <= width ? std::llround(kLinePenalty * kLinePenalty * 1000)
                                 : lineCost(columns, from, to, width);
    if (to - from == 1 && from > 0)
        cost = sum(cost, std::llround(kLoneLastMeasure * 1000));
    return cost;
}

std::vector<int> LineBreaker::breakInto(const std::vector<ColumnGrid>& columns, int width, int from,
                                        int lines) {
    const int n = static_cast<int>(columns.size()) - from;
    if (lines < 1 || n < lines)
        return {};
    // Lines beyond the limits are left out, whatever else they would cost.
    const Cost limit = std::llround(kOutsideLimits * 1000);
    const auto rows = static_cast<std::size_t>(lines) + 1;
    const auto cols = static_cast<std::size_t>(n) + 1;
    // best[k * cols + j]: the least cost of k lines ending after column from + j.
    std::vector<Cost> best(rows * cols, kInfinite);
    std::vector<int> start(rows * cols, 0);
    best[0] = 0;
    for (int k = 1; k <= lines; ++k)
        for (int j = k; j <= n - (lines - k); ++j) {
            const bool last = k == lines;
            if (last && j != n)
                continue;
            for (int i = j - 1; i >= k - 1; --i) {
                const Cost before = best[static_cast<std::size_t>(k - 1) * cols + i];
                const Cost line = last ? lastLineCost(columns, from + i, width)
                                       : lineCost(columns, from + i, from + j, width);
                if (line >= kInfinite)
                    break;  // and every longer line
                if (line >= limit || before >= kInfinite)
                    continue;
                const std::size_t at = static_cast<std::size_t>(k) * cols + j;
                if (before + line < best[at]) {
                    best[at] = before + line;
                    start[at] = i;
                }
            }
        }
    if (best[static_cast<std::size_t>(lines) * cols + n] >= kInfinite)
        return {};
    std::vector<int> ends(static_cast<std::size_t>(lines));
    for (int k = lines, j = n; k > 0; --k) {
        ends[static_cast<std::size_t>(k) - 1] = from + j;
        j = start[static_cast<std::size_t>(k) * cols + j];
    }
    return ends;
}

void LineBreaker::costLines(const std::vector<ColumnGrid>& columns, int width, int from, int to) {
    const int n = static_cast<int>(columns.size());
    for (int i = from; i < to; ++i) {
        std::vector<Cost>& line = lines_[static_cast<std::size_t>(i)];
        line.clear();
        // Summed as lineCost sums them, so that a line costs the same looked up or priced.
        double natural = 0.0;
        double least = 0.0;
        for (int c = i; c < n; ++c) {
            const ColumnGrid& column = columns[static_cast<std::size_t>(c)];
            natural += column.natural() + (c > i ? gapOf(column) : 0.0);
            least += column.least();
            if (least > width && c > i)
                break;
            line.push_back(costOf(natural, least, width, c == i));
        }
        longest_ = std::max(longest_, line.size());
    }
}

void LineBreaker::updateLines(const std::vector<ColumnGrid>& columns, int width, int first, int end,
                              int shift) {
    const int n = static_cast<int>(columns.size());
    const int oldN = static_cast<int>(lines_.size());
    if (end < 0 || end > n)
        end = n;
    first = std::clamp(first, 0, std::min(end, oldN));
    const int oldEnd = std::clamp(end - shift, first, oldN);
    // The changed columns' lines go, as many new ones come (in place when as many).
    if (oldEnd - first != end - first) {
        lines_.erase(lines_.begin() + first, lines_.begin() + oldEnd);
        lines_.insert(lines_.begin() + first, static_cast<std::size_t>(end - first), {});
    }
    if (static_cast<int>(lines_.size()) != n || oldN == 0) {
        // A change that does not add up: everything is priced anew.
        lines_.assign(static_cast<std::size_t>(n), {});
        longest_ = 0;
        costLines(columns, width, 0, n);
        return;
    }
    // Lines from before the change that reach into it.
    costLines(columns, width, std::max(0, first - static_cast<int>(longest_)), end);
}

std::vector<int> LineBreaker::breakAll(const std::vector<ColumnGrid>& columns, int width) {
    cost_.clear();
    start_.clear();
    lines_.assign(columns.size(), {});
    longest_ = 0;
    costLines(columns, width, 0, static_cast<int>(columns.size()));
    return choose(columns, width, 0, 0, 0);
}

std::vector<int> LineBreaker::breakAgain(const std::vector<ColumnGrid>& columns, int width,
                                         int first, int end, int shift) {
    if (width != width_ || cost_.empty() || first < 0)
        return breakAll(columns, width);
    updateLines(columns, width, first, end, shift);
    return choose(columns, width, first, end, shift);
}

namespace {

// The best line ending at column count j: the least total cost, where that line starts, and
// the earliest start looked at.
struct Ending {
    Cost cost = kInfinite;
    int start = 0;
    int lowest = 0;
};

Ending bestEnding(const std::vector<std::vector<Cost>>& lines, const std::vector<Cost>& cost,
                  int j) {
    Cost best = kInfinite;
    int bestStart = j - 1;
    int i = j - 1;
    for (; i >= 0; --i) {
        // A line that does not fit, and every longer one, has no entry.
        const std::vector<Cost>& line = lines[static_cast<std::size_t>(i)];
        const auto length = static_cast<std::size_t>(j - i);
        if (length > line.size())
            break;
        // Of equal costs the longest line wins, so that a score of equal measures absorbs
        // a change in one of them near it instead of shifting every break after it.
        const Cost c = sum(cost[static_cast<std::size_t>(i)], line[length - 1]);
        if (c <= best) {
            best = c;
            bestStart = i;
        }
    }
    return {best, bestStart, i + 1};
}

}  // namespace

std::vector<int> LineBreaker::choose(const std::vector<ColumnGrid>& columns, int width, int first,
                                     int end, int shift) {
    const int n = static_cast<int>(columns.size());
    width_ = width;
    std::vector<Cost> oldCost;
    std::vector<int> oldStart;
    oldCost.swap(cost_);
    oldStart.swap(start_);
    const int oldN = static_cast<int>(oldCost.size()) - 1;
    // Lines ending at or before the first changed column are as they were.
    const int kept = std::clamp(first, 0, std::max(0, std::min(n, oldN)));
    cost_.assign(static_cast<std::size_t>(n) + 1, kInfinite);
    start_.assign(static_cast<std::size_t>(n) + 1, 0);
    if (kept > 0) {
        std::copy(oldCost.begin(), oldCost.begin() + kept + 1, cost_.begin());
        std::copy(oldStart.begin(), oldStart.begin() + kept + 1, start_.begin());
    }
    cost_[0] = 0;
    const bool reuse = oldN >= 0 && end >= 0;
    // Past the change, once every line end a line can start from has the old cost plus one
    // and the same delta, every later choice is the old one.
    Cost delta = 0;
    int sameSince = -1;  // the first j of the run of ends that agree with the old ones
    for (int j = std::max(1, kept + 1); j <= n; ++j) {
        const Ending best = bestEnding(lines_, cost_, j);
        cost_[static_cast<std::size_t>(j)] = best.cost;
        start_[static_cast<std::size_t>(j)] = best.start;
        if (!reuse || j < end || j - shift < 1 || j - shift > oldN)
            continue;
        const std::size_t o = static_cast<std::size_t>(j - shift);
        const bool finite = best.cost < kInfinite && oldCost[o] < kInfinite;
        const Cost d = finite ? best.cost - oldCost[o] : 0;
        const bool agrees = finite && oldStart[o] + shift == best.start && best.start >= end &&
                            (sameSince < 0 || d == delta);
        if (!agrees) {
            sameSince = -1;
            continue;
        }
        if (sameSince < 0) {
            sameSince = j;
            delta = d;
        }
        // The next line end looks back no further than this one did plus one column; when
        // all it can look at agrees, so does everything after it.
        if (best.lowest > sameSince && best.lowest >= end && j + 1 <= n) {
            for (int k = j + 1; k <= n; ++k) {
                const std::size_t ok = static_cast<std::size_t>(k - shift);
                cost_[static_cast<std::size_t>(k)] = oldCost[ok] + delta;
                start_[static_cast<std::size_t>(k)] = oldStart[ok] + shift;
            }
            break;
        }
    }
    std::vector<int> ends;
    if (n == 0)
        return ends;
    ends.push_back(n);
    for (int j = lastLineStart(columns, width); j > 0; j = start_[static_cast<std::size_t>(j)])
        ends.push_back(j);
    std::reverse(ends.begin(), ends.end());
    return ends;
}

int LineBreaker::lastLineStart(const std::vector<ColumnGrid>& columns, int width) const {
    const int n = static_cast<int>(columns.size());
    Cost best = kInfinite;
    int lastStart = n - 1;
    double least = 0.0;
    for (int i = n - 1; i >= 0; --i) {
        least += columns[static_cast<std::size_t>(i)].least();
        if (least > width && i < n - 1)
            break;
        const Cost c = sum(cost_[static_cast<std::size_t>(i)], lastLineCost(columns, i, width));
        if (c < best) {
            best = c;
            lastStart = i;
        }
    }
    return lastStart;
}

double lineWidth(const std::vector<ColumnGrid>& columns, int from, int to, double unit,
                 double* slope) {
    double total = 0.0;
    double rate = 0.0;
    for (int c = from; c < to; ++c) {
        const ColumnGrid& column = columns[static_cast<std::size_t>(c)];
        double s = 0.0;
        total += column.width(unit, slope ? &s : nullptr);
        rate += s;
        if (c > from) {
            total += unit * gapOf(column);
            rate += gapOf(column);
        }
    }
    if (slope)
        *slope = rate;
    return total;
}

double unitFor(const std::vector<ColumnGrid>& columns, int from, int to, int width,
               double* squeeze) {
    *squeeze = 1.0;
    const double least = lineWidth(columns, from, to, 0.0);
    if (least >= width) {
        // Everything but the bar lines narrows.
        double bars = 0.0;
        for (int c = from; c < to; ++c)
            bars += columns[static_cast<std::size_t>(c)].barWidth();
        if (least > width && least > bars)
            *squeeze = std::max(0.0, (width - bars - 0.5 * (to - from)) / (least - bars));
        return 0.0;
    }
    // The width grows with the unit, faster and faster: Newton's steps from above the
    // answer come down to it without passing it. Widths grow about in proportion to the
    // unit, which gives a start just above the answer.
    double unit = 1.0;
    double slope = 0.0;
    double w = lineWidth(columns, from, to, unit, &slope);
    if (w < width && w > 0)
        unit = width / w * 1.02;
    w = lineWidth(columns, from, to, unit, &slope);
    for (int i = 0; i < 40 && w < width; ++i) {
        unit *= 2.0;
        w = lineWidth(columns, from, to, unit, &slope);
    }
    for (int i = 0; i < 40 && w - width > 0.25 && slope > 0.0; ++i) {
        unit = std::max(0.0, unit - (w - width) / slope);
        w = lineWidth(columns, from, to, unit, &slope);
    }
    // A hair narrower, so that the measures' widths rounded to whole units never pass the
    // line's end; the gaps between them take up what is left.
    if (slope > 0.0)
        unit = std::max(0.0, unit - (w - width + 0.5 * (to - from) + 0.5) / slope);
    return unit;
}

double lineUnit(const std::vector<ColumnGrid>& columns, int from, int to, int width, bool last,
                double above, double* squeeze, bool* justified) {
    if (last) {
        const double unit = above > 0.0 ? std::min(above, kMostStretch) : 1.0;
        const double w = lineWidth(columns, from, to, unit);
        if (w < kFullLastLine * width) {
            *squeeze = 1.0;
            *justified = false;
            return unit;
        }
    }
    *justified = true;
    return unitFor(columns, from, to, width, squeeze);
}

namespace {

// Each track of a line keeps room for the lyric rows its syllables in the line use, in the
// track's order: a verse that has no syllable there leaves no empty row under the notes.
void showUsedLyricRows(LinearView& view, int first, int end) {
    for (int t = 0; t < view.childCount(); ++t) {
        Node* track = view.child(t);
        const int last = std::min(end, track->childCount());
        int rows = 0;
        std::vector<bool> used;
        for (int m = first; m < last; ++m) {
            const Measure* measure = asMeasure(track->child(m));
            if (!measure)
                continue;
            rows = std::max(rows, measure->lyrics().rowCount());
            for (int r : measure->lyricRowsUsed()) {
                if (r >= static_cast<int>(used.size()))
                    used.resize(static_cast<std::size_t>(r) + 1, false);
                used[static_cast<std::size_t>(r)] = true;
            }
        }
        std::shared_ptr<MeasureLyrics::Rows> shown;
        if (std::count(used.begin(), used.end(), true) < rows) {
            shown = std::make_shared<MeasureLyrics::Rows>(static_cast<std::size_t>(rows), -1);
            int next = 0;
            for (std::size_t r = 0; r < used.size() && r < shown->size(); ++r)
                if (used[r])
                    (*shown)[r] = next++;
        }
        for (int m = first; m < last; ++m) {
            if (Measure* measure = asMeasure(track->child(m))) {
                measure->showLyricRows(shown);
                measure->setLyricsTop(std::nullopt);
            }
        }
    }
}

// The lyrics of each track of a line start at one height, under the lowest ink of the line's
// row in that track, whatever each measure holds: the rows line up across the line and stand
// no lower than they need.
void alignLyrics(LinearView& view, int first, int end) {
    for (int t = 0; t < view.childCount(); ++t) {
        Node* track = view.child(t);
        const int last = std::min(end, track->childCount());
        std::optional<int> top;
        bool under = false;
        for (int m = first; m < last; ++m) {
            if (const Measure* measure = asMeasure(track->child(m))) {
                top = std::min(top.value_or(0), measure->inkBottom());
                under = under || measure->lyrics().depth() != 0 ||
                        measure->ornaments().depthBelow() != 0;
            }
        }
        if (!top || !under)
            continue;
        for (int m = first; m < last; ++m)
            if (Measure* measure = asMeasure(track->child(m)))
                measure->setLyricsTop(top);
    }
}

// Room kept between a track line of a system and the one above it: from the lowest box of the
// upper line (which ends a row spacing under its last lyric row, or the row's padding under
// its bar lines) to the highest ink of the lower (its bar lines, or the dots and marks over
// its notes), where the padding over the lower row would keep more.
constexpr int kTrackClearance = 120;

// Pulls a track line of a system up towards the one above it, as far as kTrackClearance
// allows; an ending bracket over the line (`bracket` high, 0 for none) stands over its ink.
void pullUp(Node& line, const Node& above, int bracket) {
    int inkTop = std::numeric_limits<int>::min();
    for (int i = 0; i < line.childCount(); ++i)
        if (const Measure* m = asMeasure(line.realChild(i)))
            inkTop = std::max(inkTop, line.child(i)->style.y +
                                          (bracket > 0 ? std::max(m->inkTop(), 0) + bracket
                                                       : m->inkTop()));
    if (inkTop == std::numeric_limits<int>::min())
        return;
    const int wanted = kTrackClearance + inkTop - above.style.marginBottom;
    // A bracket may need more room than the row keeps over its notes.
    line.style.marginTop = bracket > 0 ? wanted : std::min(line.style.marginTop, wanted);
}

}  // namespace

namespace {

// Whether a part after the first only rests in the measures [first, end): no digit, nothing
// written at a note, no words and no ending over them. The first part stays, for the marks
// and measure numbers that stand over it.
bool onlyRests(const music::Score& score, int t, int first, int end) {
    if (t == 0)
        return false;
    for (int m = first; m < std::min(end, score.measureCount(t)); ++m)
        for (const music::Entry& entry : score.measure(t, m).entries) {
            const std::optional<music::Item> item = entry.item();
            if ((item && item->isDigit()) || !entry.syllables.empty() || !entry.extras().empty())
                return false;
        }
    for (const music::Volta& volta : score.voltas())
        if (volta.track == t && volta.from < end && volta.to >= first)
            return false;
    return true;
}

// How high the bracket of an ending over track `t` in the measures [first, end) stands over
// their ink (VoltaBracket: its depth, its pen and a gap); 0 when none is there.
int endingOver(const LinearView& view, int t, int first, int end) {
    if (!view.score || !view.format)
        return 0;
    const std::vector<music::Volta>& voltas = view.score->voltas();
    for (std::size_t i = 0; i < voltas.size(); ++i)
        if (const music::Volta& volta = voltas[i]; volta.track == t && volta.from < end &&
                                                   volta.to >= first &&
                                                   !repeatsEndingAbove(voltas, i))
            return -view.format->font(kSmallTextFont).logFont.height +
                   view.format->font(kNoteFont).logFont.height / -20 + VoltaBracket::kGap;
    return 0;
}

// Makes room over the first row of a system for what stands over its measures besides their
// own ink: the bracket of an ending, and the key, time and tempo changes and jumps that
// stand over the first part (over the bracket when one starts with them).
void keepRoomOver(Node& line, const LinearView& view, int t, int first, int end) {
    if (!view.score || !view.format || t != 0)
        return;
    const int text = -view.format->font(kSmallTextFont).logFont.height;
    const int bracket = endingOver(view, t, first, end);
    int wanted = std::numeric_limits<int>::min();
    for (int i = 0; i < line.childCount(); ++i) {
        const Measure* m = asMeasure(line.realChild(i));
        if (!m)
            continue;
        const int m0 = first + i;
        int over = std::max(m->inkTop(), 0) + bracket;
        // A mark's pieces stand half a text's height over what is under them; a time
        // signature is two lines of text.
        if (const MeasureMark* mark = view.score->header().markAt(m0); mark && !mark->empty())
            over += text / 2 + (mark->meterChange ? 2 * text + text / 4 : text + text / 2);
        else if (bracket == 0)
            continue;
        wanted = std::max(wanted, line.child(i)->style.y + over);
    }
    if (wanted != std::numeric_limits<int>::min())
        line.style.marginTop = std::max(line.style.marginTop, wanted);
}

// Words of a row that run past their bar line stop short of the next measure's words: those
// move right, as far as the content width `right` of the page allows.
void keepWordsApart(Node& line, int right) {
    constexpr int kGap = 80;
    int above = std::numeric_limits<int>::min() / 2;
    int below = above;
    for (int i = 0; i < line.childCount(); ++i) {
        Measure* m = asMeasure(line.realChild(i));
        if (!m)
            continue;
        const int x = line.child(i)->style.x;
        int localAbove = above - x;
        int localBelow = below - x;
        m->ornaments().keepWordsApart(localAbove, localBelow, kGap, right - x);
        above = localAbove + x;
        below = localBelow + x;
    }
}

}  // namespace

void buildLine(int k, LinearView& view, const std::vector<ColumnGrid>& columns, double unit,
               double squeeze, Surface& g, System& target, int width) {
    if (k < 0 || k >= static_cast<int>(view.lineStarts.size()))
        throw Exception(kOutOfRange);
    const int first = k > 0 ? view.lineStarts[static_cast<std::size_t>(k - 1)] : 0;
    const int end = view.lineStarts[static_cast<std::size_t>(k)];
    if (first >= end || end > static_cast<int>(columns.size()))
        throw Exception(kWrongKind);
    showUsedLyricRows(view, first, end);
    for (int c = first; c < end; ++c)
        columns[static_cast<std::size_t>(c)].place(unit, squeeze, g);
    alignLyrics(view, first, end);
    const int digitWidth = columns[static_cast<std::size_t>(first)].digitWidth();
    const bool hideEmpty = k > 0 && view.score && view.score->header().hideEmptyTracks;
    for (int t = 0; t < view.childCount(); ++t) {
        const Node* track = view.child(t);
        if (track->childCount() <= first || (hideEmpty && onlyRests(*view.score, t, first, end)))
            continue;
        auto line = std::make_unique<NoteLine>(track->format, track->style.marginTop,
                                               track->style.marginBottom);
        const int last = std::min(end, track->childCount());
        for (int m = first; m < last; ++m)
            line->appendChild(std::make_unique<ShadowNode>(track->child(m)));
        line->layout(g, true);
        spaceLine(*line, unit * squeeze, digitWidth, width);
        keepWordsApart(*line, view.format ? view.format->pageWidth - view.format->marginLeft -
                                                view.format->marginRight
                                          : line->style.width);
        if (target.childCount() > 0)
            pullUp(*line, *target.lastChild(), endingOver(view, t, first, end));
        else
            keepRoomOver(*line, view, t, first, end);
        target.style.width = std::max(target.style.width, line->style.width);
        target.style.height +=
            line->style.height - line->style.marginBottom - line->style.marginTop;
        target.appendChild(std::move(line));
    }
    target.layout(g, false);
}

void spaceLine(Node& line, double unit, int digitWidth, int width) {
    const int count = line.childCount();
    int gap = static_cast<int>(std::lround(unit * digitWidth * kMeasureGap));
    int spare = 0;  // one unit more for the first gaps, so that the line ends at `width`
    if (width > 0 && count > 1) {
        int measures = 0;
        for (int i = 0; i < count; ++i)
            if (const Measure* m = asMeasure(line.realChild(i)))
                measures += m->style.width;
        const int room = std::max(0, width - measures);
        gap = room / (count - 1);
        spare = room % (count - 1);
    }
    int sum = 0;
    for (int i = 0; i < count; ++i) {
        Node* shown = line.child(i);
        if (i > 0)
            sum += gap + (i <= spare ? 1 : 0);
        shown->style.x = sum;
        if (const Measure* m = asMeasure(line.realChild(i))) {
            shown->style.width = m->style.width;
            shown->style.height = m->style.height;
        }
        sum += shown->style.width;
    }
    line.style.width = sum;
}

}  // namespace qe
