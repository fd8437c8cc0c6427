#pragma once

#include <optional>
#include <vector>

#include "music/item.h"
#include "music/meter.h"

namespace qe::music {

// How one digit or rest is written for its time: its underlines, then augmentation dots or
// dashes after it (never both). Lengths follow MeasureClock: a quarter halved per underline,
// a dot adds half of what it follows, a dash a quarter.
struct NoteValue {
    int underlines = 0;  // 0..7
    int dots = 0;        // 0..2
    int dashes = 0;

    Ticks length() const;

    // The items that write it: the digit or rest `head` (whose underlines are replaced by
    // this value's), then the dots or dashes.
    std::vector<Item> items(Item head) const;

    friend bool operator==(const NoteValue&, const NoteValue&) = default;
};

// The one digit with underlines and up to two dots that lasts exactly `length`, as the
// keyboard writes it (a dotted eighth is "5_ ."); nothing when no such digit exists. Lengths
// of whole quarters above one quarter are not single digits: they take dashes.
std::optional<NoteValue> singleValue(Ticks length);

// A note of `length` as jianpu writes it: one digit when one digit with its dots or dashes
// can show it (a half is "5 -", a dotted quarter "5 .", a whole "5 - - -"), otherwise pieces
// to be tied in order: the whole quarters first as a digit with dashes, then what remains,
// longest value first. Throws Exception kOutOfRange unless `length` is a positive multiple
// of the shortest value.
std::vector<NoteValue> spellNote(Ticks length);

// A rest of `length` as separate rests: a rest is not lengthened by dashes, so each whole
// quarter is its own 0, and a shorter remainder is one rest (with dots) when one can show it,
// else the longest values first. Throws as spellNote.
std::vector<NoteValue> spellRest(Ticks length);

// A silent measure of `length`: one rest per beat of the meter (a beat longer than a quarter
// is counted in quarters), then what is left as spellRest writes it. Throws as spellNote.
std::vector<NoteValue> spellMeasureRest(Ticks length, const Meter& meter);

}  // namespace qe::music
