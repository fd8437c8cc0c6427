#include "music/item.h"

#include "base/exception.h"

namespace qe::music {

namespace {

// The mark types of a record, in the order of Item::Kind from Dash on.
constexpr Item::Kind kMarkKinds[] = {Item::Kind::Dash, Item::Kind::Dot, Item::Kind::Breath,
                                     Item::Kind::OpenParen, Item::Kind::CloseParen};

int markTypeOf(Item::Kind kind) {
    return static_cast<int>(kind) - static_cast<int>(Item::Kind::Dash);
}

bool inRange(int value, int low, int high) {
    return value >= low && value <= high;
}

}  // namespace

Item Item::digit(int degree, int octave, int underlines, int accidental) {
    Item item;
    item.kind = Kind::Digit;
    item.degree = degree;
    item.octave = octave;
    item.underlines = underlines;
    item.accidental = accidental;
    return item;
}

Item Item::rest(int underlines, int accidental) {
    Item item;
    item.kind = Kind::Rest;
    item.underlines = underlines;
    item.accidental = accidental;
    return item;
}

Item Item::mark(Kind kind) {
    Item item;
    item.kind = kind;
    return item;
}

Item Item::barLine(int barType) {
    Item item;
    item.kind = Kind::BarLine;
    item.barType = barType;
    return item;
}

std::optional<Item> decode(const note& record) {
    if (record.isBarLine()) {
        if (record.barType() > 7)
            return std::nullopt;  // the measure it would close goes on
        return Item::barLine(record.barType());
    }
    if (!record.isNoteLike())
        return std::nullopt;
    if (record.degree() != 0)
        return Item::digit(record.degree(), record.octaveCode() - 7, record.duration(),
                           record.accidental());
    if (record.octaveCode() == note::kRestOctaveCode)
        return Item::rest(record.duration(), record.accidental());
    if (record.octaveCode() == note::kMarkOctaveCode && record.markType() <= note::kCloseParen)
        return Item::mark(kMarkKinds[record.markType()]);
    return std::nullopt;
}

note encode(const Item& item) {
    const bool noteOrRest = item.isNoteOrRest();
    const bool valid =
        inRange(item.underlines, 0, noteOrRest ? 7 : 0) &&
        inRange(item.accidental, 0, noteOrRest ? 7 : 0) &&
        inRange(item.degree, item.isDigit() ? 1 : 0, item.isDigit() ? 7 : 0) &&
        inRange(item.octave, item.isDigit() ? -7 : 0, item.isDigit() ? 8 : 0) &&
        inRange(item.barType, 0, item.isBarLine() ? 7 : 0) &&
        inRange(static_cast<int>(item.kind), 0, static_cast<int>(Item::Kind::BarLine));
    if (!valid)
        throw Exception(kOutOfRange);
    switch (item.kind) {
        case Item::Kind::Digit:
            return note(item.accidental, item.degree, item.octave, item.underlines);
        case Item::Kind::Rest:
            return note(item.accidental, 0, 0, item.underlines);
        case Item::Kind::BarLine:
            return note::barLine(item.barType);
        default:
            return note::mark(markTypeOf(item.kind));
    }
}

}  // namespace qe::music
