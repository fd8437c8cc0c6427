#include "edit/qeview.h"

#include "edit/operate_interface.h"
#include "layout/measure.h"
#include "model/exception.h"

namespace qe {

qeview::qeview() : operations(std::make_unique<OperateInterface>(this)) {
    linearView.stripSpacing = true;
}

qeview::~qeview() = default;

void qeview::resetCaret() {
    caret.placed = false;
    caret.node = nullptr;
    Node* line = editTree().firstChild();
    if (!line)
        return;
    Node* measure = line->firstChild();
    if (!measure)
        return;
    Node* first = measure->firstChild();
    caret.node = first ? first : measure;
    updateCaretRect();
    caret.placed = true;
}

void qeview::updateCaretRect() {
    const Node* node = caret.node;
    if (!node)
        return;
    Rect r;
    const Node* from = node;
    if (node->kind == kMeasure) {
        const Measure* m = asMeasure(node);
        r = {m->style.width - m->barWidth, 0, m->style.width - m->barWidth, m->style.height};
    } else if (node->kind == kNoteElement && node->parent()) {
        r = {node->style.x, 0, node->style.x, node->parent()->style.height};
        from = node->parent();
        r.left = r.right = node->style.x;
    } else {
        r = {0, 0, 0, node->style.height};
    }
    offsetInAncestor(r, from, true, nullptr);
    caret.left = r.left;
    caret.top = r.top;
    caret.right = r.right;
    caret.bottom = r.bottom;
}

Rect qeview::positionRect(const Node* node) const {
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
    if (mode == kScrollMode) {
        for (const Node* n = from; n && n != &linearView; n = n->parent()) {
            r.left += n->style.x;
            r.right += n->style.x;
            r.top += n->style.y;
            r.bottom += n->style.y;
        }
    } else {
        offsetInAncestor(r, from, true, &pageView);
    }
    return r;
}

std::pair<Node*, Node*> qeview::orderPositions(Node* a, Node* b) const {
    if (!isPosition(a) || !isPosition(b))
        throw Exception(kOutOfRange);
    const Rect A = positionRect(a);
    const Rect B = positionRect(b);
    if (A.top < B.bottom)
        return {b, a};  // a lies wholly below b
    if (A.top > B.bottom && A.bottom < B.top)
        return A.left > B.left ? std::pair{b, a} : std::pair{a, b};
    return {a, b};
}

std::vector<Rect> qeview::selectionRegion() const {
    std::vector<Rect> region;
    if (!isPosition(caret.selectionAnchor) || !isPosition(caret.selectionEnd))
        return region;
    const auto [first, last] = orderPositions(caret.selectionAnchor, caret.selectionEnd);
    for (const Node* p = first; p && p != last;) {
        region.push_back(positionRect(p));
        if (p->kind == kNoteElement) {
            const Node* next = p->nextSibling();
            p = next ? next : p->parent();
        } else {
            const Node* next = p->nextSibling();
            if (next && next->firstChild())
                next = next->firstChild();
            p = next;
        }
    }
    return region;
}

}  // namespace qe
