#include "edit/layout_places.h"

#include <cstdlib>

#include "engrave/linear_view.h"
#include "engrave/measure.h"
#include "engrave/note_element.h"

namespace qe {

LayoutPlaces::LayoutPlaces(const music::Score& score, ScoreLayout& layout, Node& root,
                           bool scrollMode)
    : score_(score), layout_(layout), root_(root), scrollMode_(scrollMode) {}

Node* LayoutPlaces::nodeOf(const Position& at) const {
        Measure* measure = layout_.tracks().measureNode(at.track, at.measure);
    if (!measure || at.track >= score_.trackCount() ||
        at.measure >= score_.measureCount(at.track))
        return nullptr;
    if (at.entry >= score_.measure(at.track, at.measure).contentCount())
        return measure;
    for (int i = 0; i < measure->childCount(); ++i) {
        NoteElement* e = measure->elementAt(i);
        if (e->entry != at.entry)
            continue;
        if (!at.inner)
            return e;
        // Between the accidental and its digit: in front of the digit.
        return i + 1 < measure->childCount() && measure->elementAt(i + 1)->entry == at.entry
                   ? measure->elementAt(i + 1)
                   : nullptr;
    }
    return nullptr;
}

std::optional<Position> LayoutPlaces::positionOf(const Node* node) const {
    if (!node)
        return std::nullopt;
    const Node* measure = node->kind == kNoteElement ? node->parent() : node;
    if (!measure || measure->kind != kMeasure)
        return std::nullopt;
    const LinearView& tracks = layout_.tracks();
    const Node* line = measure->parent();
    const int t = tracks.indexOf(line);
    const int m = indexOf(line, measure);
    if (t < 0 || m < 0 || t >= score_.trackCount() || m >= score_.measureCount(t))
        return std::nullopt;
    if (node->kind == kMeasure)
        return endOf(score_, t, m);
    const auto* e = static_cast<const NoteElement*>(node);
    const auto* before = asElement(const_cast<Node*>(node->previousSibling()));
    const bool inner = e->elementKind != kAccidentalElement && before &&
                       before->elementKind == kAccidentalElement && before->entry == e->entry;
    return Position{t, m, e->entry, inner};
}

Rect LayoutPlaces::caretRectOf(const Position& at) const {
    const Node* node = nodeOf(at);
    if (!node)
        return {};
    Rect r;
    const Node* from = node;
    if (const Measure* m = asMeasure(node)) {
        r = {m->style.width - m->barWidth, 0, m->style.width - m->barWidth, m->style.height};
    } else if (node->parent()) {
        r = {node->style.x, 0, node->style.x, node->parent()->style.height};
        from = node->parent();
    } else {
        r = {0, 0, 0, node->style.height};
    }
    offsetInAncestor(r, from, true, nullptr);
    return r;
}

std::vector<LayoutPlaces::Line> LayoutPlaces::lines() const {
    std::vector<Line> found;
    // Depth first through the current root: pages, systems, then the note lines in them.
    std::vector<const Node*> stack{&root_};
    while (!stack.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        if (n->kind == kNoteLine) {
            if (n->childCount() == 0)
                continue;
            const std::optional<Position> first = positionOf(n->realChild(0));
            const std::optional<Position> last = positionOf(n->realChild(n->childCount() - 1));
            if (!first || !last)
                continue;
            Rect box{0, 0, n->style.width, n->style.height};
            offsetInAncestor(box, n, false, nullptr);
            found.push_back({n, first->track, first->measure, last->measure, box});
            continue;
        }
        for (int i = n->childCount() - 1; i >= 0; --i)
            stack.push_back(n->child(i));
    }
    return found;
}

std::optional<LayoutPlaces::Line> LayoutPlaces::lineOf(const Position& at) const {
    if (!isValid(score_, at))
        return std::nullopt;
    const Node* measure = layout_.tracks().measureNode(at.track, at.measure);
    if (!measure)
        return std::nullopt;
    const Node* shown = measure->shadow ? measure->shadow : measure;
    const Node* line = shown->parent();
    if (!line || line->kind != kNoteLine || line->childCount() == 0)
        return std::nullopt;
    const std::optional<Position> first = positionOf(line->realChild(0));
    const std::optional<Position> last = positionOf(line->realChild(line->childCount() - 1));
    if (!first || !last)
        return std::nullopt;
    Rect box{0, 0, line->style.width, line->style.height};
    offsetInAncestor(box, line, false, nullptr);
    return Line{line, at.track, first->measure, last->measure, box};
}

Position LayoutPlaces::nearestInLine(const Line& line, int x) const {
    Position best = positionAt(score_, line.track, line.firstMeasure, 0);
    long long bestDistance = -1;
    for (int m = line.firstMeasure; m <= line.lastMeasure; ++m) {
        const int stops = stopCount(score_.measure(line.track, m));
        for (int i = 0; i <= stops; ++i) {
            const Position p = positionAt(score_, line.track, m, i);
            const long long d = std::llabs(static_cast<long long>(caretRectOf(p).left) - x);
            if (bestDistance < 0 || d < bestDistance) {
                best = p;
                bestDistance = d;
            }
        }
    }
    return best;
}

Position LayoutPlaces::target(const Position& at, Point caret, CaretMove move, bool sameTrack,
                              int pageHeight) const {
    const music::Score& s = score_;
    switch (move) {
        case CaretMove::Left:
            return stepLeft(s, at);
        case CaretMove::Right:
            return stepRight(s, at);
        case CaretMove::ScoreStart:
            return positionAt(s, at.track, 0, 0);
        case CaretMove::ScoreEnd:
            return endOf(s, at.track, s.measureCount(at.track) - 1);
        default:
            break;
    }
    const std::optional<Line> line = lineOf(at);
    if (!line)
        return at;
    if (move == CaretMove::LineStart)
        return positionAt(s, at.track, line->firstMeasure, 0);
    if (move == CaretMove::LineEnd)
        return endOf(s, at.track, line->lastMeasure);
    const std::vector<Line> all = lines();
    int here = -1;
    for (int i = 0; i < static_cast<int>(all.size()); ++i)
        if (all[static_cast<std::size_t>(i)].node == line->node)
            here = i;
    if (here < 0)
        return at;
    const bool down = move == CaretMove::LineDown || move == CaretMove::PageDown;
    const auto usable = [&](int i) {
        return i >= 0 && i < static_cast<int>(all.size()) &&
               (!sameTrack || all[static_cast<std::size_t>(i)].track == at.track);
    };
    int to = -1;
    if (move == CaretMove::LineUp || move == CaretMove::LineDown) {
        for (int i = here + (down ? 1 : -1); i >= 0 && i < static_cast<int>(all.size());
             i += down ? 1 : -1)
            if (usable(i)) {
                to = i;
                break;
            }
    } else {
        // The line nearest a window's height away (y grows upwards), and at least the next one.
        const long long goal = static_cast<long long>(caret.y) + (down ? -pageHeight : pageHeight);
        long long bestDistance = -1;
        for (int i = here + (down ? 1 : -1); usable(i) || (i >= 0 && i < static_cast<int>(all.size()));
             i += down ? 1 : -1) {
            if (!usable(i))
                continue;
            const long long d = std::llabs(static_cast<long long>(all[static_cast<std::size_t>(i)].box.top) - goal);
            if (bestDistance >= 0 && d > bestDistance)
                break;
            to = i;
            bestDistance = d;
        }
    }
    if (to < 0)
        return down ? endOf(s, at.track, line->lastMeasure)
                    : positionAt(s, at.track, line->firstMeasure, 0);
    return nearestInLine(all[static_cast<std::size_t>(to)], caret.x);
}

Rect LayoutPlaces::positionRect(const Position& at) const {
    const Node* node = nodeOf(at);
    if (!node)
        return {};
    Rect r;
    const Node* from = node;
    if (node->kind == kNoteElement) {
        r = {node->style.x, node->style.y, node->style.x + node->style.width,
             node->style.y + node->style.height};
        from = node->parent();
    } else {
        const Measure* m = asMeasure(node);
        r = {m->style.width - m->barWidth, 0, m->style.width, m->style.height};
    }
    if (!from)
        return r;
    if (scrollMode_) {
        const Node* root = &root_;
        for (const Node* n = from; n && n != root; n = n->parent()) {
            r.left += n->style.x;
            r.right += n->style.x;
            r.top += n->style.y;
            r.bottom += n->style.y;
        }
    } else {
        offsetInAncestor(r, from, true, &root_);
    }
    return r;
}

std::pair<Position, Position> LayoutPlaces::orderPositions(const Position& a,
                                                          const Position& b) const {
    const Rect A = positionRect(a);
    const Rect B = positionRect(b);
    if (A.top < B.bottom)
        return {b, a};  // a lies wholly below b
    if (A.top > B.bottom && A.bottom < B.top)
        return A.left > B.left ? std::pair{b, a} : std::pair{a, b};
    return {a, b};
}

std::optional<Position> LayoutPlaces::hit(Point p) const {
    if (std::optional<Position> at = positionOf(root_.hitTest(p)))
        return at;
    // Beside the notes of a line (in the margin before its first item, or after its bar line):
    // the nearest place in that line.
    for (const Line& line : lines())
        if (p.y <= line.box.top && p.y > line.box.bottom)
            return nearestInLine(line, p.x);
    return std::nullopt;
}

}  // namespace qe
