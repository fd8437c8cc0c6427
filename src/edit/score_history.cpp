#include "edit/score_history.h"

#include "base/exception.h"

namespace qe {

void ScoreHistory::begin(const EditState& before) {
    if (replaying_)
        return;
    if (depth_++ == 0) {
        open_ = EditStep{};
        open_.before = before;
    }
}

void ScoreHistory::record(Change change) {
    if (recording())
        open_.changes.push_back(std::move(change));
}

void ScoreHistory::end(const EditState& after) {
    if (replaying_ || depth_ == 0 || --depth_ > 0)
        return;
    if (open_.changes.empty())
        return;
    open_.after = after;
    steps_.resize(done_);
    if (clean_ && *clean_ > done_)
        clean_.reset();  // the saved state was undone and is now out of reach
    steps_.push_back(std::move(open_));
    ++done_;
    open_ = EditStep{};
    if (onStepEnded)
        onStepEnded();
}

void ScoreHistory::abandon(music::Score& score) {
    if (replaying_ || depth_ == 0 || --depth_ > 0)
        return;
    for (auto it = open_.changes.rbegin(); it != open_.changes.rend(); ++it)
        applyChange(score, inverseOf(*it));
    open_ = EditStep{};
}

namespace {

// Replays changes, each exactly as recorded. When one does not fit, those made are taken back
// so that the score stands as it did before the step, and the failure goes on.
template <typename Changes>
void replay(music::Score& score, const Changes& changes) {
    std::vector<Change> made;
    try {
        for (const Change& c : changes) {
            applyChange(score, c);
            made.push_back(c);
        }
    } catch (const Exception&) {
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            applyChange(score, inverseOf(*it));
        throw;
    }
}

}  // namespace

const EditStep* ScoreHistory::undo(music::Score& score) {
    if (!canUndo() || depth_ > 0)
        return nullptr;
    const EditStep& step = steps_[done_ - 1];
    std::vector<Change> inverse;
    inverse.reserve(step.changes.size());
    for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it)
        inverse.push_back(inverseOf(*it));
    replaying_ = true;
    try {
        replay(score, inverse);
    } catch (const Exception&) {
        replaying_ = false;
        // Steps that no longer fit the score can never be undone or redone.
        steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(done_));
        done_ = 0;
        clean_.reset();
        return nullptr;
    }
    replaying_ = false;
    --done_;
    if (onStepEnded)
        onStepEnded();
    return &steps_[done_];
}

const EditStep* ScoreHistory::redo(music::Score& score) {
    if (!canRedo() || depth_ > 0)
        return nullptr;
    const EditStep& step = steps_[done_];
    replaying_ = true;
    try {
        replay(score, step.changes);
    } catch (const Exception&) {
        replaying_ = false;
        steps_.resize(done_);
        if (clean_ && *clean_ > done_)
            clean_.reset();
        return nullptr;
    }
    replaying_ = false;
    ++done_;
    if (onStepEnded)
        onStepEnded();
    return &steps_[done_ - 1];
}

void ScoreHistory::clear() {
    steps_.clear();
    done_ = 0;
    clean_ = 0;
    depth_ = 0;
    open_ = EditStep{};
}

std::size_t ScoreHistory::memoryBytes() const {
    std::size_t bytes = steps_.capacity() * sizeof(EditStep);
    for (const EditStep& step : steps_) {
        bytes += step.changes.capacity() * sizeof(Change);
        for (const Change& c : step.changes)
            bytes += heldBytes(c);
    }
    return bytes;
}

}  // namespace qe
