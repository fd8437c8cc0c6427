#pragma once

#include <span>

#include "edit/commands.h"
#include "edit/position.h"
#include "records/records.h"

namespace qe {

// Turns typed characters into score content: state keys change the accidental, octave and
// duration of what comes next; content keys enter an item in front of the caret; Backspace
// deletes what stands before it and Delete what stands after it.
class InputMethod {
public:
    // What a key does.
    enum class Act {
        Digit,          // the digit of the key, in the current accidental, octave and length
        Rest,           // 0 in the current length
        Mark,           // a mark: `value` is its note::k... code
        BarLine,        // a bar line: `value` is its type
        DeleteBefore,   // Backspace
        DeleteAfter,    // Delete
        Sharp,          // ♯, then ♯♯, then none
        Flat,           // ♭, then ♭♭, then none
        Natural,        // ♮, then none
        OctaveUp,
        OctaveDown,
        Length,         // `value` underlines
    };
    // The groups a key guide shows them in.
    enum class Group { Notes, Octave, Length, Accidentals, Marks, BarLines, Editing };

    // One key of the input method: the character typed (letters in lower case; the upper-case
    // letter does the same), what it does, and how a key guide names it.
    struct Key {
        char32_t ch;
        Act act;
        int value;
        Group group;
        const char16_t* keyName;  // as printed on the key, for the guide and tooltips
        const char16_t* meaning;
    };

    // Every key the input method takes, in the order a guide lists them.
    static std::span<const Key> keys();
    // The key that types `ch`, or null when the input method does nothing with it.
    static const Key* keyOf(char32_t ch);

    static constexpr char32_t kBackspace = 8;
    static constexpr char32_t kEnter = 13;
    static constexpr char32_t kDelete = 127;

    // Whether the score changed. `caret` is where the caret stands, and where it stands after.
    bool onChar(char32_t ch, Edits& edits, Position& caret);

    int accidental = 0;  // applies to the next item entered only
    int octave = 0;      // -3 .. 3
    int duration = 0;    // underlines: 0 quarter .. 3 thirty-second

private:
    bool enter(const note& record, Edits& edits, Position& caret);
};

}  // namespace qe
