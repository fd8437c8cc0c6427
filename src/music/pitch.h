#pragma once

#include <array>
#include <optional>

#include "records/doc_chunks.h"

namespace qe::music {

// A pitch as a staff spells it: a letter, its alteration and an octave number, where octave 4
// runs from middle C (MIDI 60) up to the B above it.
struct Pitch {
    int step = 0;   // 0 C, 1 D, 2 E, 3 F, 4 G, 5 A, 6 B
    int alter = 0;  // semitones: +1 sharp, -1 flat, ±2 double (see Key for more)
    int octave = 4;

    // The MIDI note number: 60 for middle C. Octave dots far out of the keyboard's range give
    // numbers outside 0..127; a client that needs a MIDI note checks the range.
    int midi() const;

    friend bool operator==(const Pitch&, const Pitch&) = default;
};

// A note as jianpu writes it in some key: degree, octave dots and accidental code.
struct ScaleNote {
    int degree = 1;      // 1..7
    int octave = 0;      // octave dots: +n above, -n below
    int accidental = 0;  // 0 none, 1 sharp, 2 double sharp, 3 flat, 4 double flat

    friend bool operator==(const ScaleNote&, const ScaleNote&) = default;
};

// Semitones an accidental code moves a note off the key's own degree: sharp +1, double sharp
// +2, flat -1, double flat -2, natural 0 (the key's degree itself). Nothing for 0, the note
// without an accidental of its own, and for the codes 6 and 7, which mean nothing.
std::optional<int> shiftOf(int accidentalCode);

// The code that writes a shift of -2..2 off the key's degree: 0 is written as a natural.
// Throws Exception kOutOfRange for other shifts.
int accidentalFor(int shift);

// The key "1=X": which pitch the digit 1 names. The degrees 1..7 follow the major scale of
// that tonic, and an accidental is relative to the key's own degree: in 1=F, 4 is B flat, #4
// is B and b4 is B double flat.
//
// The undotted 1 lies in octave 4 in keys on C, D, E and F (1=C is middle C, 1=bE the E flat
// above it) and in octave 3 in keys on G, A and B (1=G is the G below middle C, 1=bB the
// B flat below it), so that the undotted octave stays around middle C. Each octave dot moves
// a note by an octave.
//
// Spellings follow the key: in keys whose own scale has a double sharp or flat (1=#G has
// F double sharp), a double accidental can take a spelled alteration up to ±4.
class Key {
public:
    Key() : Key(0, 0) {}  // 1=C
    // A tonic step 0..6 (C..B) and alteration -1, 0 or +1. Throws Exception kOutOfRange for
    // anything else.
    Key(int step, int alter);

    // The key of the title block: keyLetter 0..6 for A..G, keyAccidental 1 sharp, 2 flat.
    // Nothing for a letter outside 0..6, which names no key; an accidental code other than 1
    // and 2 reads as none, as the title block shows it.
    static std::optional<Key> fromTitle(int keyLetter, int keyAccidental);
    // The key of a title block with the octave of its "1" (see shifted).
    static std::optional<Key> fromTitle(const doc_header& header) {
        std::optional<Key> key = fromTitle(header.keyLetter, header.keyAccidental);
        if (key)
            *key = key->shifted(header.tonicShift);
        return key;
    }

    // The same key with its undotted "1" `octaves` octaves higher (lower when negative) than
    // the usual octave above; the digits of a song in 1=G can so sound from G4.
    Key shifted(int octaves) const {
        Key k = *this;
        k.tonicOctave_ += octaves;
        return k;
    }
    // How many octaves the undotted "1" lies off the usual one.
    int tonicShift() const { return tonicOctave_ - (step_ <= 3 ? 4 : 3); }

    // The major key whose signature has `fifths` sharps (negative: flats), from 8 flats (1=bF)
    // to 12 sharps (1=#B): every key a title block can name. A minor key's signature gives its
    // relative major. Throws Exception kOutOfRange outside that range.
    static Key fromFifths(int fifths);

    // The key "1=X" into the title block's letter and accidental; the inverse of fromTitle.
    void toTitle(doc_header& header) const;

    // Sharps (positive) or flats (negative) of the key's signature.
    int fifths() const;

    int step() const { return step_; }
    int alter() const { return alter_; }

    // The undotted 1.
    Pitch tonic() const { return pitchOf(1, 0); }

    // The pitch of `degree` (1..7) with `octave` dots, `shift` semitones off the key's own
    // degree (see shiftOf). Throws Exception kOutOfRange for a degree outside 1..7.
    Pitch pitchOf(int degree, int octave, int shift = 0) const;

    // The inverse of pitchOf: the degree whose letter the pitch has, with the accidental that
    // moves the key's degree to the pitch's alteration (0 when it is the key's own). Nothing
    // when that takes more than a double sharp or flat, or more octave dots than a record
    // holds (-7..8).
    std::optional<ScaleNote> noteOf(const Pitch& pitch) const;

    // The most natural way to write a MIDI number 0..127 in this key: a degree of the key
    // without accidental when the pitch is in its scale, otherwise #1, b3, #4, #5 or b7 (in
    // 1=C: C sharp, E flat, F sharp, G sharp, B flat), the chromatic notes jianpu writers use
    // most: the raised fifth is the leading note of the minor mode on 6, the flat seventh and
    // third the blue notes. Throws Exception kOutOfRange outside 0..127.
    ScaleNote noteOfMidi(int midi) const;

    friend bool operator==(const Key& a, const Key& b) {
        return a.step_ == b.step_ && a.alter_ == b.alter_ && a.tonicOctave_ == b.tonicOctave_;
    }

private:
    int step_ = 0;
    int alter_ = 0;
    int tonicOctave_ = 4;
    std::array<int, 7> degreeAlter_{};  // the key's own alteration of each degree
};

}  // namespace qe::music
