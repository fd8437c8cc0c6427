#include "engrave/measure_lyrics.h"

#include <algorithm>
#include <cstdlib>

#include "engrave/measure.h"
#include "records/doc_chunks.h"

namespace qe {

void MeasureLyrics::measure(Measure& measure, Surface& g, const Rows& rows) {
    measured_.clear();
    boxes_.clear();
    rows_ = 0;
    measure.forEachElement([](NoteElement& e) {
        e.style.marginLeft = 0;
        e.style.marginRight = 0;
    });
    if (rows.empty())
        return;
    const format_track_header* format = measure.format;
    if (format)
        g.setFont(format->font(kLyricsFont));
    textHeight_ = format ? -std::abs(format->font(kLyricsFont).logFont.height) : -200;
    rowHeight_ = -textHeight_ + kRowSpacing;
    for (int r : rows)
        rows_ = std::max(rows_, r + 1);
    measure.forEachElement([&](NoteElement& e) {
        for (const Syllable& s : e.syllables) {
            if (s.verse < 0 || static_cast<std::size_t>(s.verse) >= rows.size())
                continue;
            const int row = rows[static_cast<std::size_t>(s.verse)];
            if (row < 0)
                continue;
            std::u16string shown = s.shown();
            const int width = shown.empty() ? 0 : g.textExtent(shown).width;
            measured_.push_back({&e, s.verse, row, width, std::move(shown), s.continues()});
        }
    });
}

void MeasureLyrics::place(const Measure& measure, int top) {
    boxes_.clear();
    for (const Measured& m : measured_) {
        const Style& s = m.note->style;
        const int centre = s.x + s.width / 2;
        const int y = top - kRowSpacing - shownRow(m.row) * rowHeight_;
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

int MeasureLyrics::shownCount() const {
    if (!shown_ || rows_ == 0)
        return rows_;
    int count = 0;
    for (int r : *shown_)
        count += r >= 0 ? 1 : 0;
    return count;
}

int MeasureLyrics::shownRow(int row) const {
    if (!shown_ || row < 0 || static_cast<std::size_t>(row) >= shown_->size())
        return row;
    const int at = (*shown_)[static_cast<std::size_t>(row)];
    return at >= 0 ? at : row;
}

void MeasureLyrics::draw(Surface& g, const format_track_header* format) const {
    if (boxes_.empty())
        return;
    const RoleGuard named(g, "lyric syllable");
    if (format)
        g.setFont(format->font(kLyricsFont));
    for (const Box& b : boxes_)
        if (!b.shown.empty())
            g.drawText(g.originX + b.box.left, g.originY + b.box.top, b.shown);
}

}  // namespace qe
