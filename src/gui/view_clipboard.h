#pragma once

namespace qe {

class ScoreView;

// 编辑 > 复制, 剪切 and 粘贴 of a score window. The clipboard carries the editor's own form of
// the selected notes (with their ties and brackets) and their jianpu text, which other programs
// show and which pastes back from them; what cannot be pasted is said in the status bar.
void copySelection(ScoreView& view);
void cutSelection(ScoreView& view);
void pasteClipboard(ScoreView& view);

// The clipboard's form of the editor's own fragments.
inline constexpr const char* kFragmentMime = "application/x-qanoredit-fragment";

}  // namespace qe
