#include "edit/input_method.h"

#include <algorithm>

#include "draw/note_element.h"
#include "draw/symbols.h"
#include "edit/operate_interface.h"
#include "edit/qanor_view.h"
#include "layout/item_elements.h"
#include "layout/measure.h"
#include "model/exception.h"
#include "model/qanor_doc.h"

namespace qe {

namespace {

constexpr char32_t kEnter = 13;
constexpr char32_t kBackspace = 8;

char32_t lower(char32_t ch) {
    return ch >= U'A' && ch <= U'Z' ? ch - U'A' + U'a' : ch;
}

}  // namespace

bool InputMethod::onChar(char32_t ch) {
    switch (lower(ch)) {
        case U'1':
        case U'2':
        case U'3':
        case U'4':
        case U'5':
        case U'6':
        case U'7':
            return insertItem(note(accidental, static_cast<int>(ch - U'0'), octave, duration));
        case U'0':
            return insertItem(note::rest(duration));
        case U'-':
            return insertItem(note::mark(note::kDash));
        case U'.':
            return insertItem(note::mark(note::kAugmentationDot));
        case U'v':
            return insertItem(note::mark(note::kBreath));
        case U'(':
            return insertItem(note::mark(note::kOpenParen));
        case U')':
            return insertItem(note::mark(note::kCloseParen));
        case kEnter:
            return insertItem(note::barLine(0));
        case U'|':
            return insertItem(note::barLine(2));
        case U'[':
            return insertItem(note::barLine(3));
        case U']':
            return insertItem(note::barLine(4));
        case U'\\':
            return insertItem(note::barLine(5));
        case U'/':
            return insertItem(note::barLine(glyph::kHiddenBarType));
        case kBackspace:
            return deleteBefore();
        case U's':
            accidental = accidental == 1 ? 2 : accidental == 2 ? 0 : 1;
            return false;
        case U'f':
            accidental = accidental == 3 ? 4 : accidental == 4 ? 0 : 3;
            return false;
        case U'r':
            accidental = accidental == 5 ? 0 : 5;
            return false;
        case U'u':
            octave = std::min(octave + 1, 3);
            return false;
        case U'm':
            octave = std::max(octave - 1, -3);
            return false;
        case U'j':
            duration = 0;
            return false;
        case U'k':
            duration = 1;
            return false;
        case U'l':
            duration = 2;
            return false;
        case U';':
            duration = 3;
            return false;
        default:
            return false;
    }
}

bool InputMethod::insertItem(const note& record) {
    // Every item entered, and every attempt, ends a sharp, flat or natural that was set.
    accidental = 0;
    const std::optional<music::Item> item = music::decode(record);
    if (!item)
        return false;
    OperateInterface& ops = *view->operations;
    Node* caret = view->caret.node;
    if (item->isBarLine()) {
        ops.insertBarLine(
            caret, std::make_unique<Measure>(view->document ? &view->editTree().settings : nullptr,
                                             item->barType));
        return true;
    }
    ops.insertItem(elementsOf(*item), caret);
    return true;
}

bool InputMethod::deleteBefore() {
    Node* c = view->caret.node;
    if (!c)
        return false;
    Node* item = nullptr;
    if (c->kind == kNoteElement) {
        item = c->previousSibling();
        if (!item && c->parent())
            item = c->parent()->previousSibling();
    } else if (c->kind == kMeasure) {
        item = c->lastChild();
        if (!item)
            item = c->previousSibling();
    } else {
        return false;
    }
    if (!item)
        return false;
    if (item->kind == kNoteElement)
        return view->operations->removeElement(item);
    if (item->kind == kMeasure)
        return view->operations->removeBarLine(item);
    throw Exception(kWrongKind);
}

}  // namespace qe
