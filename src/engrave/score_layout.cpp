#include "engrave/score_layout.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "base/exception.h"
#include "engrave/line_breaker.h"
#include "engrave/measure.h"
#include "engrave/note_line.h"
#include "music/attributes.h"

namespace qe {

namespace {

bool sameRows(const std::shared_ptr<const MeasureLyrics::Rows>& a,
              const std::shared_ptr<const MeasureLyrics::Rows>& b) {
    const bool aEmpty = !a || a->empty();
    const bool bEmpty = !b || b->empty();
    if (aEmpty || bEmpty)
        return aEmpty == bEmpty;
    return *a == *b;
}

Rect boxOf(const Style& s) {
    return {s.x, s.y, s.x + s.width, s.y + s.height};
}

}  // namespace

ScoreLayout::ScoreLayout(const music::Score& score, int mode)
    : score_(score), mode_(mode == kScrollMode ? kScrollMode : kPageMode) {
    if (mode_ == kScrollMode) {
        strip_ = std::make_unique<LinearView>();
        strip_->stripSpacing = true;
        strip_->withHead = true;
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

void ScoreLayout::scoreChanged(const music::ScoreChange& change) {
    using Kind = music::ScoreChange::Kind;
    switch (change.kind) {
        case Kind::Measures:
            if (!whole_)
                replaceMeasures(change);
            break;
        case Kind::Ties:
            shapes_ = true;
            break;
        case Kind::Voltas:
            // On pages an ending's bracket takes room over its part's row, and one that every
            // part repeats is drawn once: the systems it stands over change.
            if (pages_)
                whole_ = true;
            shapes_ = true;
            break;
        case Kind::Header:
        case Kind::Format:
        case Kind::Reset:
            whole_ = true;
            break;
    }
}

void ScoreLayout::replaceMeasures(const music::ScoreChange& change) {
    LinearView& view = tracks();
    if (change.track < 0 || change.track >= view.childCount()) {
        whole_ = true;
        return;
    }
    Node& line = *view.child(change.track);
    if (change.measure < 0 || change.measure + change.removed > line.childCount()) {
        whole_ = true;
        return;
    }
    const auto made = [&](int m) {
        std::unique_ptr<Measure> node =
            buildMeasure(&view.settings, score_.measure(change.track, m));
        node->spacedAlone = false;  // its column places it
        dirty_.insert(node.get());
        return node;
    };
    // The old nodes are deleted here; the shapes on them lose their anchors.
    const int same = std::min(change.removed, change.added);
    for (int i = 0; i < same; ++i) {
        const int m = change.measure + i;
        dirty_.erase(asMeasure(line.child(m)));
        line.replaceChild(m, made(m));
    }
    for (int i = same; i < change.removed; ++i) {
        dirty_.erase(asMeasure(line.child(change.measure + same)));
        line.removeChild(change.measure + same);
    }
    for (int i = same; i < change.added; ++i)
        line.insertChild(change.measure + i, made(change.measure + i));
}

void ScoreLayout::layOutWhole(Surface& g) {
    dirty_.clear();
    shapes_ = false;
    counts_.clear();
    rows_.clear();
    changed_.clear();
    // A layout that fails (a measure wider than a line) keeps what it could lay out until
    // the score changes again.
    if (strip_) {
        strip_->clearChildren();
        strip_->build(&score_);
        strip_->relayout(g);
    } else {
        pages_->clearChildren();
        pages_->build(&score_);
    }
    for (int t = 0; t < tracks().childCount(); ++t) {
        counts_.push_back(tracks().child(t)->childCount());
        rows_.push_back(tracks().lyricRowsOf(t));
    }
    if (pages_)
        pages_->rebuild(g);
    whole_ = false;
    changed_ = {boxOf(root().style)};
}

void ScoreLayout::update(Surface& g) {
    failed_ = false;
    overwideAppeared_ = false;
    try {
        if (whole_)
            layOutWhole(g);
        else
            layOutChanges(g);
        const std::size_t overwide = pages_ ? pages_->overwide.size() : 0;
        overwideAppeared_ = overwide > overwideCount_;
        overwideCount_ = overwide;
    } catch (const Exception&) {
        // Whatever failed is laid out whole next time, and fails again until the score
        // changes so that it fits.
        failed_ = true;
        whole_ = true;
        changed_ = {boxOf(root().style)};
        throw;
    }
}

void ScoreLayout::layOutChanges(Surface& g) {
    changed_.clear();
    if (dirty_.empty() && !shapes_)
        return;
    LinearView& view = tracks();
    const int tracksCount = view.childCount();
    takeLyricRows();
    // Where each track changed.
    std::vector<int> first(static_cast<std::size_t>(tracksCount), INT_MAX);
    std::vector<int> last(static_cast<std::size_t>(tracksCount), -1);
    measureDirty(g, first, last);
    const bool measures = !dirty_.empty();
    dirty_.clear();
    const bool shapes = shapes_;
    shapes_ = false;

    if (measures) {
        // The columns that changed, and whether the columns after them moved all alike.
        int c0 = INT_MAX;
        int c1 = -1;
        for (int t = 0; t < tracksCount; ++t) {
            c0 = std::min(c0, first[static_cast<std::size_t>(t)]);
            c1 = std::max(c1, last[static_cast<std::size_t>(t)] + 1);
        }
        int shift = 0;
        const bool uniform = takeCounts(c0, shift);
        if (strip_) {
            placeStripColumns(g, first, c0, uniform ? c1 : -1, shapes);
            return;
        }
        pages_->update(g, c0, uniform ? c1 : -1, shift);
        changed_ = pages_->changed;
        if (shapes) {
            pages_->rebuildShapes(g);
            changed_ = pages_->changed;
        }
    } else if (shapes && strip_) {
        rebuildStripShapes(g);
    } else if (shapes) {
        pages_->changed.clear();
        pages_->rebuildShapes(g);
        changed_ = pages_->changed;
    }
}

void ScoreLayout::takeLyricRows() {
    // Verses that came or went in a track change the rows of every measure of its line.
    LinearView& view = tracks();
    for (int t = 0; t < view.childCount(); ++t) {
        auto rows = view.lyricRowsOf(t);
        if (sameRows(rows, rows_[static_cast<std::size_t>(t)]))
            continue;
        rows_[static_cast<std::size_t>(t)] = rows;
        Node* line = view.child(t);
        for (int m = 0; m < line->childCount(); ++m) {
            Measure* measure = asMeasure(line->child(m));
            measure->setLyricRows(rows);
            dirty_.insert(measure);
        }
    }
}

void ScoreLayout::measureDirty(Surface& g, std::vector<int>& first, std::vector<int>& last) {
    LinearView& view = tracks();
    const music::Attributes attributes(score_.header());
    for (Measure* m : dirty_) {
        const int t = view.indexOf(m->parent());
        const int i = m->parent()->indexOf(m);
        first[static_cast<std::size_t>(t)] = std::min(first[static_cast<std::size_t>(t)], i);
        last[static_cast<std::size_t>(t)] = std::max(last[static_cast<std::size_t>(t)], i);
        m->setBeat(attributes.beatAt(i));
        m->setLyricRows(rows_[static_cast<std::size_t>(t)]);
        m->layout(g, true);
        if (strip_)
            m->style.y = -m->parent()->style.paddingTop - m->style.marginTop;
    }
}

bool ScoreLayout::takeCounts(int c0, int& shift) {
    const LinearView& view = tracks();
    const int tracksCount = view.childCount();
    bool uniform = true;
    bool shiftKnown = false;
    for (int t = 0; t < tracksCount; ++t) {
        const int now = view.child(t)->childCount();
        const int before = counts_[static_cast<std::size_t>(t)];
        if (std::max(now, before) <= c0)
            continue;
        if (!shiftKnown) {
            shift = now - before;
            shiftKnown = true;
        } else if (now - before != shift) {
            uniform = false;
        }
    }
    for (int t = 0; t < tracksCount; ++t)
        counts_[static_cast<std::size_t>(t)] = view.child(t)->childCount();
    return uniform;
}

void ScoreLayout::placeStripColumns(Surface& g, std::vector<int>& first, int c0, int end,
                                    bool shapes) {
    // Every track's measures of the changed columns are placed again on their grids (all of
    // them after the change when the tracks moved apart), and every track moves along from
    // the first.
    LinearView& view = *strip_;
    const std::vector<ColumnGrid> columns = columnGrids(view, c0, end);
    for (const ColumnGrid& column : columns)
        column.place(1.0, 1.0, g);
    for (int t = 0; t < view.childCount(); ++t)
        if (view.child(t)->childCount() > c0 || first[static_cast<std::size_t>(t)] != INT_MAX)
            first[static_cast<std::size_t>(t)] = std::min(first[static_cast<std::size_t>(t)], c0);
    const int digitWidth = columns.empty() ? 0 : columns.front().digitWidth();
    updateStrip(g, first, digitWidth, shapes);
}

void ScoreLayout::rebuildStripShapes(Surface& g) {
    for (const TieArc& arc : strip_->arcs)
        changed_.push_back(boxOf(arc.style));
    for (const VoltaBracket& jump : strip_->voltas)
        changed_.push_back(boxOf(jump.style));
    strip_->buildShapes();
    for (TieArc& arc : strip_->arcs) {
        arc.layout(g, true);
        changed_.push_back(boxOf(arc.style));
    }
    for (VoltaBracket& jump : strip_->voltas) {
        jump.layout(g, true);
        changed_.push_back(boxOf(jump.style));
    }
    relayoutStripMarks(g);
}

void ScoreLayout::relayoutStripMarks(Surface& g) {
    // Few and cheap: made again whenever measures or shapes move.
    for (const MarkText& mark : strip_->marks)
        changed_.push_back(boxOf(mark.style));
    strip_->marks = strip_->makeMarks(false);
    for (MarkText& mark : strip_->marks) {
        mark.layout(g, true);
        changed_.push_back(boxOf(mark.style));
    }
}

namespace {

// Places the measures of a strip's track line from measure `from` on, each after the one
// before by `gap`, as the whole strip is spaced at the natural unit, and sizes the line.
void respaceStripLine(Node& line, int from, int gap) {
    int sum = 0;
    if (from > 0) {
        const Node* before = line.child(from - 1);
        sum = before->style.x + before->style.width;
    }
    for (int i = from; i < line.childCount(); ++i) {
        Node* shown = line.child(i);
        if (i > 0)
            sum += gap;
        shown->style.x = sum;
        sum += shown->style.width;
    }
    // Room above the line for chord symbols and the like, as its full arrangement makes.
    if (line.kind == kNoteLine) {
        const int room = static_cast<const NoteLine&>(line).roomAbove();
        if (room != line.style.paddingTop) {
            line.style.paddingTop = room;
            for (int i = 0; i < line.childCount(); ++i)
                line.child(i)->style.y = -room - line.child(i)->style.marginTop;
        }
    }
    if (line.childCount() == 0)
        sum = 0;
    line.style.width = sum;
    int bottom = 0;
    for (int i = 0; i < line.childCount(); ++i) {
        const Style& s = line.child(i)->style;
        bottom = std::min(bottom, s.y + s.height - s.marginBottom);
    }
    line.style.height = bottom - line.style.paddingBottom;
}

}  // namespace

void ScoreLayout::updateStrip(Surface& g, const std::vector<int>& first, int digitWidth,
                              bool shapesChanged) {
    LinearView& view = *strip_;
    const int gap = static_cast<int>(std::lround(digitWidth * kMeasureGap));
    std::vector<int> yBefore;
    for (int t = 0; t < view.childCount(); ++t)
        yBefore.push_back(view.child(t)->style.y);
    const Style rootBefore = view.style;
    for (int t = 0; t < view.childCount(); ++t)
        if (first[static_cast<std::size_t>(t)] != INT_MAX)
            respaceStripLine(*view.child(t), first[static_cast<std::size_t>(t)], gap);
    view.System::arrange(g);
    // What moved: from each changed measure to the end of its line, or the whole strip when
    // a line moved up or down.
    bool linesMoved = rootBefore.height != view.style.height;
    for (int t = 0; t < view.childCount(); ++t)
        linesMoved = linesMoved || yBefore[static_cast<std::size_t>(t)] != view.child(t)->style.y;
    if (linesMoved) {
        changed_.push_back(boxOf(rootBefore));
        changed_.push_back(boxOf(view.style));
    } else {
        for (int t = 0; t < view.childCount(); ++t) {
            const int from = first[static_cast<std::size_t>(t)];
            if (from == INT_MAX)
                continue;
            const Node& line = *view.child(t);
            const int x = from < line.childCount() ? line.child(from)->style.x : line.style.width;
            changed_.push_back({line.style.x + x, line.style.y,
                                std::max(rootBefore.width, view.style.width),
                                line.style.y + line.style.height});
        }
    }
    if (shapesChanged || view.arcs.size() != score_.ties().size() ||
        view.voltas.size() != score_.voltas().size()) {
        rebuildStripShapes(g);
        return;
    }
    relayoutStripShapes(g, first, linesMoved);
}

void ScoreLayout::relayoutStripShapes(Surface& g, const std::vector<int>& first, bool linesMoved) {
    LinearView& view = *strip_;
    const auto moved = [&](int t, int to) {
        return linesMoved || to >= first[static_cast<std::size_t>(t)];
    };
    // Arcs whose notes were replaced take the new ones before the arcs sharing a note are
    // known.
    std::vector<bool> replaced(view.arcs.size(), false);
    for (std::size_t i = 0; i < view.arcs.size(); ++i) {
        if (view.arcs[i].anchored())
            continue;
        const music::Tie& tie = score_.ties()[i];
        changed_.push_back(boxOf(view.arcs[i].style));
        view.arcs[i] = TieArc(view.format, view.itemNode(tie.track, tie.from),
                              view.itemNode(tie.track, tie.to));
        replaced[i] = true;
    }
    markSharedEnds(view.arcs);
    for (std::size_t i = 0; i < view.arcs.size(); ++i) {
        const music::Tie& tie = score_.ties()[i];
        TieArc& arc = view.arcs[i];
        if (!replaced[i] && !moved(tie.track, tie.to.measure))
            continue;
        if (!replaced[i])
            changed_.push_back(boxOf(arc.style));
        arc.layout(g, true);
        changed_.push_back(boxOf(arc.style));
    }
    for (std::size_t i = 0; i < view.voltas.size(); ++i) {
        const music::Volta& volta = score_.voltas()[i];
        VoltaBracket& jump = view.voltas[i];
        const bool replaced = !jump.anchored();
        if (!replaced && !moved(volta.track, volta.to))
            continue;
        changed_.push_back(boxOf(jump.style));
        if (replaced) {
            jump = VoltaBracket(volta.label, view.format, view.measureNode(volta.track, volta.from),
                                view.measureNode(volta.track, volta.to));
            jump.shown = !repeatsEndingAbove(score_.voltas(), i);
        }
        jump.layout(g, true);
        changed_.push_back(boxOf(jump.style));
    }
    relayoutStripMarks(g);
}

}  // namespace qe
