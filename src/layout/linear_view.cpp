#include "layout/linear_view.h"

#include <unordered_map>

#include "draw/note_element.h"
#include "draw/shape_walk.h"
#include "layout/item_elements.h"
#include "layout/layout_settings.h"
#include "layout/line_breaker.h"
#include "layout/measure.h"
#include "layout/note_line.h"
#include "model/exception.h"
#include "model/qanor_doc.h"
#include "music/meter.h"

namespace qe {

LinearView::LinearView() {
    style.paddingLeft = style.paddingTop = style.paddingRight = style.paddingBottom = kPadding;
    joinsTracks = true;
}

void LinearView::refreshSettings() {
    if (!document)
        return;
    copyForLayout(document->formatSettings(), settings);
    format = &settings;
    // The time signature may have changed in the title block since the last layout, and
    // verses may have come or gone.
    const music::Ticks beat = music::Meter::of(document->header).beat();
    for (auto& line : children_) {
        const auto rows = lyricRowsOf(*line);
        for (int m = 0; m < line->childCount(); ++m) {
            if (Measure* measure = asMeasure(line->child(m))) {
                measure->setBeat(beat);
                measure->setLyricRows(rows);
            }
        }
    }
}

std::shared_ptr<const MeasureLyrics::Rows> LinearView::lyricRowsOf(const Node& line) {
    // The verses that have a syllable in this line, each a row, in verse order.
    std::vector<bool> used;
    for (int m = 0; m < line.childCount(); ++m) {
        const Measure* measure = asMeasure(line.child(m));
        if (!measure)
            continue;
        measure->forEachElement([&](const NoteElement& e) {
            for (const Syllable& s : e.syllables) {
                if (s.verse < 0)
                    continue;
                if (used.size() <= static_cast<std::size_t>(s.verse))
                    used.resize(static_cast<std::size_t>(s.verse) + 1);
                used[static_cast<std::size_t>(s.verse)] = true;
            }
        });
    }
    if (used.empty())
        return nullptr;
    auto rows = std::make_shared<MeasureLyrics::Rows>(used.size(), -1);
    int next = 0;
    for (std::size_t v = 0; v < used.size(); ++v)
        if (used[v])
            (*rows)[v] = next++;
    return rows;
}

void LinearView::build() {
    refreshSettings();
    buildTrackLines();
    buildLyrics();
    buildArcs();
}

void LinearView::buildTrackLines() {
    if (!document)
        return;
    refreshSettings();
    const auto& tracks = document->noteTracks();
    droppedItems = 0;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        auto line = std::make_unique<NoteLine>(nullptr, NoteLine::kTrackLineMargin,
                                               NoteLine::kTrackLineMargin);
        droppedItems += buildTrackLine(&settings, *line, tracks[i], static_cast<int>(i));
        insertChild(static_cast<int>(i), std::move(line));
    }
}

namespace {

// Finds the nodes of many locations in one pass: for each place, the first node in reading
// order that stands for it, which is what walking a track line for it would find.
class LocationIndex {
public:
    explicit LocationIndex(const Node& view) {
        for (int t = 0; t < view.childCount(); ++t)
            add(view.child(t));
    }

    Node* find(const qe::location& loc) const {
        if (loc.placeKind != 1)
            return nullptr;
        const auto it = nodes_.find(key(loc));
        return it == nodes_.end() ? nullptr : it->second;
    }

private:
    static std::uint64_t key(const qe::location& loc) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(loc.trackIndex)) << 16) |
               static_cast<std::uint16_t>(loc.itemIndex);
    }
    void note(Node* node, int track) {
        if (node->location.placeKind == 1 && node->location.trackIndex == track)
            nodes_.emplace(key(node->location), node);
    }
    void add(Node* line) {
        const int track = line->parent() ? line->parent()->indexOf(line) : 0;
        for (int m = 0; m < line->childCount(); ++m) {
            Node* measure = line->child(m);
            note(measure, track);
            for (int e = 0; e < measure->childCount(); ++e)
                note(measure->child(e), track);
        }
    }

    std::unordered_map<std::uint64_t, Node*> nodes_;
};

}  // namespace

