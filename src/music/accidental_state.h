#pragma once

#include <array>
#include <cstdint>

namespace qe::music {

// The accidentals in force in one measure. An accidental holds for the same degree at the
// same octave until the next bar line; a natural cancels it, returning the note to the key's
// own degree. Every reader of pitches (the track walk, importers choosing which accidentals to
// write, playback) keeps one of these so that they all read a measure alike.
class AccidentalState {
public:
    // A note of `degree` 1..7 and `octave` -7..8 with its accidental code: its own accidental,
    // if it has one, now holds for the rest of the measure. Returns the shift off the key's
    // degree the note sounds with (see shiftOf). Codes without a meaning (0, 6, 7) change
    // nothing.
    int apply(int degree, int octave, int accidentalCode);

    // The shift in force for a degree and octave; 0 when no accidental holds for it.
    int inForce(int degree, int octave) const;

    // The accidental code a writer puts on a note that must sound `shift` (-2..2) off the
    // key's degree: 0 when the shift in force already gives it, a natural when it returns to
    // the key's degree, the sign otherwise. Does not apply it. Throws Exception kOutOfRange
    // for another shift.
    int codeToWrite(int degree, int octave, int shift) const;

    // A bar line: nothing holds any more.
    void reset() { shifts_.fill(0); }

private:
    static constexpr int kLowestOctave = -7;
    static constexpr int kOctaves = 16;
    // Index of a degree and octave, or -1 for one a record cannot hold (nothing holds there).
    static int slot(int degree, int octave);

    std::array<std::int8_t, 7 * kOctaves> shifts_{};
};

}  // namespace qe::music
