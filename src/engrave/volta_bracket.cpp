#include "engrave/volta_bracket.h"

#include <algorithm>

#include "base/exception.h"
#include "engrave/measure.h"
#include "engrave/shape_walk.h"
#include "music/score.h"
#include "records/doc_chunks.h"

namespace qe {

namespace {

// y of the first measure of a line, in the line's frame.
int firstMeasureTop(const Node* line) {
    const Node* first = line->firstChild();
    return first ? first->style.y : 0;
}

}  // namespace

void VoltaBracket::arrange(Surface&) {
    const Measure* first = asMeasure(from);
    const Measure* last = asMeasure(to);
    if (!first || !last)
        throw Exception(kMismatch);
    const bool viaShadows = onPage != 0;
    strips.clear();
    stripLines.clear();

    // Each piece stands over the highest ink of the measures under it (dots, marks), a gap
    // above it, or on the top of their row.
    const auto over = [&](const Measure* m) {
        return rootPosition(m, {0, std::max(0, m->inkTop()) + (m->inkTop() > 0 ? kGap : 0)},
                            viaShadows)
            .y;
    };
    const Point start = rootPosition(first, {0, 0}, viaShadows);
    Rect r{start.x, over(first), start.x, 0};
    const Node* line = lineOfMeasure(first, viaShadows);
    int total = 0;
    for (const Node* m = first; m != last;) {
        m = m->nextSibling();
        if (!m)
            throw Exception(kMismatch);
        const Node* next = lineOfMeasure(m, viaShadows);
        if (next != line) {
            r.right = rootPosition(line, {line->style.width, firstMeasureTop(line)}, viaShadows).x;
            total += r.right - r.left;
            strips.push_back(r);
            stripLines.push_back(line);
            const Point corner = rootPosition(next, {0, firstMeasureTop(next)}, viaShadows);
            r = {corner.x, corner.y, corner.x, 0};
            line = next;
        }
        if (const Measure* measure = asMeasure(m))
            r.top = std::max(r.top, over(measure));
    }
    // The bracket ends just before the closing bar line of its last measure.
    r.right = rootPosition(last, {last->style.width - last->barWidth, 0}, viaShadows).x;
    total += r.right - r.left;
    strips.push_back(r);
    stripLines.push_back(line);

    thickness = 10;
    arcDepth = -180;
    if (format) {
        thickness = format->font(kNoteFont).logFont.height / -20;
        arcDepth = format->font(kSmallTextFont).logFont.height;
        takeColor(format->font(kNoteFont).color);
    }
    arcWidth = total;
    for (Rect& s : strips) {
        s.bottom = s.top;
        s.top = s.top - arcDepth;
    }

    coverStrips(style, strips, r);
}

void VoltaBracket::draw(Surface& g) const {
    if (strips.empty() || !shown)
        return;
    g.setPen(0, roundToPixels(thickness, g.pixelSize()), color[0], color[1], color[2]);
    if (format)
        g.setFont(format->font(kSmallTextFont));
    OriginGuard back(g, -style.x, -style.y);
    const int ox = g.originX;
    const int oy = g.originY;
    const Rect& first = strips.front();
    const Rect& last = strips.back();
    {
        const RoleGuard named(g, "volta label");
        g.drawText(ox + first.left + 3 * thickness, oy + first.top - thickness, label);
    }
    const RoleGuard named(g, "volta bracket");
    g.moveTo(ox + first.left, oy + first.top);
    g.lineTo(ox + first.left, oy + first.bottom);
    for (const Rect& s : strips) {
        g.moveTo(ox + s.left, oy + s.top);
        g.lineTo(ox + s.right, oy + s.top);
    }
    g.lineTo(ox + last.right, oy + last.bottom);
}

bool repeatsEndingAbove(const std::vector<music::Volta>& voltas, std::size_t i) {
    const music::Volta& ending = voltas[i];
    return std::any_of(voltas.begin(), voltas.end(), [&ending](const music::Volta& v) {
        return v.track < ending.track && v.from == ending.from && v.to == ending.to &&
               v.label == ending.label;
    });
}

}  // namespace qe
