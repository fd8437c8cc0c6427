#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "edit/edit_result.h"

namespace qe {

class ScoreView;

// The 音符 menu's commands in a score window: each asks what it must (a volta's label, a
// tuplet's kind, grace notes' digits), runs the editor's command, and says in the status bar
// why it changed nothing when it did not.
void tieSelection(ScoreView& view);
void voltaOverSelection(ScoreView& view);
void makeTriplet(ScoreView& view);
void chooseTuplet(ScoreView& view);
// A mark of the notation's table (articulation:: flag) on the note before the caret, or off.
void toggleMark(ScoreView& view, std::uint32_t flag);
// A tone of `degree` above (below) the chord of the note before the caret.
void addChordTone(ScoreView& view, int degree, bool below);
void addGracesBefore(ScoreView& view);
void addGracesAfter(ScoreView& view);
void clearChordAndGraces(ScoreView& view);
// Asks for the words over (under) the note before the caret, showing those it has.
void writeNoteWords(ScoreView& view, bool below);

// Says in the status bar why a command changed nothing, in the words given for its refusal
// (Refusal::None gives the words for any other); false when it was refused.
bool tellRefusal(ScoreView& view, const EditResult& result,
                 std::initializer_list<std::pair<Refusal, const char*>> why);

}  // namespace qe
