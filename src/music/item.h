#pragma once

#include <optional>

#include "records/records.h"

namespace qe::music {

// What one record of a note track means: a digit, a rest, one of the marks, or a bar line.
// Every item takes one item index (the index a `location` names); an accidental is part of
// its digit's item, so it shares the digit's index.
struct Item {
    enum class Kind { Digit, Rest, Dash, Dot, Breath, OpenParen, CloseParen, BarLine };

    // Constructors of the valid items; fields a kind does not use stay 0.
    static Item digit(int degree, int octave = 0, int underlines = 0, int accidental = 0);
    static Item rest(int underlines = 0, int accidental = 0);
    static Item mark(Kind kind);  // Dash, Dot, Breath, OpenParen or CloseParen
    static Item barLine(int barType);

    bool isDigit() const { return kind == Kind::Digit; }
    bool isRest() const { return kind == Kind::Rest; }
    bool isBarLine() const { return kind == Kind::BarLine; }
    // A digit or rest: what starts a sounding note (or a silence).
    bool isNoteOrRest() const { return kind == Kind::Digit || kind == Kind::Rest; }

    friend bool operator==(const Item&, const Item&) = default;

    Kind kind = Kind::Rest;
    int degree = 0;  // a digit's scale degree 1..7
    // A digit's octave dots: +n above, -n below. A record holds -7..8; the keyboard types -3..3.
    int octave = 0;
    // A digit's or rest's accidental code: 0 none, 1 sharp, 2 double sharp, 3 flat, 4 double
    // flat, 5 natural. A record may hold 6 or 7; they are kept so that the record is written
    // back as it was read, and mean no alteration. A rest keeps its accidental for the same
    // reason; it sounds nothing.
    int accidental = 0;
    int underlines = 0;  // a digit's or rest's underline count 0..7; each halves a quarter
    int barType = 0;     // a bar line's type 0..7; 7 is the hidden bar line
};

// The item a record stands for, or nothing for a record the editor skips: an item class
// other than 0..3, a mark type above 4, degree 0 with an octave code other than rest's and
// mark's, a bar type with bit 3 set. A skipped record takes no item index.
std::optional<Item> decode(const note& record);

// The record an item is stored as, byte for byte as the editor writes it: a digit as
// note(accidental, degree, octave, underlines), a rest as note(accidental, 0, 0, underlines),
// a mark as note::mark(type), a bar line as note::barLine(type). decode(encode(x)) == x.
// Throws Exception kOutOfRange for an item whose fields lie outside the ranges above.
note encode(const Item& item);

}  // namespace qe::music
