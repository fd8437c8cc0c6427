#include "engrave/shape_walk.h"

#include <algorithm>
#include <climits>

namespace qe {

Point rootPosition(const Node* node, Point p, bool throughShadows) {
    offsetInRoot(p, node, throughShadows);
    return p;
}

const Node* lineOfMeasure(const Node* measure, bool throughShadows) {
    if (!measure)
        return nullptr;
    if (throughShadows && measure->shadow)
        measure = measure->shadow;
    return measure->parent();
}

Node* nextElementInLine(const Node* element) {
    if (Node* next = element->nextSibling())
        return next;
    const Node* measure = element->parent();
    for (Node* m = measure ? measure->nextSibling() : nullptr; m; m = m->nextSibling())
        if (Node* first = m->firstChild())
            return first;
    return nullptr;
}

bool elementsInOrder(const Node* from, const Node* to) {
    if (!from || !to || from->kind != kNoteElement || to->kind != kNoteElement)
        return false;
    const Node* fromMeasure = from->parent();
    const Node* toMeasure = to->parent();
    if (!fromMeasure || !toMeasure || !fromMeasure->parent() ||
        fromMeasure->parent() != toMeasure->parent())
        return false;
    const Node* line = fromMeasure->parent();
    const int fm = line->indexOf(fromMeasure);
    const int tm = line->indexOf(toMeasure);
    if (fm != tm)
        return fm < tm;
    return fromMeasure->indexOf(from) <= fromMeasure->indexOf(to);
}

bool measuresInOrder(const Node* from, const Node* to) {
    if (!from || !to || from->kind != kMeasure || to->kind != kMeasure)
        return false;
    if (!from->parent() || from->parent() != to->parent())
        return false;
    return from->parent()->indexOf(from) <= from->parent()->indexOf(to);
}

void coverStrips(Style& box, const std::vector<Rect>& strips, const Rect& also) {
    int left = also.left, top = also.top, right = also.right, bottom = also.bottom;
    for (const Rect& s : strips) {
        left = std::min(left, s.left);
        top = std::max(top, s.top);
        right = std::max(right, s.right);
        bottom = std::min(bottom, s.bottom);
    }
    box.x = left;
    box.y = top;
    box.width = right - left;
    box.height = bottom - top;
}

}  // namespace qe
