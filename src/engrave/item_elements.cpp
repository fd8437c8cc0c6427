#include "engrave/item_elements.h"

#include "engrave/note_element.h"
#include "engrave/symbols.h"

namespace qe {

using music::Item;

namespace {

std::unique_ptr<NoteElement> markElement(Item::Kind kind) {
    switch (kind) {
        case Item::Kind::Dash:
            return NoteElement::makeMark(glyph::kDash, kDashElement);
        case Item::Kind::Dot:
            return NoteElement::makeMark(glyph::kAugmentationDot, kDotElement);
        case Item::Kind::Breath:
            return NoteElement::makeMark(glyph::kBreath, kMarkElement);
        case Item::Kind::OpenParen:
            return NoteElement::makeMark(glyph::kOpenParen, kMarkElement);
        case Item::Kind::CloseParen:
            return NoteElement::makeMark(glyph::kCloseParen, kMarkElement);
        default:
            return nullptr;
    }
}

std::optional<Item::Kind> markKindOf(const NoteElement& e) {
    switch (e.elementKind) {
        case kDashElement:
            return Item::Kind::Dash;
        case kDotElement:
            return Item::Kind::Dot;
        case kMarkElement:
            switch (e.glyph) {
                case glyph::kBreath:
                    return Item::Kind::Breath;
                case glyph::kOpenParen:
                    return Item::Kind::OpenParen;
                case glyph::kCloseParen:
                    return Item::Kind::CloseParen;
                default:
                    return std::nullopt;
            }
        default:
            return std::nullopt;
    }
}

}  // namespace

std::vector<std::unique_ptr<NoteElement>> elementsOf(const Item& item) {
    std::vector<std::unique_ptr<NoteElement>> elements;
    if (item.isNoteOrRest()) {
        if (item.accidental != 0)
            elements.push_back(NoteElement::makeAccidental(item.accidental));
        elements.push_back(
            NoteElement::makeNote(item.isDigit() ? item.degree : 0, item.underlines, item.octave));
    } else if (auto mark = markElement(item.kind)) {
        elements.push_back(std::move(mark));
    }
    return elements;
}

std::optional<Item> itemOf(const NoteElement& e) {
    if (e.elementKind == kDigitElement) {
        const auto* sign = asElement(e.previousSibling());
        const int accidental =
            sign && sign->elementKind == kAccidentalElement ? sign->accidental : 0;
        return e.degree != 0 ? Item::digit(e.degree, e.octave, e.duration, accidental)
                             : Item::rest(e.duration, accidental);
    }
    if (const auto kind = markKindOf(e))
        return Item::mark(*kind);
    return std::nullopt;
}

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
