#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qe::music {

// A chord symbol printed above the digits ("C", "Am7", "G/B", "F♯m7♭5", "B♭maj7"): a root, a
// quality with its alterations, and a bass note under a slash.
struct ChordSymbol {
    int step = 0;   // the root's letter: 0 C, 1 D, 2 E, 3 F, 4 G, 5 A, 6 B
    int alter = 0;  // -1 flat, 0, +1 sharp
    // What follows the root, in the stored spelling ("m7b5", "maj7", "7(#9)", ""): a quality
    // this editor knows, then alterations.
    std::string suffix;
    // The quality as MusicXML names it ("major", "minor-seventh", "half-diminished", ...).
    std::string kind;
    bool hasBass = false;
    int bassStep = 0;
    int bassAlter = 0;
    // "N.C.": no chord from here on, the chords stop (kind "none"; no root, no suffix).
    bool none = false;

    // The stored spelling: ASCII, "#" and "b" for the accidentals ("F#m7b5/C#").
    std::u16string text() const;
    // As printed: with "♯" and "♭" ("F♯m7♭5/C♯").
    std::u16string shown() const;
    friend bool operator==(const ChordSymbol&, const ChordSymbol&) = default;
};

// Reads a chord symbol as typed or stored: a root letter A..G, "#", "♯", "b" or "♭", a quality
// ("", "m", "7", "maj7", "m7", "dim", "dim7", "aug", "+", "m7b5", "ø", "sus4", "6", "9", ...),
// alterations ("b9", "#11", "add9", alone or in parentheses), then "/" and a bass note; or
// "N.C." (also "NC", "N.C"), no chord. Surrounding spaces are ignored. Nothing for anything
// else.
std::optional<ChordSymbol> parseChordSymbol(std::u16string_view text);

// The suffix of a MusicXML chord kind ("minor-seventh" gives "m7"); nothing for a kind this
// editor does not know.
std::optional<std::string> suffixOfKind(std::string_view kind);

}  // namespace qe::music
