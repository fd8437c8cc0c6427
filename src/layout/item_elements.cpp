#include "layout/item_elements.h"

#include "draw/note_element.h"

namespace qe {

const Node* storedItemOf(const Node* node) {
    const auto* e =
        node && node->kind == kNoteElement ? static_cast<const NoteElement*>(node) : nullptr;
    if (!e)
        return nullptr;
    if (e->elementKind != kAccidentalElement)
        return e;
    const auto* next = asElement(e->nextSibling());
    return next && next->elementKind == kDigitElement ? next : nullptr;
}

}  // namespace qe
