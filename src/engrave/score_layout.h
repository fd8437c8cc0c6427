#pragma once

#include <memory>
#include <unordered_set>
#include <vector>

#include "engrave/linear_view.h"
#include "engrave/page_view.h"
#include "engrave/surface.h"
#include "music/score.h"

namespace qe {

// The layout of a score in one mode: the scroll-mode strip or the page-mode sheets. It is
// made from the score alone (with the format settings and the metrics of the surface that
// measures it) and observes the score: a change replaces the measure nodes it touched at
// once, and the next update measures them and lays out again only what they move, the lines
// and pages whose breaking changes, and the ties and brackets over them. Drawing reads it;
// nothing but an update changes it.
class ScoreLayout : public music::ScoreObserver {
public:
    enum Mode : int { kScrollMode = 0, kPageMode = 1 };

    ScoreLayout(const music::Score& score, int mode);
    ~ScoreLayout() override;
    ScoreLayout(const ScoreLayout&) = delete;
    ScoreLayout& operator=(const ScoreLayout&) = delete;

    int mode() const { return mode_; }
    // Lays out what the score changed since the last update. In page mode a line taller than
    // a page throws Exception kLayoutOverflow; the layout then holds what could be laid out,
    // and is made whole at the next update. A measure wider than a line is squeezed into one
    // (PageView::overwide names it).
    void update(Surface& g);
    bool upToDate() const { return !whole_ && dirty_.empty() && !shapes_; }
    // Whether the last update failed: the layout holds only what it could lay out, and is
    // made whole again at the next update.
    bool failed() const { return failed_; }
    // Whether the last update found more measures wider than a line than the one before it
    // did: the user is warned once, when a measure becomes too wide, not at every update.
    bool overwideAppeared() const { return overwideAppeared_; }
    // What the last update changed, in the root's frame: where something was or is drawn now.
    const std::vector<Rect>& changed() const { return changed_; }

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
    // The ties and brackets as drawn, in the order of the score's lists.
    const std::vector<TieArc>& arcs() const { return pages_ ? pages_->arcs : strip_->arcs; }
    const std::vector<VoltaBracket>& voltas() const {
        return pages_ ? pages_->voltas : strip_->voltas;
    }

    void scoreChanged(const music::ScoreChange& change) override;

private:
    void layOutWhole(Surface& g);
    void layOutChanges(Surface& g);
    // Gives the measures of every track whose verses came or went its new rows of lyrics,
    // to be measured again.
    void takeLyricRows();
    // Measures the measures made or changed since the last update, noting the first and last
    // of each track.
    void measureDirty(Surface& g, std::vector<int>& first, std::vector<int>& last);
    // Notes the measure count of every track; whether every track that reaches past column
    // `c0` gained or lost the same number of measures (`shift`).
    bool takeCounts(int c0, int& shift);
    // The strip: places the columns [c0, end) (end -1: to the end) on their grids and every
    // track from its first changed measure (or `c0`) on.
    void placeStripColumns(Surface& g, std::vector<int>& first, int c0, int end, bool shapes);
    // Replaces the measure nodes of a change with nodes of the measures that took their place.
    void replaceMeasures(const music::ScoreChange& change);
    // The strip: the measures of each track from its first changed one on are placed again,
    // as are the shapes they move (every shape, when the ties or voltas changed).
    void updateStrip(Surface& g, const std::vector<int>& first, int digitWidth, bool shapesChanged);
    void rebuildStripShapes(Surface& g);
    // Lays out again the strip's ties and brackets that reach a track's first changed measure
    // (all of them when `linesMoved`), making again those whose notes were replaced.
    void relayoutStripShapes(Surface& g, const std::vector<int>& first, bool linesMoved);
    void relayoutStripMarks(Surface& g);

    const music::Score& score_;
    const int mode_;
    std::unique_ptr<LinearView> strip_;
    std::unique_ptr<PageView> pages_;
    // Everything is made again at the next update: nothing was laid out yet, or the title
    // block or the format settings changed.
    bool whole_ = true;
    // Measure nodes made since the last update, not measured yet.
    std::unordered_set<Measure*> dirty_;
    // The ties or voltas changed.
    bool shapes_ = false;
    bool failed_ = false;
    bool overwideAppeared_ = false;
    std::size_t overwideCount_ = 0;
    // What each track had at the last update: its measures and its rows of lyrics.
    std::vector<int> counts_;
    std::vector<std::shared_ptr<const MeasureLyrics::Rows>> rows_;
    std::vector<Rect> changed_;
};

}  // namespace qe
