#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "edit/position.h"
#include "edit/score_edit.h"

namespace qe {

// Where the caret stood and what the input method would enter next, to give back after an
// undo or redo.
struct EditState {
    std::optional<Position> caret;  // none when the caret was not placed
    int accidental = 0;
    int octave = 0;
    int duration = 0;
};

// One user action: a typed key, a Backspace, a tie, a paste, a dialog confirmed.
struct EditStep {
    std::vector<Change> changes;
    EditState before;
    EditState after;
};

// The undo history of one score, shared by every view on it: steps in order, the point
// between done and undone, and the step at which the score was last saved. Each step keeps
// only what changed, never a copy of the score.
class ScoreHistory {
public:
    // Opens an action; changes recorded until the matching end() form one step. Actions may
    // nest (a paste types many keys): only the outermost makes the step.
    void begin(const EditState& before);
    void record(Change change);
    // Closes an action; a step that changed nothing is not kept. Recording a step drops the
    // steps that were undone.
    void end(const EditState& after);
    // Closes an action that failed part way: when it is the outermost, every change it made is
    // taken back, so the score stands as before the action and no step is kept.
    void abandon(music::Score& score);
    // Whether an action is open and changes are being recorded.
    bool recording() const { return depth_ > 0 && !replaying_; }
    bool replaying() const { return replaying_; }

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    // Undoes or redoes one step on the score and returns it (to give the caret back); null
    // when there is none. A step that no longer fits the score (it cannot, unless the score
    // was changed outside the history) is undone as far as it went and dropped with the
    // steps beyond it.
    const EditStep* undo(music::Score& score);
    const EditStep* redo(music::Score& score);

    // The score as saved: undoing or redoing back to this point makes it unmodified again.
    void markClean() { clean_ = done_; }
    // A score that was never saved as it stands (an import, a recovered score): no point of
    // the history is clean until it is saved.
    void markUnsaved() { clean_.reset(); }
    // An action under way that has changed something counts already: the window hears of a
    // typed key before the key's step is closed.
    bool isClean() const { return clean_ && *clean_ == done_ && open_.changes.empty(); }
    // Forgets every step, as for a score just opened.
    void clear();

    // Told when an action closed with a step, and after an undo or redo.
    std::function<void()> onStepEnded;

    std::size_t stepCount() const { return steps_.size(); }
    // Bytes the steps hold, for keeping an eye on what a long session costs.
    std::size_t memoryBytes() const;

private:
    std::vector<EditStep> steps_;
    std::size_t done_ = 0;
    std::optional<std::size_t> clean_ = 0;  // none once the saved state was dropped
    int depth_ = 0;
    bool replaying_ = false;
    EditStep open_;
};

}  // namespace qe
