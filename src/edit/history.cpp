#include "edit/history.h"

namespace qe {

Change inverseOf(const Change& c) {
    using namespace change;
    struct Inverse {
        Change operator()(const InsertElement& x) const { return RemoveElement{x.at, x.value}; }
        Change operator()(const RemoveElement& x) const { return InsertElement{x.at, x.value}; }
        Change operator()(const SplitMeasure& x) const {
            return MergeMeasure{x.track, x.measure, x.count, x.barType};
        }
        Change operator()(const MergeMeasure& x) const {
            return SplitMeasure{x.track, x.measure, x.count, x.barType};
        }
        Change operator()(const AddShape& x) const { return RemoveShape{x.shape}; }
        Change operator()(const RemoveShape& x) const { return AddShape{x.shape}; }
        Change operator()(const SetSyllables& x) const {
            return SetSyllables{x.at, x.after, x.before};
        }
        Change operator()(const SetHeader& x) const { return SetHeader{x.after, x.before}; }
        Change operator()(const SetFormat& x) const { return SetFormat{x.after, x.before}; }
    };
    return std::visit(Inverse{}, c);
}

void History::begin(const EditState& before) {
    if (replaying_)
        return;
    if (depth_++ == 0) {
        open_ = EditStep{};
        open_.before = before;
    }
}

void History::record(Change change) {
    if (recording())
        open_.changes.push_back(std::move(change));
}

void History::end(const EditState& after) {
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

void History::clear() {
    steps_.clear();
    done_ = 0;
    clean_ = 0;
    depth_ = 0;
    open_ = EditStep{};
}

std::size_t History::memoryBytes() const {
    std::size_t bytes = steps_.capacity() * sizeof(EditStep);
    for (const EditStep& step : steps_) {
        bytes += step.changes.capacity() * sizeof(Change);
        for (const Change& c : step.changes) {
            if (const auto* s = std::get_if<change::AddShape>(&c))
                bytes += s->shape.label.capacity() * sizeof(char16_t);
            else if (const auto* r = std::get_if<change::RemoveShape>(&c))
                bytes += r->shape.label.capacity() * sizeof(char16_t);
            else if (std::holds_alternative<change::SetHeader>(c))
                bytes += 2 * sizeof(doc_header);
            else if (std::holds_alternative<change::SetFormat>(c))
                bytes += 2 * sizeof(format_track_header);
        }
    }
    return bytes;
}

}  // namespace qe
