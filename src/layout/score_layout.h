#pragma once

#include <memory>

#include "draw/base_gdi.h"
#include "layout/linear_view.h"
#include "layout/page_view.h"
#include "music/score.h"

namespace qe {

// The layout of a score in one mode: the scroll-mode strip or the page-mode sheets. It is
// made from the score alone (with the format settings and the metrics of the surface that
// measures it), observes the score, and lays out again what changed when it is updated.
// Drawing reads it; nothing but an update changes it.
class ScoreLayout : public music::ScoreObserver {
public:
    enum Mode : int { kScrollMode = 0, kPageMode = 1 };

    ScoreLayout(const music::Score& score, int mode);
    ~ScoreLayout() override;
    ScoreLayout(const ScoreLayout&) = delete;
    ScoreLayout& operator=(const ScoreLayout&) = delete;

    int mode() const { return mode_; }
    // Lays out what the score changed since the last update. In page mode a measure wider than
    // a line, or a line taller than a page, throws Exception kLayoutOverflow; the layout then
    // holds what could be laid out and is made again at the next update.
    void update(BaseGDI& g);
    bool upToDate() const { return !dirty_; }

    // The root that is painted and hit-tested: the strip, or the page view.
    Node& root();
    const Node& root() const;
    // The track lines that own the measure nodes: the strip itself, or the one the page view
    // cuts its lines from.
    LinearView& tracks();
    const LinearView& tracks() const;
    // The page view; null in scroll mode.
    PageView* pages() { return pages_.get(); }
    const PageView* pages() const { return pages_.get(); }
    const music::Score& score() const { return score_; }

    void scoreChanged(const music::ScoreChange& change) override;

private:
    const music::Score& score_;
    const int mode_;
    std::unique_ptr<LinearView> strip_;
    std::unique_ptr<PageView> pages_;
    bool dirty_ = true;
};

}  // namespace qe
