#include "engrave/measure.h"

#include <algorithm>
#include <cmath>

#include "base/exception.h"
#include "engrave/item_elements.h"
#include "engrave/note_element.h"
#include "engrave/symbols.h"
#include "engrave/time_grid.h"
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
        // Unchanged since it was measured: its elements stand where its column last placed
        // them, which a line or the strip does again right after. Only the natural size comes
        // back.
        if (spacedAlone)
            style.width = naturalWidth_;
        style.height = lineHeight();
        return;
    }
    dropDecorations();
    static const MeasureLyrics::Rows kNoRows;
    lyrics_.measure(*this, g, lyricRows_ ? *lyricRows_ : kNoRows);
    ornaments_.widen(*this, g);
    int yTop = 0;
    int u = -15;
    digitWidth_ = 192;
    if (format) {
        const int barHeightFont = format->font(kBarLineFont).logFont.height;
        const int noteHeight = format->font(kNoteFont).logFont.height;
        yTop = (barHeightFont - noteHeight) / 2 - style.paddingTop;
        u = noteHeight / 15;
        // Every digit of the note font is as wide as the others: a digit of the row tells,
        // else the font is asked.
        const NoteElement* digit = nullptr;
        forEachElement([&](const NoteElement& e) {
            if (!digit && e.elementKind == kDigitElement)
                digit = &e;
        });
        if (digit) {
            digitWidth_ = std::max(1, digit->style.width);
        } else {
            g.setFont(format->font(kNoteFont));
            const char16_t one = glyph::kDigit + 1;
            digitWidth_ = std::max(1, g.textExtent(&one, 1).width);
        }
    }
    weight_ = 0;
    forEachElement([&](NoteElement& e) {
        e.style.y = yTop;
        e.dotsTop = e.glyphTop;
        e.dotsBottom = e.duration * 2 * u + e.glyphBottom;
        weight_ += e.weight();
        if (e.elementKind == kDigitElement && e.octave != 0) {
            const bool above = e.octave > 0;
            for (int i = 0; i < std::abs(e.octave); ++i)
                symbols_.emplace_back(&e, format, above);
        }
    });
    groupUnderlines();
    findSlots();
    if (format) {
        g.setFont(format->font(kBarLineFont));
        const Size extent = g.textExtent(&barGlyph, 1);
        barWidth = extent.width;
        barHeight = extent.height;
    }
    style.height = barHeight - style.paddingTop - style.paddingBottom + lyrics_.fullDepth() +
                   ornaments_.depthBelow();
    naturalHeight_ = style.height;
    style.height = lineHeight();
    // Spaced alone at the natural unit, unless its column places it among the other tracks.
    if (spacedAlone)
        ColumnGrid({this}).place(1.0, 1.0, g);
    naturalWidth_ = style.width;
}

std::pair<int, int> Measure::placeSlot(const Slot& slot, int x) {
    NoteElement* anchor = elementAt(slot.anchor);
    anchor->style.x = x - anchor->style.width / 2;
    int left = anchor->style.x - anchor->style.marginLeft;
    for (int i = slot.anchor - 1; i >= slot.first; --i) {
        NoteElement* e = elementAt(i);
        e->style.x = left - e->style.marginRight - e->style.width;
        left = e->style.x - e->style.marginLeft;
    }
    int right = anchor->style.x + anchor->style.width + anchor->style.marginRight;
    for (int i = slot.anchor + 1; i <= slot.last; ++i) {
        NoteElement* e = elementAt(i);
        e->style.x = right + e->style.marginLeft;
        right = e->style.x + e->style.width + e->style.marginRight;
    }
    return {left, right};
}

void Measure::findSlots() {
    slots_.clear();
    rowTexts_.clear();
    groupSlots();
    markTupletGroups();
    const int n = childCount();
    // The room of each slot, placed around 0.
    std::vector<int> slotOf(static_cast<std::size_t>(n), -1);
    for (std::size_t s = 0; s < slots_.size(); ++s) {
        Slot& slot = slots_[s];
        const auto [left, right] = placeSlot(slot, 0);
        slot.left = -left;
        slot.right = right;
        for (int i = slot.first; i <= slot.last; ++i)
            slotOf[static_cast<std::size_t>(i)] = static_cast<int>(s);
    }
    addLyricTexts(slotOf);
    addNoteTexts(slotOf);
    std::stable_sort(rowTexts_.begin(), rowTexts_.end(),
                     [](const RowText& a, const RowText& b) { return a.row < b.row; });
}

