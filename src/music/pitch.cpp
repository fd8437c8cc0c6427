#include "music/pitch.h"

#include <cstdlib>

#include "base/exception.h"

namespace qe::music {

namespace {

// Semitones of the natural steps C..B above C. The major scale on C is those steps, so the
// same numbers are the semitones of the degrees 1..7 above the tonic in every key.
constexpr std::array<int, 7> kNatural = {0, 2, 4, 5, 7, 9, 11};
constexpr const std::array<int, 7>& kMajor = kNatural;

int floorDiv(int a, int b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

// Title-block letters 0..6 are A..G.
constexpr std::array<int, 7> kStepOfLetter = {5, 6, 0, 1, 2, 3, 4};

// For each semitone above the tonic: the degree that writes it and its shift off the key's
// degree. Out-of-scale notes are #1, b3, #4, #5 and b7.
struct Spelling {
    int degree;
    int shift;
};
constexpr std::array<Spelling, 12> kChromatic = {{{1, 0},
                                                  {1, 1},
                                                  {2, 0},
                                                  {3, -1},
                                                  {3, 0},
                                                  {4, 0},
                                                  {4, 1},
                                                  {5, 0},
                                                  {5, 1},
                                                  {6, 0},
                                                  {7, -1},
                                                  {7, 0}}};

}  // namespace

int Pitch::midi() const {
    const int octaves = floorDiv(step, 7);
    return 12 * (octave + octaves + 1) + kNatural[static_cast<std::size_t>(step - 7 * octaves)] +
           alter;
}

std::optional<int> shiftOf(int accidentalCode) {
    switch (accidentalCode) {
        case 1:
            return 1;
        case 2:
            return 2;
        case 3:
            return -1;
        case 4:
            return -2;
        case 5:
            return 0;
        default:
            return std::nullopt;
    }
}

int accidentalFor(int shift) {
    switch (shift) {
        case 1:
            return 1;
        case 2:
            return 2;
        case -1:
            return 3;
        case -2:
            return 4;
        case 0:
            return 5;
        default:
            throw Exception(kOutOfRange);
    }
}

Key::Key(int step, int alter) : step_(step), alter_(alter) {
    if (step < 0 || step > 6 || alter < -1 || alter > 1)
        throw Exception(kOutOfRange);
    tonicOctave_ = step <= 3 ? 4 : 3;  // C, D, E, F above middle C; G, A, B below it
    const int tonicMidi =
        12 * (tonicOctave_ + 1) + kNatural[static_cast<std::size_t>(step)] + alter;
    for (int d = 0; d < 7; ++d) {
        const int s = step + d;
        const int natural =
            12 * (tonicOctave_ + s / 7 + 1) + kNatural[static_cast<std::size_t>(s % 7)];
        degreeAlter_[static_cast<std::size_t>(d)] =
            tonicMidi + kMajor[static_cast<std::size_t>(d)] - natural;
    }
}

std::optional<Key> Key::fromTitle(int keyLetter, int keyAccidental) {
    if (keyLetter < 0 || keyLetter > 6)
        return std::nullopt;
    const int alter = keyAccidental == 1 ? 1 : keyAccidental == 2 ? -1 : 0;
    return Key(kStepOfLetter[static_cast<std::size_t>(keyLetter)], alter);
}

Key Key::fromFifths(int fifths) {
    if (fifths < -8 || fifths > 12)
        throw Exception(kOutOfRange);
    // Each fifth up moves the tonic four steps; F..B (-1..5) are natural, then sharps, and
    // flats below.
    return Key(((4 * fifths) % 7 + 7) % 7, floorDiv(fifths + 1, 7));
}

void Key::toTitle(doc_header& header) const {
    header.keyLetter = static_cast<std::uint8_t>((step_ + 2) % 7);
    header.keyAccidental = static_cast<std::uint8_t>(alter_ > 0 ? 1 : alter_ < 0 ? 2 : 0);
}

int Key::fifths() const {
    // The signatures of the natural tonics C..B.
    constexpr std::array<int, 7> kNaturalFifths = {0, 2, 4, -1, 1, 3, 5};
    return kNaturalFifths[static_cast<std::size_t>(step_)] + 7 * alter_;
}

Pitch Key::pitchOf(int degree, int octave, int shift) const {
    if (degree < 1 || degree > 7)
        throw Exception(kOutOfRange);
    const int s = step_ + degree - 1;
    return Pitch{s % 7, degreeAlter_[static_cast<std::size_t>(degree - 1)] + shift,
                 tonicOctave_ + octave + s / 7};
}

std::optional<ScaleNote> Key::noteOf(const Pitch& pitch) const {
    if (pitch.step < 0 || pitch.step > 6)
        return std::nullopt;
    const int degree = (pitch.step - step_ + 7) % 7 + 1;
    const int octave = pitch.octave - tonicOctave_ - (step_ + degree - 1) / 7;
    const int shift = pitch.alter - degreeAlter_[static_cast<std::size_t>(degree - 1)];
    if (std::abs(shift) > 2 || octave < -7 || octave > 8)
        return std::nullopt;
    return ScaleNote{degree, octave, shift == 0 ? 0 : accidentalFor(shift)};
}

ScaleNote Key::noteOfMidi(int midi) const {
    if (midi < 0 || midi > 127)
        throw Exception(kOutOfRange);
    const int above = midi - tonic().midi();
    const int octave = floorDiv(above, 12);
    const Spelling& spelling = kChromatic[static_cast<std::size_t>(above - 12 * octave)];
    return ScaleNote{spelling.degree, octave,
                     spelling.shift == 0 ? 0 : accidentalFor(spelling.shift)};
}

}  // namespace qe::music
