#pragma once

#include <QKeyEvent>
#include <Qt>
#include <span>

#include "edit/score_editor.h"

namespace qe {

// The caret keys of a score window: where each takes the caret (Shift with any of them
// selects as it goes). The command table makes a command of each, and the key guide lists them.
struct CaretKey {
    const char* id;
    Qt::Key key;
    bool control;  // with Ctrl
    ScoreEditor::Move move;
    const char* keyName;
    const char* meaning;
};
std::span<const CaretKey> caretKeys();

// The modifiers of a command's key: a key pressed with one of them types nothing.
inline constexpr Qt::KeyboardModifiers kCommandModifiers =
    Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

// The character a key types for the editing layer: the keys an input mode or note entry acts
// on by themselves (Backspace, Tab, Enter, Esc, space, -), whatever text the desktop gives for
// them; 0 for any other key.
char32_t keyCharacter(const QKeyEvent* event);

}  // namespace qe
