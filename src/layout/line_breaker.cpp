#include "layout/line_breaker.h"

#include <algorithm>
#include <cmath>

#include "draw/shadow_node.h"
#include "layout/complex_line.h"
#include "layout/linear_view.h"
#include "layout/measure.h"
#include "layout/note_line.h"
#include "model/exception.h"

namespace qe {

namespace {
constexpr int kGapWeight = 8;
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

void buildLine(int k, LinearView& view, BaseGDI& g, ComplexLine& target, int width) {
    if (k < 0 || k >= static_cast<int>(view.lineStarts.size()))
        throw Exception(kOutOfRange);
    const int first = k > 0 ? view.lineStarts[static_cast<std::size_t>(k - 1)] : 0;
    const int end = view.lineStarts[static_cast<std::size_t>(k)];
    if (first >= end)
        throw Exception(kWrongKind);
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
        if (width != 0)
            justify(*line, width, g);
        target.style.width = std::max(target.style.width, line->style.width);
        target.style.height +=
            line->style.height - line->style.marginBottom - line->style.marginTop;
        target.appendChild(std::move(line));
    }
    target.layout(g, false);
}

void justify(Node& line, int width, BaseGDI& g) {
    const int n = line.childCount();
    long long total = static_cast<long long>(kGapWeight) * (n - 1);
    for (int i = 0; i < n; ++i)
        if (const Measure* m = asMeasure(line.realChild(i)))
            total += m->weight();
    if (n > 0 && total > 0) {
        const double unit =
            static_cast<double>(width - line.style.width) / static_cast<double>(total);
        const int gap = static_cast<int>(std::floor(unit * kGapWeight + 0.5));
        int sum = 0;
        for (int i = 0; i < n; ++i) {
            Node* shadow = line.child(i);
            if (i > 0)
                sum += gap;
            shadow->style.x = sum;
            if (Measure* m = asMeasure(line.realChild(i))) {
                m->stretch(unit, g);
                shadow->style.width = m->style.width;
                shadow->style.height = m->style.height;
            }
            sum += shadow->style.width;
        }
    } else {
        // Nothing to spread: the measures are placed at their natural spacing, as a stretch by
        // nothing places them, so none keeps the spacing of an earlier, different line.
        for (int i = 0; i < n; ++i)
            if (Measure* m = asMeasure(line.realChild(i)))
                m->stretch(0.0, g);
    }
    line.style.width = width;
}

}  // namespace qe
