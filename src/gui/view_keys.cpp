#include "gui/view_keys.h"

#include <array>

#include "edit/input_mode.h"

namespace qe {

namespace {

using Move = ScoreEditor::Move;

constexpr std::array<CaretKey, 10> kCaretKeys{{
    {"caretLeft", Qt::Key_Left, false, Move::Left, "←", "插入点左移一格"},
    {"caretRight", Qt::Key_Right, false, Move::Right, "→", "插入点右移一格"},
    {"caretUp", Qt::Key_Up, false, Move::LineUp, "↑", "上一行（同一行谱的上一声部，再上一行谱）"},
    {"caretDown", Qt::Key_Down, false, Move::LineDown, "↓", "下一行（同一行谱的下一声部，再下一行谱）"},
    {"caretLineStart", Qt::Key_Home, false, Move::LineStart, "Home", "行首"},
    {"caretLineEnd", Qt::Key_End, false, Move::LineEnd, "End", "行尾"},
    {"caretPageUp", Qt::Key_PageUp, false, Move::PageUp, "PgUp", "向上一屏"},
    {"caretPageDown", Qt::Key_PageDown, false, Move::PageDown, "PgDn", "向下一屏"},
    {"caretScoreStart", Qt::Key_Home, true, Move::ScoreStart, "Ctrl+Home", "乐谱开头"},
    {"caretScoreEnd", Qt::Key_End, true, Move::ScoreEnd, "Ctrl+End", "乐谱末尾"},
}};

}  // namespace

std::span<const CaretKey> caretKeys() {
    return kCaretKeys;
}

char32_t keyCharacter(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Backspace:
            return modekey::kBackspace;
        case Qt::Key_Tab:
            return modekey::kTab;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return modekey::kEnter;
        case Qt::Key_Escape:
            return modekey::kEscape;
        case Qt::Key_Space:
            return modekey::kSpace;
        case Qt::Key_Minus:
            return U'-';
        default:
            return 0;
    }
}


}  // namespace qe