void Measure::groupSlots() {
    music::MeasureClock clock;
    const int n = childCount();
    int pending = -1;  // the first of the elements waiting for the next timed one
    for (int i = 0; i < n; ++i) {
        const NoteElement* e = elementAt(i);
        const std::optional<music::Item> item = itemOf(*e);
        const music::Ticks length =
            item ? clock.place(*item, e->extra ? &e->extra->tuplets : nullptr).length : 0;
        if (length > 0) {
            const music::Ticks start = clock.position() - length;
            slots_.push_back({start, pending >= 0 ? pending : i, i, i, 0, 0});
            pending = -1;
            continue;
        }
        // An accidental or opening parenthesis stands with the note after it; a breath mark or
        // closing parenthesis with the note before it.
        const bool forward = e->elementKind == kAccidentalElement ||
                             (e->elementKind == kMarkElement && e->glyph == glyph::kOpenParen);
        if (forward || slots_.empty() || pending >= 0) {
            if (pending < 0)
                pending = i;
        } else {
            slots_.back().last = i;
        }
    }
    if (pending >= 0) {
        if (!slots_.empty())
            slots_.back().last = n - 1;
        else
            slots_.push_back({0, pending, pending, n - 1, 0, 0});
    }
    length_ = clock.position();
}

void Measure::markTupletGroups() {
    // A group is the slots of digits and rests of one outer tuplet, with the dashes and dots
    // that hold its notes; a digit or rest outside it, or one starting a group anew, ends it.
    int first = -1;  // the group's first slot
    TupletMark mark;
    const auto close = [&](std::size_t end) {
        if (first < 0)
            return;
        const music::Ticks until = end < slots_.size() ? slots_[end].start : length_;
        slots_[end - 1].tupletGroup = until - slots_[static_cast<std::size_t>(first)].start;
        first = -1;
    };
    for (std::size_t s = 0; s < slots_.size(); ++s) {
        const NoteElement* e = elementAt(slots_[s].anchor);
        if (e->elementKind != kDigitElement)
            continue;
        const TupletMark m = e->extra ? e->extra->tuplets[0] : TupletMark{};
        if (first >= 0 && (!m.active() || m.starts || m.actual != mark.actual ||
                           m.normal != mark.normal))
            close(s);
        if (m.active() && first < 0) {
            first = static_cast<int>(s);
            mark = m;
        }
    }
    close(slots_.size());
}

void Measure::addLyricTexts(const std::vector<int>& slotOf) {
    const int n = childCount();
    const auto indexOfElement = [&](const NoteElement* note) {
        for (int i = 0; i < n; ++i)
            if (elementAt(i) == note)
                return i;
        return -1;
    };
    for (const MeasureLyrics::Measured& m : lyrics_.measured()) {
        const int i = indexOfElement(m.note);
        if (i < 0 || m.width <= 0)
            continue;
        const int slot = slotOf[static_cast<std::size_t>(i)];
        const Style& s = m.note->style;
        // Centred under its note; the slot's centre is the anchor's.
        const Slot& at = slots_[static_cast<std::size_t>(slot)];
        const Style& a = elementAt(at.anchor)->style;
        const int centre = s.x + s.width / 2 - (a.x + a.width / 2);
        rowTexts_.push_back({m.row, slot, centre - m.width / 2, centre - m.width / 2 + m.width,
                             MeasureLyrics::kGap});
    }
}

