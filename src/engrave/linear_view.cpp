#include "engrave/linear_view.h"

#include <algorithm>

#include "base/exception.h"
#include "engrave/item_elements.h"
#include "engrave/layout_settings.h"
#include "engrave/line_breaker.h"
#include "engrave/measure.h"
#include "engrave/note_element.h"
#include "engrave/note_line.h"
#include "music/attributes.h"
#include "music/score.h"

namespace qe {

LinearView::LinearView() {
    style.paddingLeft = style.paddingTop = style.paddingRight = style.paddingBottom = kPadding;
    joinsTracks = true;
}

void LinearView::refreshSettings() {
    if (!score)
        return;
    copyForLayout(score->format(), settings);
    if (scale != 1.0)
        scaleFonts(settings, scale);
    format = &settings;
    // The time signature may have changed in the title block since the last layout, and
    // verses may have come or gone.
    const music::Attributes attributes(score->header());
    for (int t = 0; t < childCount(); ++t) {
        const auto rows = lyricRowsOf(t);
        Node* line = child(t);
        for (int m = 0; m < line->childCount(); ++m) {
            if (Measure* measure = asMeasure(line->child(m))) {
                measure->setBeat(attributes.beatAt(m));
                measure->setLyricRows(rows);
            }
        }
    }
}

std::shared_ptr<const MeasureLyrics::Rows> LinearView::lyricRowsOf(int t) const {
    const std::vector<int>& counts = score ? score->verseCounts(t) : std::vector<int>{};
    if (counts.empty())
        return nullptr;
    auto rows = std::make_shared<MeasureLyrics::Rows>(counts.size(), -1);
    int next = 0;
    for (std::size_t v = 0; v < counts.size(); ++v)
        if (counts[v] > 0)
            (*rows)[v] = next++;
    return rows;
}

void LinearView::build(const music::Score* s) {
    score = s;
    refreshSettings();
    buildTrackLines();
    buildShapes();
}

void LinearView::buildTrackLines() {
    if (!score)
        return;
    refreshSettings();
    for (int t = 0; t < score->trackCount(); ++t) {
        auto line = std::make_unique<NoteLine>(&settings, NoteLine::kTrackLineMargin,
                                               NoteLine::kTrackLineMargin);
        buildTrackLine(&settings, *line, score->track(t));
        // Every measure is placed on the grid of its column.
        for (int m = 0; m < line->childCount(); ++m)
            asMeasure(line->child(m))->spacedAlone = false;
        insertChild(t, std::move(line));
    }
    refreshSettings();
}

Measure* LinearView::measureNode(int t, int m) const {
    if (t < 0 || t >= childCount())
        return nullptr;
    const Node* line = child(t);
    if (m < 0 || m >= line->childCount())
        return nullptr;
    return asMeasure(line->child(m));
}

NoteElement* LinearView::itemNode(int t, const music::EntryRef& at) const {
    Measure* measure = measureNode(t, at.measure);
    if (!measure)
        return nullptr;
    NoteElement* found = nullptr;
    // The last element of the item: its digit, after the accidental in front of it.
    for (int i = 0; i < measure->childCount(); ++i) {
        NoteElement* e = measure->elementAt(i);
        if (e->entry == at.entry)
            found = e;
        else if (e->entry > at.entry)
            break;
    }
    return found;
}

std::vector<MarkText> LinearView::makeMarks(bool onPage) const {
    std::vector<MarkText> made;
    if (!score)
        return made;
    for (const MeasureMark& mark : score->header().marks) {
        if (mark.measure > 0x7fffffffu)
            break;
        const int m = static_cast<int>(mark.measure);
        Measure* measure = measureNode(0, m);
        if (!measure)
            break;
        bool bracket = false;
        for (const music::Volta& volta : score->voltas())
            bracket = bracket || (volta.track == 0 && volta.from == m);
        made.emplace_back(mark, format, measure, bracket);
        made.back().onPage = onPage ? 1 : 0;
    }
    return made;
}

void LinearView::buildShapes() {
    arcs.clear();
    voltas.clear();
    marks.clear();
    if (!score || !withShapes)
        return;
    for (const music::Tie& tie : score->ties()) {
        NoteElement* from = itemNode(tie.track, tie.from);
        NoteElement* to = itemNode(tie.track, tie.to);
        if (from && to)
            arcs.emplace_back(format, from, to);
    }
    markSharedEnds(arcs);
    for (std::size_t i = 0; i < score->voltas().size(); ++i) {
        const music::Volta& volta = score->voltas()[i];
        Measure* from = measureNode(volta.track, volta.from);
        Measure* to = measureNode(volta.track, volta.to);
        if (!from || !to)
            continue;
        voltas.emplace_back(volta.label, format, from, to);
        voltas.back().shown = !repeatsEndingAbove(score->voltas(), i);
    }
    marks = makeMarks(false);
}

void LinearView::relayout(Surface& g) {
    refreshSettings();
    layout(g, true);
}

void LinearView::clearChildren() {
    arcs.clear();
    voltas.clear();
    marks.clear();
    keyTexts.clear();
    Node::clearChildren();
}

namespace {

// The name a track shows before the strip: its name, or its short name when it has only that.
const std::u16string* stripName(const music::Score& score, int t) {
    const std::vector<PartName>& names = score.header().partNames;
    if (t < 0 || t >= static_cast<int>(names.size()))
        return nullptr;
    const PartName& name = names[static_cast<std::size_t>(t)];
    return !name.name.empty() ? &name.name : !name.shortName.empty() ? &name.shortName : nullptr;
}

// Between a part name and the bracket that joins the tracks.
constexpr int kNameGap = System::kBracketOffset + 80;

}  // namespace

void LinearView::arrange(Surface& g) {
    // The strip makes room on its left for the names of the parts.
    if (withShapes && score && format) {
        int widest = 0;
        g.setFont(format->font(kTextFont));
        for (int t = 0; t < childCount(); ++t)
            if (const std::u16string* name = stripName(*score, t))
                widest = std::max(widest, g.textExtent(*name).width);
        const int head = withHead ? layOutHead(g) : 0;
        style.paddingLeft = kPadding + head + (widest > 0 ? widest + kNameGap : 0);
        // Above the first track, room for the marks over its measures: a fraction is two
        // lines of small text, and a bracket may stand below them.
        const int small = std::abs(format->font(kSmallTextFont).logFont.height);
        style.paddingTop = score->header().marks.empty() ? kPadding : kPadding + 3 * small;
    }
    if (stripSpacing || withShapes) {
        // Spaced as page mode spaces a line at its natural unit, all tracks on one grid; the
        // page view's own track lines are placed by its display lines instead.
        const std::vector<ColumnGrid> columns = columnGrids(*this);
        for (const ColumnGrid& column : columns)
            column.place(1.0, 1.0, g);
        const int digitWidth = columns.empty() ? 0 : columns.front().digitWidth();
        for (auto& line : children_) {
            // Placed, the measures know what they raise over their digits.
            line->arrange(g);
            spaceLine(*line, stripSpacing ? 1.0 : 0.0, digitWidth);
        }
    }
    System::arrange(g);
    placeHead();
    for (TieArc& arc : arcs)
        arc.layout(g, true);
    for (VoltaBracket& jump : voltas)
        jump.layout(g, true);
    for (MarkText& mark : marks)
        mark.layout(g, true);
}

void LinearView::draw(Surface& g) const {
    g.rectangle(g.originX, g.originY, g.originX + style.width, g.originY + style.height);
    drawTrackBracket(g);
    if (withShapes && score && format) {
        for (int t = 0; t < childCount(); ++t) {
            const std::u16string* name = stripName(*score, t);
            if (!name)
                continue;
            g.setFont(format->font(kTextFont));
            const Style& line = child(t)->style;
            const Size extent = g.textExtent(*name);
            // Right-aligned before the track, level with its digits.
            const Node* first = child(t)->firstChild();
            const int rowTop = line.y + (first ? first->style.y : 0);
            const int rowHeight = first ? first->style.height : line.height;
            g.drawText(g.originX + line.x - kNameGap - extent.width,
                       g.originY + rowTop + (rowHeight - extent.height) / 2, *name);
        }
    }
    for (const TieArc& arc : arcs)
        arc.paint(g);
    for (const VoltaBracket& jump : voltas)
        jump.paint(g);
    for (const MarkText& mark : marks)
        mark.paint(g);
    for (const KeyText& key : keyTexts)
        key.paint(g);
}

int LinearView::layOutHead(Surface& g) {
    keyTexts.clear();
    const doc_header& h = score->header();
    KeyText& key = keyTexts.emplace_back(format, h.keyAccidental, h.keyLetter, h.timeNumerator,
                                         h.timeDenominator, this);
    key.freeMeter = h.freeMeter;
    key.layout(g, true);
    key.style.x = kPadding;
    // Clear of the bracket that joins the tracks, as far again as a name stands from it.
    return key.style.width + kNameGap + 80;
}

void LinearView::placeHead() {
    if (keyTexts.empty() || childCount() == 0)
        return;
    KeyText& key = keyTexts.front();
    const Style& line = child(0)->style;
    const Node* first = child(0)->firstChild();
    const int rowTop = line.y + (first ? first->style.y : 0);
    const int rowHeight = first ? first->style.height : line.height;
    key.style.y = rowTop + (rowHeight - key.style.height) / 2;
}

}  // namespace qe
