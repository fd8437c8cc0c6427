#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "edit/commands.h"

namespace qe {

// Commands on what a note carries beyond its digit, each one change of the score's history:
// chord tones and grace notes added to the note before the caret, articulations switched on
// and off there, its chord symbol, and tuplets over a selection.

// The digit or rest before the caret (passing over marks such as dashes), or nothing.
std::optional<music::EntryRef> noteBefore(const music::Score& score, const Position& caret);

// The digit or rest at or after the caret in its track (passing over marks and bar lines), or
// nothing at the end of the track.
std::optional<music::EntryRef> noteFrom(const music::Score& score, const Position& caret);
// The digit or rest after the one at `at` in track `track`, or nothing.
std::optional<music::EntryRef> noteAfter(const music::Score& score, int track, music::EntryRef at);

// Adds a tone of `degree` (with an accidental code 0..5) to the chord of the digit at `at`:
// above its highest tone (the nearest such degree over it), or with `below` under its lowest.
// False for a rest, or when the chord is full or the tone would lie beyond the octave dots.
bool addChordTone(Edits& edits, int track, music::EntryRef at, int degree, bool below,
                  int accidental = 0);
// Adds a grace note of `degree` before the digit at `at` (after its others), or after it, at
// the octave nearest the note's moved by `octaveShift`, with two underlines. False for a rest
// or a full note.
bool addGraceNote(Edits& edits, int track, music::EntryRef at, int degree, bool after,
                  int accidental = 0, int octaveShift = 0);
// Takes away what the note at `at` carries beyond its digit of one kind: its chord tones,
// grace notes or articulations. False when it had none.
enum class ExtraPart { Tones, Graces };
bool clearExtra(Edits& edits, int track, music::EntryRef at, ExtraPart part);
// Switches an articulation (articulation:: flag) of the digit or rest at `at`.
bool toggleArticulation(Edits& edits, int track, music::EntryRef at, std::uint32_t flag);
// Sets the chord symbol over the item at `at` from typed text, stored in its usual spelling;
// empty text takes it away. False, and nothing changes, for text that names no chord.
bool setChordSymbol(Edits& edits, int track, music::EntryRef at, std::u16string_view text);
// Sets the words written at the item at `at`, over the notes or under them; blank text takes
// them away. Line breaks become spaces and the text is cut to the longest a file holds.
bool setNoteText(Edits& edits, int track, music::EntryRef at, bool below, std::u16string_view text);
// Makes the digits and rests of a selection (within one measure) a tuplet of `actual` in the
// time of `normal`; when they are that tuplet already, they become plain notes again. False
// for a selection with no note, or one across measures.
bool toggleTuplet(Edits& edits, const Selection& selection, int actual, int normal);

}  // namespace qe
