#pragma once

#include <span>

namespace qe {

// The keys an input mode (lyrics entry, chord-symbol entry) acts on by themselves, as the
// characters they type: the window hands a mode every key, as one of these or as text.
namespace modekey {
constexpr char32_t kBackspace = 8;
constexpr char32_t kTab = 9;
constexpr char32_t kEnter = 13;
constexpr char32_t kEscape = 27;
constexpr char32_t kSpace = 32;
}  // namespace modekey

// What a mode does with one of its keys.
enum class ModeAct {
    Next,       // keep what was typed on this note and go on to the next one
    Join,       // the same, the word going on there (a hyphen between two syllables)
    Backspace,  // take the last character back
    Finish,     // keep what was typed and end
    Cancel,     // end, leaving what was typed on this note
};

// One key of a mode, for the mode and for the key guide: the key, what it does, and how the
// guide names them (texts of the window).
struct ModeKey {
    char32_t key;
    ModeAct act;
    const char* keyName;
    const char* meaning;
};

// The key of a table, or null.
const ModeKey* modeKeyOf(std::span<const ModeKey> keys, char32_t key);

}  // namespace qe
