#include "edit/input_method.h"

#include <algorithm>

#include "engrave/symbols.h"
#include "music/item.h"

namespace qe {

namespace {

constexpr char32_t kEnter = 13;
constexpr char32_t kBackspace = 8;

char32_t lower(char32_t ch) {
    return ch >= U'A' && ch <= U'Z' ? ch - U'A' + U'a' : ch;
}

}  // namespace

bool InputMethod::onChar(char32_t ch, Edits& edits, Position& caret) {
    switch (lower(ch)) {
        case U'1':
        case U'2':
        case U'3':
        case U'4':
        case U'5':
        case U'6':
        case U'7':
            return enter(note(accidental, static_cast<int>(ch - U'0'), octave, duration), edits,
                         caret);
        case U'0':
            return enter(note::rest(duration), edits, caret);
        case U'-':
            return enter(note::mark(note::kDash), edits, caret);
        case U'.':
            return enter(note::mark(note::kAugmentationDot), edits, caret);
        case U'v':
            return enter(note::mark(note::kBreath), edits, caret);
        case U'(':
            return enter(note::mark(note::kOpenParen), edits, caret);
        case U')':
            return enter(note::mark(note::kCloseParen), edits, caret);
        case kEnter:
            return enter(note::barLine(0), edits, caret);
        case U'|':
            return enter(note::barLine(2), edits, caret);
        case U'[':
            return enter(note::barLine(3), edits, caret);
        case U']':
            return enter(note::barLine(4), edits, caret);
        case U'\\':
            return enter(note::barLine(5), edits, caret);
        case U'/':
            return enter(note::barLine(glyph::kHiddenBarType), edits, caret);
        case kBackspace: {
            bool changed = false;
            caret = deleteBefore(edits, caret, &changed);
            return changed;
        }
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

bool InputMethod::enter(const note& record, Edits& edits, Position& caret) {
    // Every item entered, and every attempt, ends a sharp, flat or natural that was set.
    accidental = 0;
    const std::optional<music::Item> item = music::decode(record);
    if (!item)
        return false;
    caret = insertItem(edits, caret, *item);
    return true;
}

}  // namespace qe
