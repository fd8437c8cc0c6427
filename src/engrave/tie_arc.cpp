#include "engrave/tie_arc.h"

#include <algorithm>
#include <unordered_set>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "base/exception.h"
#include "engrave/item_elements.h"
#include "engrave/measure.h"
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
// how high the notes in between reach, and the boxes of everything over the row it may have
// to clear.
struct Run {
    const Node* line = nullptr;
    bool hasStart = false;
    bool hasEnd = false;
    int left = 0;
    int right = 0;
    int highest = 0;        // the highest top of the notes of the run, ends included
    std::vector<Rect> ink;  // in root coordinates
};

Rect moved(Rect r, Point by) {
    return {r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

// The ink a tie may run over in a measure: what stands over its digits, the octave dots above
// them and the closing bar line.
void addMeasureInk(const Node* node, bool viaShadows, std::vector<Rect>& ink) {
    const Measure* measure = asMeasure(node);
    if (!measure)
        return;
    const Point origin = rootPosition(measure, {0, 0}, viaShadows);
    std::vector<Rect> boxes;
    measure->ornaments().inkOver(boxes);
    for (const Symbol& dot : measure->symbols())
        if (dot.above)
            boxes.push_back({dot.style.x, dot.style.y, dot.style.x + dot.style.width,
                             dot.style.y + dot.style.height});
    if (const std::optional<Rect> bar = measure->barLineBox())
        boxes.push_back(*bar);
    for (const Rect& box : boxes)
        ink.push_back(moved(box, origin));
}

void addElementInk(const NoteElement* e, bool viaShadows, std::vector<Rect>& ink) {
    const Point at = rootPosition(e, {e->glyphLeft, e->glyphTop}, viaShadows);
    ink.push_back(
        {at.x, at.y, at.x + e->glyphRight - e->glyphLeft, at.y - std::abs(e->style.height)});
}

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
        runs.push_back(std::move(run));
    };
    startRun(lineOfElement(first, viaShadows));
    runs.back().hasStart = true;
    runs.back().highest = firstTop;
    addMeasureInk(first->parent(), viaShadows, runs.back().ink);
    addElementInk(first, viaShadows, runs.back().ink);
    for (const Node* e = first; e != last;) {
        const Node* measure = e->parent();
        e = nextElementInLine(e);
        if (!e)
            throw Exception(kMismatch);
        const Node* line = lineOfElement(e, viaShadows);
        if (line != runs.back().line)
            startRun(line);
        if (e->parent() != measure)
            addMeasureInk(e->parent(), viaShadows, runs.back().ink);
        if (const auto* element = asElement(const_cast<Node*>(e))) {
            runs.back().highest = std::max(runs.back().highest, topOf(element, viaShadows).y);
            addElementInk(element, viaShadows, runs.back().ink);
        }
    }
    runs.back().hasEnd = true;
}

// The highest top of the ink that meets the column `x` - `reach` .. `x` + `reach`; `floor`
// when none reaches higher.
int highestAt(const std::vector<Rect>& ink, int x, int reach, int floor) {
    for (const Rect& box : ink)
        if (box.left < x + reach && box.right > x - reach)
            floor = std::max(floor, box.top);
    return floor;
}

// A piece's point at t, and how much of a rise of the points `bowed` it takes there.
struct Sample {
    double x, y, share;
};

Sample sampleAt(const TieArc::Piece& p, const std::array<bool, 4>& bowed, double t) {
    const double u = 1 - t;
    const std::array<double, 4> weight{u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
    const std::array<Point, 4> points{p.p0, p.p1, p.p2, p.p3};
    Sample s{0, 0, 0};
    for (std::size_t i = 0; i < 4; ++i) {
        s.x += weight[i] * points[i].x;
        s.y += weight[i] * points[i].y;
        s.share += bowed[i] ? weight[i] : 0;
    }
    return s;
}

// Raises a piece until its curve passes at least `clear` over every box of `ink` it runs
// over (`half` the pen's width either side of its line): first by lifting the points that
// are not on a note (`bowed`), at most by `maxBow`, then, where that is not enough (ink near
// an end), by lifting the whole piece. A piece that clears everything is left as it is.
TieArc::Piece clearOf(TieArc::Piece p, const std::array<bool, 4>& bowed,
                      const std::vector<Rect>& ink, int clear, int half, int maxBow) {
    constexpr int kSamples = 32;
    std::vector<std::pair<double, double>> shortBy;  // (short by, share of a bow) per sample
    for (int i = 1; i < kSamples; ++i) {
        const Sample s = sampleAt(p, bowed, static_cast<double>(i) / kSamples);
        const int x = static_cast<int>(s.x);
        const int need = highestAt(ink, x, half + 1, INT_MIN);
        if (need != INT_MIN && need + clear > s.y)
            shortBy.emplace_back(need + clear - s.y, s.share);
    }
    if (shortBy.empty())
        return p;
    double bow = 0;
    for (const auto& [by, share] : shortBy)
        bow = std::max(bow, share > 0 ? by / share : static_cast<double>(maxBow));
    bow = std::min(bow, static_cast<double>(std::max(maxBow, 0)));
    double lift = 0;
    for (const auto& [by, share] : shortBy)
        lift = std::max(lift, by - bow * share);
    const int up = static_cast<int>(std::ceil(bow));
    const int all = static_cast<int>(std::ceil(lift));
    std::array<Point*, 4> points{&p.p0, &p.p1, &p.p2, &p.p3};
    for (std::size_t i = 0; i < 4; ++i)
        points[i]->y += all + (bowed[i] ? up : 0);
    return p;
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
    Point a = topOf(first, viaShadows);
    collectRuns(first, a.y, last, viaShadows, runs);
    Point b = topOf(last, viaShadows);
    // Where one arc ends on the note the next starts on, each keeps to its half of it.
    if (sharedStart)
        a.x += (first->glyphRight - first->glyphLeft) / 4;
    if (sharedEnd)
        b.x -= (last->glyphRight - last->glyphLeft) / 4;
    // Each end stands just above the highest ink over its note: a chord stacked on it, a mark.
    a.y = highestAt(runs.front().ink, a.x, lift, a.y);
    b.y = highestAt(runs.back().ink, b.x, lift, b.y);
    const Rise heightFor{std::abs(barHeight / 4), std::abs(barHeight / 2)};
    for (const Run& run : runs) {
        // The points of a piece that are not on a note may bow higher.
        const std::array<bool, 4> bowed{!run.hasStart, true, true, !run.hasEnd};
        const Piece p = clearOf(pieceOf(run, a, b, lift, heightFor), bowed, run.ink, lift,
                                thickness / 2, heightFor.hi);
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

void markSharedEnds(std::vector<TieArc>& arcs) {
    std::unordered_set<const Node*> starts;
    std::unordered_set<const Node*> ends;
    for (const TieArc& arc : arcs) {
        starts.insert(arc.from.get());
        ends.insert(arc.to.get());
    }
    for (TieArc& arc : arcs) {
        arc.sharedStart = arc.from && ends.count(arc.from.get()) > 0;
        arc.sharedEnd = arc.to && starts.count(arc.to.get()) > 0;
    }
}

}  // namespace qe
