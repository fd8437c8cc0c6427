#include "engrave/line_breaker.h"

#include <algorithm>
#include <cmath>

#include "base/exception.h"
#include "engrave/linear_view.h"
#include "engrave/measure.h"
#include "engrave/note_line.h"
#include "engrave/shadow_node.h"
#include "engrave/symbols.h"
#include "engrave/system.h"
#include "records/doc_chunks.h"

namespace qe {

namespace {
constexpr int kGapWeight = 16;
}

int breakLines(LinearView& view, int width) {
    view.lineStarts.clear();
    if (view.childCount() == 0)
        return 0;
    int running = 0;
    int i = 0;
    for (;; ++i) {
        bool seen = false;
        int w = 0;
        for (int t = 0; t < view.childCount(); ++t) {
            const Node* line = view.child(t);
            if (line->childCount() > i) {
                seen = true;
                w = std::max(w, line->child(i)->style.width);
            }
        }
        // The lines end where no track has a measure any more. An empty measure closed by a
        // hidden bar line is 0 wide but still a measure: the score goes on after it.
        if (!seen)
            break;
        if (w > width)
            throw Exception(kLayoutOverflow);
        running += w;
        if (running > width) {
            view.lineStarts.push_back(i);
            running = w;
        }
    }
    if (i > 0)
        view.lineStarts.push_back(i);
    return static_cast<int>(view.lineStarts.size());
}

namespace {

// The note lines of display line `k`, one of shadows per track that reaches its first measure,
// laid out at their natural spacing.
std::vector<std::unique_ptr<NoteLine>> shadowLines(int k, LinearView& view, Surface& g) {
    if (k < 0 || k >= static_cast<int>(view.lineStarts.size()))
        throw Exception(kOutOfRange);
    const int first = k > 0 ? view.lineStarts[static_cast<std::size_t>(k - 1)] : 0;
    const int end = view.lineStarts[static_cast<std::size_t>(k)];
    if (first >= end)
        throw Exception(kWrongKind);
    std::vector<std::unique_ptr<NoteLine>> lines;
    for (int t = 0; t < view.childCount(); ++t) {
        const Node* track = view.child(t);
        if (track->childCount() <= first)
            continue;
        auto line = std::make_unique<NoteLine>(track->format, track->style.marginTop,
                                               track->style.marginBottom);
        const int last = std::min(end, track->childCount());
        for (int m = first; m < last; ++m)
            line->appendChild(std::make_unique<ShadowNode>(track->child(m)));
        line->layout(g, true);
        lines.push_back(std::move(line));
    }
    return lines;
}

void addLine(System& target, std::unique_ptr<NoteLine> line) {
    target.style.width = std::max(target.style.width, line->style.width);
    target.style.height += line->style.height - line->style.marginBottom - line->style.marginTop;
    target.appendChild(std::move(line));
}

long long totalWeight(const Node& line) {
    const int n = line.childCount();
    long long total = static_cast<long long>(kGapWeight) * (n > 0 ? n - 1 : 0);
    for (int i = 0; i < n; ++i)
        if (const Measure* m = asMeasure(line.realChild(i)))
            total += m->weight();
    return total;
}

}  // namespace

std::vector<double> buildLine(int k, LinearView& view, Surface& g, System& target, int width) {
    std::vector<double> units;
    for (auto& line : shadowLines(k, view, g)) {
        units.push_back(width != 0 ? justify(*line, width, g) : 0.0);
        addLine(target, std::move(line));
    }
    target.layout(g, false);
    return units;
}

void buildLastLine(int k, LinearView& view, Surface& g, System& target, int width,
                   const std::vector<double>& unitsAbove, double standard) {
    std::vector<std::unique_ptr<NoteLine>> lines = shadowLines(k, view, g);
    int natural = 0;
    for (const auto& line : lines)
        natural = std::max(natural, line->style.width);
    // Each track spaced as it was above; all of them then end where the widest does, so that
    // the system closes on one bar line. Never wider than a full line.
    double end = 0;
    for (std::size_t t = 0; t < lines.size(); ++t) {
        const double unit = std::max(0.0, t < unitsAbove.size() ? unitsAbove[t] : standard);
        end = std::max(end,
                       lines[t]->style.width + unit * static_cast<double>(totalWeight(*lines[t])));
    }
    const int lineWidth = natural >= kFullLastLine * width
                              ? width
                              : std::min(width, static_cast<int>(std::ceil(end)));
    for (auto& line : lines) {
        justify(*line, lineWidth, g);
        addLine(target, std::move(line));
    }
    target.layout(g, false);
}

double justify(Node& line, int width, Surface& g) {
    const long long total = totalWeight(line);
    double unit = 0.0;
    if (line.childCount() > 0 && total > 0)
        unit = static_cast<double>(width - line.style.width) / static_cast<double>(total);
    // With nothing to spread, the measures are placed at their natural spacing, as a stretch
    // by nothing places them, so none keeps the spacing of an earlier, different line.
    spaceLine(line, unit, g);
    line.style.width = width;
    return unit;
}

void spaceLine(Node& line, double unit, Surface& g) {
    const int gap = static_cast<int>(std::floor(unit * kGapWeight + 0.5));
    int sum = 0;
    for (int i = 0; i < line.childCount(); ++i) {
        Node* shown = line.child(i);
        if (i > 0)
            sum += gap;
        shown->style.x = sum;
        if (Measure* m = asMeasure(line.realChild(i))) {
            m->stretch(unit, g);
            shown->style.width = m->style.width;
            shown->style.height = m->style.height;
        }
        sum += shown->style.width;
    }
    line.style.width = sum;
}

double standardUnit(Surface& g, const format_track_header* format, double breakShare) {
    if (format)
        g.setFont(format->font(kNoteFont));
    const char16_t digit = glyph::kDigit + 1;
    const int quarter = g.textExtent(&digit, 1).width;
    // A line of n plain quarters is n * quarter wide and weighs n * 16 (a quarter's weight);
    // stretched from breakShare of a line to the whole line, each weight unit gets this.
    return quarter * (1.0 - breakShare) / breakShare / 16.0;
}

}  // namespace qe
