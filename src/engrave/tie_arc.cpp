#include "engrave/tie_arc.h"

#include <algorithm>
#include <cstdlib>

#include "base/exception.h"
#include "engrave/item_elements.h"
#include "engrave/note_element.h"
#include "engrave/shape_walk.h"
#include "records/doc_chunks.h"

namespace qe {

namespace {

const Node* lineOfElement(const Node* e, bool throughShadows) {
    return lineOfMeasure(e->parent(), throughShadows);
}

// The note an end stands for: a tie stored on a note with an accidental is anchored on the
// accidental, which stands in front of its digit; the curve belongs over the digit.
const NoteElement* noteOf(Node* anchor) {
    const auto* e = asElement(anchor);
    if (!e)
        return nullptr;
    if (const auto* digit = asElement(const_cast<Node*>(storedItemOf(e))))
        return digit;
    return e;
}

// The top of an element and its octave dots, in root coordinates, at the middle of its glyph.
Point topOf(const NoteElement* e, bool throughShadows) {
    return rootPosition(e, {(e->glyphLeft + e->glyphRight) / 2, e->dotsTop}, throughShadows);
}

Rect boundsOf(const TieArc::Piece& p) {
    return {std::min({p.p0.x, p.p1.x, p.p2.x, p.p3.x}), std::max({p.p0.y, p.p1.y, p.p2.y, p.p3.y}),
            std::max({p.p0.x, p.p1.x, p.p2.x, p.p3.x}), std::min({p.p0.y, p.p1.y, p.p2.y, p.p3.y})};
}

// What lies on one line of the tie: its first and last x, the tie's ends if they are on it,
// and how high the notes in between reach.
struct Run {
    const Node* line = nullptr;
    bool hasStart = false;
    bool hasEnd = false;
    int left = 0;
    int right = 0;
    int highest = 0;  // the highest top of the notes of the run, ends included
};

// The lines a tie from `first` (whose top is at `firstTop`) to `last` crosses, walking from
// note to note. Throws kMismatch when the walk runs out before it reaches `last`.
void collectRuns(const NoteElement* first, int firstTop, const NoteElement* last, bool viaShadows,
                 std::vector<Run>& runs) {
    const auto startRun = [&](const Node* line) {
        Run run;
        run.line = line;
        run.left = rootPosition(line, {0, 0}, viaShadows).x;
        run.right = rootPosition(line, {line->style.width, 0}, viaShadows).x + TieArc::kOverhang;
        run.highest = rootPosition(line, {0, line->style.height}, viaShadows).y;
        runs.push_back(run);
    };
    startRun(lineOfElement(first, viaShadows));
    runs.back().hasStart = true;
    runs.back().highest = firstTop;
    for (const Node* e = first; e != last;) {
        e = nextElementInLine(e);
        if (!e)
            throw Exception(kMismatch);
        const Node* line = lineOfElement(e, viaShadows);
        if (line != runs.back().line)
            startRun(line);
        if (const auto* element = asElement(const_cast<Node*>(e)))
            runs.back().highest = std::max(runs.back().highest, topOf(element, viaShadows).y);
    }
    runs.back().hasEnd = true;
}

// How high a tie spanning `span` rises: a fifth of the width, between a quarter and a half of
// the bar-line font height.
struct Rise {
    int lo;
    int hi;
    int operator()(int span) const { return std::clamp(span / 5, lo, hi); }
};

// The curve of a tie on one line, from `a` to `b` (the tops of its first and last notes),
// each end `lift` above its note.
TieArc::Piece pieceOf(const Run& run, Point a, Point b, int lift, Rise heightFor) {
    if (run.hasStart && run.hasEnd) {
        const Point p0{a.x, a.y + lift}, p3{b.x, b.y + lift};
        const int w = p3.x - p0.x;
        const int top = std::max({p0.y, p3.y, run.highest + lift}) + heightFor(w);
        return {p0, {p0.x + w / 4, top}, {p3.x - w / 4, top}, p3};
    }
    if (run.hasStart) {
        // The left half of a tie twice as wide, cut at its top just past the line's end.
        const Point p0{a.x, a.y + lift};
        const int w = std::max(run.right - p0.x, 0);
        const int h = heightFor(2 * w);
        const int base = std::max(p0.y, run.highest + lift);
        return {p0,
                {p0.x + w / 4, base + h / 2},
                {p0.x + 5 * w / 8, base + 3 * h / 4},
                {p0.x + w, base + 3 * h / 4}};
    }
    if (run.hasEnd) {
        // The right half: from the start of the line down to the last note.
        const Point p3{b.x, b.y + lift};
        const int x0 = std::min(run.left, p3.x - TieArc::kLeadIn);
        const int w = p3.x - x0;
        const int h = heightFor(2 * w);
        const int base = std::max(p3.y, run.highest + lift);
        return {{x0, base + 3 * h / 4},
                {p3.x - 5 * w / 8, base + 3 * h / 4},
                {p3.x - w / 4, base + h / 2},
                p3};
    }
    // A whole line between: the tie runs on level over it.
    const int y = run.highest + lift + 3 * heightFor(run.right - run.left) / 4;
    return {{run.left, y},
            {run.left + (run.right - run.left) / 3, y},
            {run.left + 2 * (run.right - run.left) / 3, y},
            {run.right, y}};
}

}  // namespace

void TieArc::arrange(Surface&) {
    const NoteElement* first = noteOf(from);
    const NoteElement* last = noteOf(to);
    if (!first || !last)
        throw Exception(kMismatch);
    const bool viaShadows = onPage != 0;
    strips.clear();
    stripLines.clear();
    pieces.clear();

    thickness = 15;
    int barHeight = -400;
    if (format) {
        thickness = format->font(kNoteFont).logFont.height / -15;
        barHeight = format->font(kBarLineFont).logFont.height;
        takeColor(format->font(kNoteFont).color);
    }
    const int lift = 2 * thickness;  // between a note's top and the end of a tie on it

    std::vector<Run> runs;
    const Point a = topOf(first, viaShadows);
    collectRuns(first, a.y, last, viaShadows, runs);
    const Point b = topOf(last, viaShadows);
    const Rise heightFor{std::abs(barHeight / 4), std::abs(barHeight / 2)};
    for (const Run& run : runs) {
        const Piece p = pieceOf(run, a, b, lift, heightFor);
        pieces.push_back(p);
        Rect box = boundsOf(p);
        box.top += thickness;
        box.bottom -= thickness;
        strips.push_back(box);
        stripLines.push_back(run.line);
    }
    arcDepth = -heightFor(b.x - a.x);
    arcWidth = b.x - a.x;
    coverStrips(style, strips, strips.front());
}

void TieArc::draw(Surface& g) const {
    const RoleGuard named(g, "arc");
    g.setPen(0, roundToPixels(thickness, g.pixelSize()), color[0], color[1], color[2]);
    OriginGuard back(g, -style.x, -style.y);
    for (const Piece& p : pieces)
        g.bezierAt(p.p0, p.p1, p.p2, p.p3);
}

}  // namespace qe
