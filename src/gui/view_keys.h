#pragma once

#include <Qt>
#include <QString>
#include <span>

#include "edit/score_editor.h"

namespace qe {

// The keys of a score window that are not note entry nor a menu command: the caret moves
// (Shift with any of them selects), and the keys of lyrics mode. The window acts by these
// tables and the key guide lists them, so the two cannot disagree.
struct CaretKey {
    Qt::Key key;
    bool control;  // with Ctrl
    ScoreEditor::Move move;
    const char16_t* keyName;
    const char16_t* meaning;
};
std::span<const CaretKey> caretKeys();
// The move a key press makes, or null.
const CaretKey* caretKeyOf(int key, Qt::KeyboardModifiers modifiers);

struct LyricsKey {
    enum class Act { Leave, Next, Join, Backspace };
    Qt::Key key;
    Act act;
    const char16_t* keyName;
    const char16_t* meaning;
};
std::span<const LyricsKey> lyricsKeys();
const LyricsKey* lyricsKeyOf(int key);

// The keys of chord-symbol entry: the symbol is typed into the status bar and goes on its note
// when the entry moves on.
struct ChordKey {
    enum class Act { Leave, Next, Backspace };
    Qt::Key key;
    Act act;
    const char16_t* keyName;
    const char16_t* meaning;
};
std::span<const ChordKey> chordKeys();
const ChordKey* chordKeyOf(int key);

}  // namespace qe
