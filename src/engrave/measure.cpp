#include "engrave/measure.h"

#include <cmath>

#include "base/exception.h"
#include "engrave/item_elements.h"
#include "engrave/note_element.h"
#include "engrave/symbols.h"
#include "music/rhythm.h"
#include "records/doc_chunks.h"

namespace qe {

Measure::Measure(const format_track_header* format, int type) : Node(kMeasure, format) {
    style.paddingTop = kRowPadding;
    style.paddingBottom = kRowPadding;
    setBarType(type);
}

namespace {

std::unique_ptr<Node>& onlyElements(std::unique_ptr<Node>& node) {
    if (!node || node->kind != kNoteElement)
        throw Exception(kWrongKind);
    return node;
}

}  // namespace

void Measure::appendChild(std::unique_ptr<Node> node) {
    Node::appendChild(std::move(onlyElements(node)));
}

void Measure::insertChild(int index, std::unique_ptr<Node> node) {
    Node::insertChild(index, std::move(onlyElements(node)));
}

bool Measure::insertChild(std::unique_ptr<Node>& node, Node* before) {
    return Node::insertChild(onlyElements(node), before);
}

NoteElement* Measure::elementAt(int index) const {
    return static_cast<NoteElement*>(child(index));
}

void Measure::setBarType(int type) {
    barType = static_cast<std::uint8_t>(type);
    barGlyph = glyph::barLine(type);
}

void Measure::setBeat(music::Ticks beat) {
    if (beat > 0 && beat != beat_) {
        beat_ = beat;
        measured_ = false;
    }
}

void Measure::setLyricRows(std::shared_ptr<const MeasureLyrics::Rows> rows) {
    const bool same = rows == lyricRows_ || (rows && lyricRows_ && *rows == *lyricRows_) ||
                      (!rows && lyricRows_ && lyricRows_->empty()) ||
                      (rows && rows->empty() && !lyricRows_);
    lyricRows_ = std::move(rows);
    if (!same)
        measured_ = false;
}

void Measure::dropDecorations() {
    symbols_.clear();
    underlines_.clear();
    measured_ = false;  // they are made again by the next layout
}

bool Measure::stillMeasured(const Surface& g) const {
    if (!measured_ || childrenChanged_ || g.metricsId == 0 || g.metricsId != metricsId_ ||
        format != measuredFormat_)
        return false;
    return !format ||
           (format->font(kNoteFont).logFont == noteFont_ &&
            format->font(kBarLineFont).logFont == barFont_ &&
            (!lyricRows_ || lyricRows_->empty() || format->font(kLyricsFont).logFont == textFont_));
}

void Measure::layout(Surface& g, bool deep) {
    if (deep && stillMeasured(g)) {
        arrangeRow(g, false);
        return;
    }
    Node::layout(g, deep);
}

void Measure::arrange(Surface& g) {
    arrangeRow(g, true);
    measured_ = true;
    childrenChanged_ = false;
    metricsId_ = g.metricsId;
    measuredFormat_ = format;
    if (format) {
        noteFont_ = format->font(kNoteFont).logFont;
        barFont_ = format->font(kBarLineFont).logFont;
        textFont_ = format->font(kLyricsFont).logFont;
    }
}

void Measure::arrangeRow(Surface& g, bool measure) {
    if (!measure) {
        // Unchanged since it was measured: its elements stand where they were placed, or
        // where the last stretch put them, which page mode redoes for every measure right
        // after; scroll mode never stretches. Only the natural size comes back.
        style.width = naturalWidth_;
        style.height = naturalHeight_;
        return;
    }
    dropDecorations();
    static const MeasureLyrics::Rows kNoRows;
    lyrics_.widen(*this, g, lyricRows_ ? *lyricRows_ : kNoRows);
    ornaments_.widen(*this, g);
    int yTop = 0;
    int x = 0;
    int u = -15;
    if (format) {
        const int barHeightFont = format->font(kBarLineFont).logFont.height;
        const int noteHeight = format->font(kNoteFont).logFont.height;
        yTop = (barHeightFont - noteHeight) / 2 - style.paddingTop;
        x = style.paddingLeft;
        u = noteHeight / 15;
    }
    weight_ = 0;
    forEachElement([&](NoteElement& element) {
        NoteElement* e = &element;
        x += e->style.marginLeft;
        e->style.x = x;
        e->style.y = yTop;
        x += e->style.width + e->style.marginRight;
        e->dotsTop = e->glyphTop;
        e->dotsBottom = e->duration * 2 * u + e->glyphBottom;
        weight_ += e->weight();
        if (e->elementKind == kDigitElement && e->octave != 0) {
            const bool above = e->octave > 0;
            for (int i = 0; i < std::abs(e->octave); ++i)
                symbols_.emplace_back(e, format, above);
        }
    });
    groupUnderlines();
    if (format) {
        g.setFont(format->font(kBarLineFont));
        const Size extent = g.textExtent(&barGlyph, 1);
        barWidth = extent.width;
        barHeight = extent.height;
    }
    style.width = x + barWidth;
    style.height = barHeight - style.paddingTop - style.paddingBottom;
    naturalWidth_ = style.width;
    layoutDecorations(g);
    style.height += lyrics_.depth();
    naturalHeight_ = style.height;
}

void Measure::groupUnderlines() {
    // Underlined notes join while they stay within one beat: a level closes where the note's
    // underline count drops below it, and every open level closes where a beat ends.
    music::MeasureClock clock;
    NoteElement* prev = nullptr;
    std::vector<NoteElement*> open;  // open underline levels, each with the element that began it
    const auto emit = [&](NoteElement* to) {
        underlines_.emplace_back(format, open.back(), to, static_cast<int>(open.size()) - 1);
        open.pop_back();
    };
    forEachElement([&](NoteElement& element) {
        NoteElement* e = &element;
        const std::optional<music::Item> item = itemOf(element);
        if (!item)
            return;
        const music::MeasureClock::Span span =
            clock.place(*item, e->extra ? &e->extra->tuplets : nullptr);
        if (e->elementKind != kDigitElement && e->elementKind != kDashElement)
            return;
        while (static_cast<int>(open.size()) < e->duration)
            open.push_back(e);
        while (static_cast<int>(open.size()) > e->duration)
            emit(prev);
        if ((span.start + span.length) % beat_ == 0)
            while (!open.empty())
                emit(e);
        prev = e;
    });
    while (!open.empty())
        emit(prev);
}

void Measure::layoutDecorations(Surface& g) {
    for (Underline& line : underlines_)
        line.layout(g, true);
    for (Symbol& dot : symbols_)
        dot.layout(g, true);
    ornaments_.place(*this, underlines_);
    if (lyrics_.rowCount() == 0)
        return;
    // Lyrics stand under the bottom of the note row, or under the lowest underline or octave
    // dot when one reaches deeper.
    int top = barHeight - style.paddingTop - style.paddingBottom;
    for (const Underline& line : underlines_)
        top = std::min(top, line.style.y + line.style.height);
    for (const Symbol& dot : symbols_)
        top = std::min(top, dot.style.y + dot.style.height);
    lyrics_.place(*this, top);
}

void Measure::draw(Surface& g) const {
    for (const Underline& line : underlines_)
        line.paint(g);
    for (const Symbol& dot : symbols_)
        dot.paint(g);
    lyrics_.draw(g, format);
    ornaments_.draw(g, format);
    if (barGlyph == 0)
        return;  // the hidden bar line
    if (format)
        g.setFont(format->font(kBarLineFont));
    g.drawText(g.originX + style.width - barWidth - style.paddingRight,
               g.originY - style.paddingTop, &barGlyph, 1);
}

void Measure::paint(Surface& g) const {
    OriginGuard guard(g, style.x, style.y);
    paintVisibleChildren(g);
    draw(g);
}

Node* Measure::hitTest(Point p) {
    if (p.x < 0 || p.x >= style.width || p.y > 0 || p.y <= style.height)
        return nullptr;
    for (auto& c : children_)
        if (c->style.x + c->style.width / 2 >= p.x)
            return c.get();
    return this;
}

int Measure::weight() const {
    if (measured_ && !childrenChanged_)
        return weight_;
    int total = 0;
    forEachElement([&](const NoteElement& e) { total += e.weight(); });
    return total;
}

void Measure::stretch(double unit, Surface& g) {
    int sum = 0;
    forEachElement([&](NoteElement& e) {
        sum += e.style.marginLeft;
        e.style.x = sum;
        sum += e.style.width + e.style.marginRight +
               static_cast<int>(std::floor(e.weight() * unit + 0.5));
    });
    style.width = sum + barWidth;
    layoutDecorations(g);
}

}  // namespace qe
