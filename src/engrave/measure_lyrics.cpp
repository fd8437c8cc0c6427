#include "engrave/measure_lyrics.h"

#include <algorithm>
#include <cstdlib>

#include "engrave/measure.h"
#include "records/doc_chunks.h"

namespace qe {

int MeasureLyrics::widen(Measure& measure, Surface& g, const Rows& rows) {
    measured_.clear();
    boxes_.clear();
    rows_ = 0;
    measure.forEachElement([](NoteElement& e) {
        e.style.marginLeft = 0;
        e.style.marginRight = 0;
    });
    if (rows.empty())
        return 0;
    const format_track_header* format = measure.format;
    if (format)
        g.setFont(format->font(kLyricsFont));
    textHeight_ = format ? -std::abs(format->font(kLyricsFont).logFont.height) : -200;
    rowHeight_ = -textHeight_ + kRowSpacing;
    for (int r : rows)
        rows_ = std::max(rows_, r + 1);

    // Walk the notes as the row will place them, pushing a note right when its syllable
    // would come closer than the gap to the syllable before it in the same row.
    std::vector<int> rightOf(static_cast<std::size_t>(rows_), -kGap / 2);
    int x = measure.style.paddingLeft;
    NoteElement* last = nullptr;
    measure.forEachElement([&](NoteElement& e) {
        last = &e;
        int need = x;
        std::vector<Measured> mine;
        for (const Syllable& s : e.syllables) {
            if (s.verse < 0 || static_cast<std::size_t>(s.verse) >= rows.size())
                continue;
            const int row = rows[static_cast<std::size_t>(s.verse)];
            if (row < 0)
                continue;
            const std::u16string shown = s.shown();
            const int width = shown.empty() ? 0 : g.textExtent(shown).width;
            mine.push_back({&e, s.verse, row, width, shown, s.continues()});
            // The syllable's left edge is the note's centre less half its width.
            need = std::max(
                need, rightOf[static_cast<std::size_t>(row)] + kGap - (e.style.width - width) / 2);
        }
        e.style.marginLeft = need - x;
        x = need + e.style.width;
        for (const Measured& m : mine) {
            rightOf[static_cast<std::size_t>(m.row)] = need + (e.style.width + m.width) / 2;
            measured_.push_back(m);
        }
    });
    // The last syllable reaches past its note: the measure ends no closer than half a gap
    // after it, the next measure's first syllable no closer than half a gap before its start.
    int tail = 0;
    for (int right : rightOf)
        tail = std::max(tail, right + kGap / 2 - x);
    if (last)
        last->style.marginRight = tail;
    return tail;
}

void MeasureLyrics::place(const Measure& measure, int top) {
    boxes_.clear();
    for (const Measured& m : measured_) {
        const Style& s = m.note->style;
        const int centre = s.x + s.width / 2;
        const int y = top - kRowSpacing - m.row * rowHeight_;
        Box b;
        b.note = m.note;
        b.verse = m.verse;
        b.row = m.row;
        b.shown = m.shown;
        b.continues = m.continues;
        b.box = {centre - m.width / 2, y, centre - m.width / 2 + m.width, y + textHeight_};
        boxes_.push_back(std::move(b));
    }
    (void)measure;
}

void MeasureLyrics::draw(Surface& g, const format_track_header* format) const {
    if (boxes_.empty())
        return;
    if (format)
        g.setFont(format->font(kLyricsFont));
    for (const Box& b : boxes_)
        if (!b.shown.empty())
            g.drawText(g.originX + b.box.left, g.originY + b.box.top, b.shown);
}

}  // namespace qe
