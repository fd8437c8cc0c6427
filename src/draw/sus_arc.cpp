#include "draw/sus_arc.h"

#include <algorithm>
#include <cstdlib>

#include "draw/note_element.h"
#include "draw/shape_walk.h"
#include "model/doc_chunks.h"
#include "model/exception.h"

namespace qe {

namespace {

// The middle of an element's glyph at the top of its octave-dot stack, in root coordinates.
Point anchorOf(const NoteElement* e, bool throughShadows) {
    return rootPosition(e, {(e->glyphLeft + e->glyphRight) / 2, e->dotsTop}, throughShadows);
}

const Node* lineOfElement(const Node* e, bool throughShadows) {
    return lineOfMeasure(e->parent(), throughShadows);
}

}  // namespace

void SusArc::arrange(BaseGDI&) {
    const NoteElement* first = asElement(from);
    const NoteElement* last = asElement(to);
    if (!first || !last)
        throw Exception(kMismatch);
    const bool viaShadows = onPage != 0;
    strips.clear();

    const Point start = anchorOf(first, viaShadows);
    Rect r{start.x, start.y, start.x, start.y};
    const Node* line = lineOfElement(first, viaShadows);
    int total = 0;
    for (const Node* e = first; e != last;) {
        e = nextElementInLine(e);
        if (!e)
            throw Exception(kMismatch);
        const Node* next = lineOfElement(e, viaShadows);
        if (next != line) {
            r.right = rootPosition(line, {line->style.width, 0}, viaShadows).x;
            total += r.right - r.left;
            strips.push_back(r);
            const Point corner = rootPosition(next, {0, next->style.height}, viaShadows);
            r = {corner.x, corner.y, corner.x, corner.y};
            line = next;
        }
        r.top = std::max(r.top, anchorOf(static_cast<const NoteElement*>(e), viaShadows).y);
    }
    r.right = anchorOf(last, viaShadows).x;
    total += r.right - r.left;
    strips.push_back(r);

    thickness = 15;
    int barHeight = -400;
    if (format) {
        thickness = format->font(kNoteFont).logFont.height / -15;
        barHeight = format->font(kBarLineFont).logFont.height;
        takeColor(format->font(kNoteFont).color);
    }
    // A fifth of the width, between a quarter and a half of the bar-line font height.
    const int lo = -std::abs(barHeight / 2);
    const int hi = -std::abs(barHeight / 4);
    arcDepth = std::clamp(-total / 5, lo, hi);
    arcWidth = total;

    for (Rect& s : strips) {
        const int top = s.top;
        s.bottom = top + 2 * thickness;
        s.top = top - arcDepth + 2 * thickness;
    }

    coverStrips(style, strips, {r.left, r.top + 2 * thickness, r.right, r.bottom + 2 * thickness});
}

void SusArc::draw(BaseGDI& g) {
    g.setPen(0, roundToPixels(thickness, g.pixelSize()), color[0], color[1], color[2]);
    if (strips.size() <= 1) {
        const int w = style.width;
        const int h = style.height;
        g.bezierAt({0, h}, {w / 4, 0}, {3 * w / 4, 0}, {w, h});
        return;
    }
    // One curve as wide as all strips together, cut into one piece per line.
    OriginGuard back(g, -style.x, -style.y);
    g.arcStripsAt(strips, {0, arcDepth}, {arcWidth / 4, 0}, {3 * arcWidth / 4, 0},
                  {arcWidth, arcDepth});
}

}  // namespace qe
