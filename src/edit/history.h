#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "edit/tree_position.h"
#include "model/doc_chunks.h"

namespace qe {

// The changes one user action makes to a score, each small and undoable by its inverse. They
// name places by position, so any view's tree built from the document can replay them.
namespace change {

struct InsertElement {
    TreePosition at;  // where the element stands after the insert
    ElementValue value;
};
struct RemoveElement {
    TreePosition at;  // where the element stood
    ElementValue value;
};
// A bar line typed into measure `measure`: a new measure at that index takes its first
// `count` elements and closes them with a bar line of `barType`.
struct SplitMeasure {
    int track = 0;
    int measure = 0;
    int count = 0;
    int barType = 0;
};
// The inverse: the measure at `measure` (its `count` elements, its `barType`) gives its bar
// line up and merges into the measure after it.
struct MergeMeasure {
    int track = 0;
    int measure = 0;
    int count = 0;
    int barType = 0;
};
struct AddShape {
    ShapeValue shape;
};
struct RemoveShape {
    ShapeValue shape;
};
// The syllables of one note, all verses.
struct SetSyllables {
    TreePosition at;
    std::vector<Syllable> before;
    std::vector<Syllable> after;
};
// The title block, key and time signature. Held apart, so that the many small changes stay
// small.
struct SetHeader {
    std::shared_ptr<const doc_header> before;
    std::shared_ptr<const doc_header> after;
};
// Page size, margins and fonts.
struct SetFormat {
    std::shared_ptr<const format_track_header> before;
    std::shared_ptr<const format_track_header> after;
};

}  // namespace change

using Change = std::variant<change::InsertElement, change::RemoveElement, change::SplitMeasure,
                            change::MergeMeasure, change::AddShape, change::RemoveShape,
                            change::SetSyllables, change::SetHeader, change::SetFormat>;

// The change that undoes `c`.
Change inverseOf(const Change& c);

// Where the caret stood and what the input method would enter next, to give back after an
// undo or redo.
struct EditState {
    std::optional<TreePosition> caret;  // none when the caret was not placed
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

// The undo history of one document, shared by every view on it: steps in order, the point
// between done and undone, and the step at which the document was last saved. Each step
// keeps only what changed, never a copy of the score.
class History {
public:
    // Opens an action; changes recorded until the matching end() form one step. Actions may
    // nest (a paste types many keys): only the outermost makes the step.
    void begin(const EditState& before);
    void record(Change change);
    // Closes an action; a step that changed nothing is not kept. Recording a step drops the
    // steps that were undone.
    void end(const EditState& after);
    // Whether an action is open and changes are being recorded.
    bool recording() const { return depth_ > 0 && !replaying_; }
    // Whether a step is being replayed: its changes are made exactly as recorded, and nothing
    // an edit would do on its own (tidying up around it) is added.
    bool replaying() const { return replaying_; }

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    // The step the next undo undoes, or the next redo redoes; null when there is none.
    const EditStep* nextUndo() const { return canUndo() ? &steps_[done_ - 1] : nullptr; }
    const EditStep* nextRedo() const { return canRedo() ? &steps_[done_] : nullptr; }
    // Moves the point after the step was replayed. Changes replayed meanwhile are not
    // recorded: hold a ReplayGuard.
    void undone() { --done_; }
    void redone() { ++done_; }

    // The document as saved: undoing or redoing back to this point makes it unmodified again.
    void markClean() { clean_ = done_; }
    // A document that was never saved as it stands (an import, a recovered score): no point
    // of the history is clean until it is saved.
    void markUnsaved() { clean_.reset(); }
    // An action under way that has changed something counts already: the window hears of a
    // typed key before the key's step is closed.
    bool isClean() const { return clean_ && *clean_ == done_ && open_.changes.empty(); }
    // Forgets every step, as for a document just opened.
    void clear();

    // Told when an action closed with a step: the owner of the document learns that it holds
    // a change the moment the step is whole, after the views laid it out.
    std::function<void()> onStepEnded;

    std::size_t stepCount() const { return steps_.size(); }
    // Bytes the steps hold, for keeping an eye on what a long session costs.
    std::size_t memoryBytes() const;

    // While a step is replayed, the edits it makes are not recorded again.
    class ReplayGuard {
    public:
        explicit ReplayGuard(History& h) : h_(h) { h_.replaying_ = true; }
        ~ReplayGuard() { h_.replaying_ = false; }
        ReplayGuard(const ReplayGuard&) = delete;
        ReplayGuard& operator=(const ReplayGuard&) = delete;

    private:
        History& h_;
    };

private:
    std::vector<EditStep> steps_;
    std::size_t done_ = 0;
    std::optional<std::size_t> clean_ = 0;  // none once the saved state was dropped
    int depth_ = 0;
    bool replaying_ = false;
    EditStep open_;
};

}  // namespace qe
