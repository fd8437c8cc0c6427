#include "layout/score_layout.h"

#include "model/exception.h"

namespace qe {

ScoreLayout::ScoreLayout(const music::Score& score, int mode)
    : score_(score), mode_(mode == kScrollMode ? kScrollMode : kPageMode) {
    if (mode_ == kScrollMode) {
        strip_ = std::make_unique<LinearView>();
        strip_->stripSpacing = true;
    } else {
        pages_ = std::make_unique<PageView>();
    }
    const_cast<music::Score&>(score_).addObserver(this);
}

ScoreLayout::~ScoreLayout() {
    const_cast<music::Score&>(score_).removeObserver(this);
}

Node& ScoreLayout::root() {
    return strip_ ? static_cast<Node&>(*strip_) : *pages_;
}

const Node& ScoreLayout::root() const {
    return strip_ ? static_cast<const Node&>(*strip_) : *pages_;
}

LinearView& ScoreLayout::tracks() {
    return strip_ ? *strip_ : pages_->linear;
}

const LinearView& ScoreLayout::tracks() const {
    return strip_ ? *strip_ : pages_->linear;
}

void ScoreLayout::scoreChanged(const music::ScoreChange&) {
    dirty_ = true;
}

void ScoreLayout::update(BaseGDI& g) {
    if (!dirty_)
        return;
    // A layout that fails (a measure wider than a line) keeps what it could lay out, as a
    // finished one, until the score changes again.
    dirty_ = false;
    if (strip_) {
        strip_->clearChildren();
        strip_->build(&score_);
        strip_->relayout(g);
    } else {
        pages_->clearChildren();
        pages_->build(&score_);
        pages_->rebuild(g);
    }
}

}  // namespace qe