void Measure::addNoteTexts(const std::vector<int>& slotOf) {
    const int n = childCount();
    struct TextRow {
        int row;
        const std::vector<int>& widths;
        std::u16string NoteExtra::*text;
    };
    const TextRow rows[] = {
        {RowText::kChordRow, ornaments_.chordWidths(), &NoteExtra::chordSymbol},
        {RowText::kWordsAboveRow, ornaments_.aboveWidths(), &NoteExtra::textAbove},
        {RowText::kWordsBelowRow, ornaments_.belowWidths(), &NoteExtra::textBelow},
    };
    for (const TextRow& row : rows) {
        std::size_t next = 0;
        for (int i = 0; i < n && next < row.widths.size(); ++i) {
            const NoteElement* e = elementAt(i);
            if (e->elementKind != kDigitElement || !e->extra || ((*e->extra).*row.text).empty())
                continue;
            // A text at a note starts where the note does, at the accidental in front of the
            // digit.
            const NoteElement* front = e;
            if (i > 0 && elementAt(i - 1)->elementKind == kAccidentalElement &&
                elementAt(i - 1)->entry == e->entry)
                front = elementAt(i - 1);
            const int slot = slotOf[static_cast<std::size_t>(i)];
            const Style& a = elementAt(slots_[static_cast<std::size_t>(slot)].anchor)->style;
            const int left = front->style.x - (a.x + a.width / 2);
            rowTexts_.push_back(
                {row.row, slot, left, left + row.widths[next++], NoteOrnaments::kChordSymbolGap});
        }
    }
}

void Measure::place(const std::vector<int>& centres, int width, Surface& g) {
    const std::size_t count = std::min(centres.size(), slots_.size());
    for (std::size_t s = 0; s < count; ++s)
        placeSlot(slots_[s], centres[s]);
    style.width = width;
    layoutDecorations(g);
    style.height = lineHeight();
}

int Measure::inkBottom() const {
    int bottom = barHeight - style.paddingTop;
    for (const Underline& line : underlines_)
        bottom = std::min(bottom, line.style.y + line.style.height);
    for (const Symbol& dot : symbols_)
        bottom = std::min(bottom, dot.style.y + dot.style.height);
    return bottom;
}

int Measure::inkTop() const {
    int top = -style.paddingTop;
    for (const Symbol& dot : symbols_)
        top = std::max(top, dot.style.y);
    if (!ornaments_.empty())
        top = std::max(top, ornaments_.top());
    return top;
}

std::optional<Rect> Measure::barLineBox() const {
    if (barGlyph == 0)
        return std::nullopt;
    const int left = style.width - barWidth - style.paddingRight;
    return Rect{left, -style.paddingTop, left + barWidth, barHeight - style.paddingTop};
}

void Measure::setLyricsTop(std::optional<int> top) {
    lyricsTop_ = top;
    if (!top)
        return;
    if (lyrics_.rowCount() != 0)
        lyrics_.place(*this, *top);
    ornaments_.placeBelow(*this, *top + lyrics_.depth());
    style.height = lineHeight();
}

int Measure::lineHeight() const {
    const int row = naturalHeight_ - lyrics_.fullDepth() - ornaments_.depthBelow();
    if (!lyricsTop_)
        return naturalHeight_ + shownRowsDelta();
    const int under = lyrics_.depth() + ornaments_.depthBelow();
    return under == 0 ? row : std::min(row, *lyricsTop_ + under);
}

void Measure::showLyricRows(std::shared_ptr<const MeasureLyrics::Rows> shown) {
    lyrics_.showRows(std::move(shown));
}

std::vector<int> Measure::lyricRowsUsed() const {
    std::vector<int> used;
    for (const MeasureLyrics::Measured& m : lyrics_.measured())
        if (std::find(used.begin(), used.end(), m.row) == used.end())
            used.push_back(m.row);
    return used;
}

int Measure::shownRowsDelta() const {
    return lyrics_.depth() - lyrics_.fullDepth();
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
    // Lyrics stand under the bottom of the note row, or under the lowest underline or octave
    // dot when one reaches deeper; words under the notes stand under them both.
    const int top = lyricsTop_.value_or(
        std::min(barHeight - style.paddingTop - style.paddingBottom, inkBottom()));
    if (lyrics_.rowCount() != 0)
        lyrics_.place(*this, top);
    ornaments_.placeBelow(*this, top + lyrics_.depth());
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
    const RoleGuard named(g, "bar line");
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

}  // namespace qe
