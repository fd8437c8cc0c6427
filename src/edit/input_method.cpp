#include "edit/input_method.h"

#include <algorithm>
#include <array>

#include "engrave/symbols.h"
#include "music/item.h"

namespace qe {

namespace {

using Act = InputMethod::Act;
using Group = InputMethod::Group;

// The one table of note-entry keys: the input method acts by it and the key guide and the
// note-input toolbar are made from it.
constexpr std::array<InputMethod::Key, 30> kKeys{{
    {U'1', Act::Digit, 1, Group::Notes, u"1", u"do"},
    {U'2', Act::Digit, 2, Group::Notes, u"2", u"re"},
    {U'3', Act::Digit, 3, Group::Notes, u"3", u"mi"},
    {U'4', Act::Digit, 4, Group::Notes, u"4", u"fa"},
    {U'5', Act::Digit, 5, Group::Notes, u"5", u"sol"},
    {U'6', Act::Digit, 6, Group::Notes, u"6", u"la"},
    {U'7', Act::Digit, 7, Group::Notes, u"7", u"si"},
    {U'0', Act::Rest, 0, Group::Notes, u"0", u"休止符"},
    {U'u', Act::OctaveUp, 0, Group::Octave, u"U", u"升高八度（下一个音符起）"},
    {U'm', Act::OctaveDown, 0, Group::Octave, u"M", u"降低八度（下一个音符起）"},
    {U'j', Act::Length, 0, Group::Length, u"J", u"四分音符（无减时线）"},
    {U'k', Act::Length, 1, Group::Length, u"K", u"八分音符（一条减时线）"},
    {U'l', Act::Length, 2, Group::Length, u"L", u"十六分音符（两条减时线）"},
    {U';', Act::Length, 3, Group::Length, u";", u"三十二分音符（三条减时线）"},
    {U's', Act::Sharp, 0, Group::Accidentals, u"S", u"升号；再按为重升，三按取消"},
    {U'f', Act::Flat, 0, Group::Accidentals, u"F", u"降号；再按为重降，三按取消"},
    {U'r', Act::Natural, 0, Group::Accidentals, u"R", u"还原号；再按取消"},
    {U'-', Act::Mark, note::kDash, Group::Marks, u"-", u"增时线（延长一拍）"},
    {U'.', Act::Mark, note::kAugmentationDot, Group::Marks, u".", u"附点"},
    {U'v', Act::Mark, note::kBreath, Group::Marks, u"V", u"换气记号"},
    {U'(', Act::Mark, note::kOpenParen, Group::Marks, u"(", u"左括号"},
    {U')', Act::Mark, note::kCloseParen, Group::Marks, u")", u"右括号"},
    {InputMethod::kEnter, Act::BarLine, 0, Group::BarLines, u"Enter", u"小节线"},
    {U'|', Act::BarLine, 2, Group::BarLines, u"|", u"双小节线"},
    {U'[', Act::BarLine, 3, Group::BarLines, u"[", u"反复开始"},
    {U']', Act::BarLine, 4, Group::BarLines, u"]", u"反复结束"},
    {U'\\', Act::BarLine, 5, Group::BarLines, u"\\", u"虚小节线"},
    {U'/', Act::BarLine, glyph::kHiddenBarType, Group::BarLines, u"/", u"隐藏小节线"},
    {InputMethod::kBackspace, Act::DeleteBefore, 0, Group::Editing, u"Backspace",
     u"删除插入点之前的内容（在小节开头则合并两个小节）"},
    {InputMethod::kDelete, Act::DeleteAfter, 0, Group::Editing, u"Delete",
     u"删除插入点之后的内容（在小节末尾则合并两个小节）"},
}};

char32_t lower(char32_t ch) {
    return ch >= U'A' && ch <= U'Z' ? ch - U'A' + U'a' : ch;
}

}  // namespace

std::span<const InputMethod::Key> InputMethod::keys() {
    return kKeys;
}

const InputMethod::Key* InputMethod::keyOf(char32_t ch) {
    const char32_t c = lower(ch);
    for (const Key& key : kKeys)
        if (key.ch == c)
            return &key;
    return nullptr;
}

bool InputMethod::onChar(char32_t ch, Edits& edits, Position& caret) {
    const Key* key = keyOf(ch);
    if (!key)
        return false;
    switch (key->act) {
        case Act::Digit:
            return enter(note(accidental, key->value, octave, duration), edits, caret);
        case Act::Rest:
            return enter(note::rest(duration), edits, caret);
        case Act::Mark:
            return enter(note::mark(key->value), edits, caret);
        case Act::BarLine:
            return enter(note::barLine(key->value), edits, caret);
        case Act::DeleteBefore:
        case Act::DeleteAfter: {
            const std::optional<Position> after = key->act == Act::DeleteBefore
                                                      ? deleteBefore(edits, caret)
                                                      : deleteAfter(edits, caret);
            if (after)
                caret = *after;
            return after.has_value();
        }
        case Act::Sharp:
            accidental = accidental == 1 ? 2 : accidental == 2 ? 0 : 1;
            return false;
        case Act::Flat:
            accidental = accidental == 3 ? 4 : accidental == 4 ? 0 : 3;
            return false;
        case Act::Natural:
            accidental = accidental == 5 ? 0 : 5;
            return false;
        case Act::OctaveUp:
            octave = std::min(octave + 1, 3);
            return false;
        case Act::OctaveDown:
            octave = std::max(octave - 1, -3);
            return false;
        case Act::Length:
            duration = key->value;
            return false;
    }
    return false;
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
