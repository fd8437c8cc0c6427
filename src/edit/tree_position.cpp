#include "edit/tree_position.h"

#include "draw/note_element.h"
#include "layout/linear_view.h"
#include "layout/measure.h"

namespace qe {

TreePosition positionOf(const LinearView& tree, const Node* node) {
    TreePosition at;
    if (!node)
        return at;
    const Node* measure = node;
    if (node->kind == kNoteElement) {
        measure = node->parent();
        at.element = indexOf(measure, node);
        if (at.element < 0)
            return {};
    } else if (node->kind != kMeasure) {
        return {};
    }
    const Node* line = measure ? measure->parent() : nullptr;
    at.measure = indexOf(line, measure);
    at.track = tree.indexOf(line);
    if (at.measure < 0 || at.track < 0)
        return {};
    return at;
}

Node* nodeAt(const LinearView& tree, const TreePosition& at) {
    if (!at.valid() || at.track >= tree.childCount())
        return nullptr;
    const Node* line = tree.child(at.track);
    if (at.measure >= line->childCount())
        return nullptr;
    Node* measure = line->child(at.measure);
    if (at.element < 0)
        return measure;
    return at.element < measure->childCount() ? measure->child(at.element) : nullptr;
}

ElementValue ElementValue::of(const NoteElement& e) {
    return {e.elementKind, e.glyph, e.degree, e.accidental, e.duration, e.octave, e.syllables};
}

std::unique_ptr<NoteElement> ElementValue::make() const {
    std::unique_ptr<NoteElement> e;
    switch (elementKind) {
        case kDigitElement:
            e = NoteElement::makeNote(degree, duration, octave);
            break;
        case kAccidentalElement:
            e = NoteElement::makeAccidental(accidental);
            break;
        default:
            e = NoteElement::makeMark(glyph, elementKind);
            break;
    }
    e->syllables = syllables;
    return e;
}

}  // namespace qe