int LinearView::buildArcs() {
    droppedShapes = 0;
    droppedFormats = 0;
    if (!document)
        return 0;
    refreshSettings();
    const LocationIndex index(*this);
    const auto lookup = [&](const qe::location& loc) -> Node* {
        if (loc.placeKind != 1 || loc.trackIndex < 0 || loc.trackIndex >= childCount())
            return nullptr;
        return index.find(loc);
    };
    for (const Format& record : document->formatRecords()) {
        if (record.type != Format::kArc && record.type != Format::kJumpLine) {
            ++droppedFormats;
            continue;
        }
        Node* from = lookup(record.from);
        Node* to = lookup(record.to);
        if (record.type == Format::kArc) {
            // A tie rests on the note itself, not on the accidental that shares its record,
            // wherever it was made: the same tie is then the same pair of nodes.
            from = const_cast<Node*>(storedItemOf(from));
            to = const_cast<Node*>(storedItemOf(to));
            if (!elementsInOrder(from, to) || from == to) {
                ++droppedShapes;
                continue;
            }
            arcs.emplace_back(format, from, to);
        } else {
            if (!measuresInOrder(from, to)) {
                ++droppedShapes;
                continue;
            }
            jumpLines.emplace_back(u"1", format, from, to);
        }
    }
    return droppedShapes;
}

void LinearView::buildLyrics() {
    keptLyrics.clear();
    lyricsTracks = 0;
    if (!document)
        return;
    const auto& tracks = document->content.lyrics.items;
    lyricsTracks = static_cast<int>(tracks.size());
    keptLyrics.resize(tracks.size());
    const LocationIndex index(*this);
    for (std::size_t v = 0; v < tracks.size(); ++v) {
        for (const lyrics& record : tracks[v].content.items) {
            const qe::location& at = record.place;
            Node* node = at.placeKind == 1 && at.trackIndex >= 0 && at.trackIndex < childCount()
                             ? index.find(at)
                             : nullptr;
            // On the note itself, not on the accidental in front of it.
            auto* e = asElement(const_cast<Node*>(storedItemOf(node)));
            if (e)
                e->syllables.push_back({static_cast<int>(v), record});
            else
                keptLyrics[v].push_back(record);
        }
    }
}

Node* LinearView::findNode(const qe::location& loc) const {
    if (loc.placeKind != 1)
        return nullptr;
    const Node* line = child(loc.trackIndex);
    const auto matches = [&](const Node* n) {
        return n->location.placeKind == loc.placeKind && n->location.trackIndex == loc.trackIndex &&
               n->location.itemIndex == loc.itemIndex;
    };
    for (int m = 0; m < line->childCount(); ++m) {
        Node* measure = line->child(m);
        if (matches(measure))
            return measure;
        for (int e = 0; e < measure->childCount(); ++e)
            if (matches(measure->child(e)))
                return measure->child(e);
    }
    return nullptr;
}

void LinearView::relayout(BaseGDI& g) {
    refreshSettings();
    layout(g, true);
}

LinearView::Dropped LinearView::dropLooseShapes() {
    Dropped dropped;
    const auto sweep = [](auto& shapes, std::vector<int>& indices, auto loose) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            if (loose(shapes[i])) {
                indices.push_back(static_cast<int>(i));
                continue;
            }
            if (kept != i)
                shapes[kept] = shapes[i];
            ++kept;
        }
        shapes.erase(shapes.begin() + static_cast<std::ptrdiff_t>(kept), shapes.end());
    };
    sweep(arcs, dropped.arcs, [](const SusArc& arc) {
        return !arc.anchored() || storedItemOf(arc.from) == storedItemOf(arc.to);
    });
    sweep(jumpLines, dropped.jumpLines, [](const JumpLine& jump) { return !jump.anchored(); });
    return dropped;
}

void LinearView::clearChildren() {
    keptLyrics.clear();
    lyricsTracks = 0;
    arcs.clear();
    jumpLines.clear();
    Node::clearChildren();
}

void LinearView::arrange(BaseGDI& g) {
    if (stripSpacing) {
        const double unit = standardUnit(g, format, kBreakShare);
        for (auto& line : children_)
            spaceLine(*line, unit, g);
    }
    ComplexLine::arrange(g);
    dropLooseShapes();
    for (SusArc& arc : arcs)
        arc.layout(g, true);
    for (JumpLine& jump : jumpLines)
        jump.layout(g, true);
}

void LinearView::draw(BaseGDI& g) {
    g.rectangle(g.originX, g.originY, g.originX + style.width, g.originY + style.height);
    drawTrackBracket(g);
    for (SusArc& arc : arcs)
        arc.paint(g);
    for (JumpLine& jump : jumpLines)
        jump.paint(g);
}

}  // namespace qe
