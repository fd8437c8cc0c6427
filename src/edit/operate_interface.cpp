#include "edit/operate_interface.h"

#include <algorithm>

#include "draw/note_element.h"
#include "draw/symbols.h"
#include "edit/qeview.h"
#include "layout/item_elements.h"
#include "layout/linear_view.h"
#include "layout/measure.h"
#include "model/exception.h"
#include "model/qanor_doc.h"

namespace qe {

LinearView& OperateInterface::editTree() const {
    return view->editTree();
}

void OperateInterface::insertAtCaret(std::unique_ptr<Node> element, Node* caret) {
    if (!caret)
        return;
    if (caret->kind == kMeasure) {
        caret->appendChild(std::move(element));
    } else if (caret->parent()) {
        caret->parent()->insertChild(element, caret);
    }
}

namespace {

// Moves children [0, count) of `from` to the front of `to`, keeping their order.
void moveFront(Node& from, int count, Node& to) {
    for (int i = count - 1; i >= 0; --i)
        to.insertChild(0, from.removeChild(i));
}

}  // namespace

void OperateInterface::insertBarLine(Node* caret, std::unique_ptr<Measure> measure) {
    if (!caret)
        return;
    Node* current = caret->kind == kMeasure ? caret : caret->parent();
    if (!current || !current->parent())
        return;
    const int count = caret->kind == kMeasure ? current->childCount() : current->indexOf(caret);
    if (auto* m = asMeasure(current))
        m->dropDecorations();
    moveFront(*current, count, *measure);
    std::unique_ptr<Node> node = std::move(measure);
    current->parent()->insertChild(node, current);
}

bool OperateInterface::removeElement(Node* element) {
    if (!element || element->kind != kNoteElement)
        return false;
    Caret& caret = view->caret;
    if (caret.node == element) {
        // The caret moves behind the deleted element: to the next one, or to the end of the
        // measure when it was the last.
        Node* next = element->nextSibling();
        caret.node = next ? next : element->parent();
    }
    Node* measure = element->parent();
    if (!measure)
        return false;
    if (auto* m = asMeasure(measure))
        m->dropDecorations();
    measure->removeChild(element);  // deleted here; the anchors on it empty themselves
    editTree().dropLooseShapes();
    view->updateCaretRect();
    return true;
}

bool OperateInterface::removeBarLine(Node* measure) {
    Node* next = measure->nextSibling();
    if (!next)
        return false;
    Caret& caret = view->caret;
    if (caret.node == measure) {
        Node* first = next->firstChild();
        caret.node = first ? first : next;
    }
    if (auto* m = asMeasure(measure))
        m->dropDecorations();
    if (auto* n = asMeasure(next))
        n->dropDecorations();
    moveFront(*measure, measure->childCount(), *next);
    measure->parent()->removeChild(measure);  // deleted here
    editTree().dropLooseShapes();
    view->updateCaretRect();
    return true;
}

namespace {

// Ties and brackets are found by what they join, not by identity: the first equal one.
template <typename Shapes, typename Shape>
auto findEqual(Shapes& shapes, const Shape& shape) {
    return std::find_if(shapes.begin(), shapes.end(),
                        [&](const Shape& s) { return s.sameShape(shape); });
}

// Removes an equal shape; with `toggle`, adds the shape when there was none.
template <typename Shapes, typename Shape>
void removeEqual(Shapes& shapes, const Shape& shape, bool toggle) {
    const auto it = findEqual(shapes, shape);
    if (it != shapes.end())
        shapes.erase(it);
    else if (toggle)
        shapes.push_back(shape);
}

template <typename Shapes>
Shapes touching(const Shapes& shapes, const Node* node) {
    Shapes found;
    for (const auto& shape : shapes)
        if (shape.from == node || shape.to == node)
            found.push_back(shape);
    return found;
}

}  // namespace

void OperateInterface::toggleArc(const SusArc& arc) {
    removeEqual(editTree().arcs, arc, true);
}
void OperateInterface::removeArc(const SusArc& arc) {
    removeEqual(editTree().arcs, arc, false);
}
std::vector<SusArc> OperateInterface::arcsTouching(const Node* node) const {
    return touching(editTree().arcs, node);
}

void OperateInterface::toggleJumpLine(const JumpLine& jump) {
    removeEqual(editTree().jumpLines, jump, true);
}
void OperateInterface::removeJumpLine(const JumpLine& jump) {
    removeEqual(editTree().jumpLines, jump, false);
}
std::vector<JumpLine> OperateInterface::jumpLinesTouching(const Node* node) const {
    return touching(editTree().jumpLines, node);
}

void OperateInterface::commitToDocument(LinearView& tree) {
    if (!view->document)
        return;
    QanorDoc& doc = *view->document;
    doc.noteTracks().clear();
    for (int t = 0; t < tree.childCount(); ++t) {
        Node* line = tree.child(t);
        note_track track;
        auto& records = track.content.items;
        int n = 0;
        const auto placed = [&](Node* node, const music::Item& item) {
            records.push_back(music::encode(item));
            node->location = qe::location(1, t, static_cast<std::int16_t>(n));
            ++n;
        };
        for (int m = 0; m < line->childCount(); ++m) {
            Measure* measure = asMeasure(line->child(m));
            if (!measure)
                throw Exception(kWrongKind);
            for (int i = 0; i < measure->childCount(); ++i) {
                NoteElement* e = measure->elementAt(i);
                if (const std::optional<music::Item> item = itemOf(*e)) {
                    placed(e, *item);
                } else {
                    // An accidental shares the index of the digit it stands in front of. One
                    // with no digit after it is not stored at all: it names no place, so a tie
                    // anchored on it cannot be stored either.
                    const Node* digit = storedItemOf(e);
                    e->location =
                        digit ? qe::location(1, t, static_cast<std::int16_t>(n)) : qe::location();
                }
            }
            placed(measure, music::Item::barLine(measure->barType));
        }
        doc.noteTracks().push_back(std::move(track));
    }
    // Locations were renumbered above; the shapes take them now. A shape without both its
    // anchors names nothing and is never written.
    auto& formats = doc.formatRecords();
    formats.clear();
    const auto add = [&](std::uint8_t type, const Shape& shape) {
        if (!shape.from || !shape.to || shape.from->location.placeKind != 1 ||
            shape.to->location.placeKind != 1)
            return;
        Format record;
        record.type = type;
        record.from = shape.from->location;
        record.to = shape.to->location;
        formats.push_back(record);
    };
    for (const SusArc& arc : tree.arcs)
        add(Format::kArc, arc);
    for (const JumpLine& jump : tree.jumpLines)
        add(Format::kJumpLine, jump);
}

}  // namespace qe
