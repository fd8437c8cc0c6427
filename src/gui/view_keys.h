#pragma once

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

}  // namespace qe
