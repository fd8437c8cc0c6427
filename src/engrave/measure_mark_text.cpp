#include "engrave/measure_mark_text.h"

#include "music/jump_marks.h"

#include <algorithm>
#include <string>

#include "base/exception.h"
#include "engrave/measure.h"
#include "engrave/page_view.h"
#include "engrave/shape_walk.h"
#include "engrave/symbols.h"
#include "records/doc_chunks.h"

namespace qe {

namespace {

std::u16string decimal(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

void MarkText::arrange(Surface& g) {
    const Measure* measure = asMeasure(from);
    if (!measure)
        throw Exception(kMismatch);
    const bool viaShadows = onPage != 0;
    parts_.clear();
    segno_ = coda_ = fractionLine_ = Rect{};
    FontRecord small = format ? format->font(kSmallTextFont) : FontRecord{};
    FontRecord bold = small;
    bold.logFont.weight = 700;
    takeColor(small.color);
    thickness = std::max(1, small.logFont.height / -20);

    // Over whatever of the measure reaches above its row: high octave dots, the marks over the
    // notes, tuplet numbers, chord symbols, words.
    const Point start = rootPosition(measure, {0, std::max(0, measure->inkTop())}, viaShadows);
    // Measured pieces go left to right from the start of the measure, bottoms on one line:
    // above the measure, or above the label of a bracket that starts here (y grows upwards:
    // texts hang down from their top).
    Row row;
    row.x = start.x;
    row.top = start.y + (aboveBracket ? -2 * small.logFont.height : 0);
    row.gap = small.logFont.height / -2;  // half the text's height
    addSigns(row, -small.logFont.height);
    if (mark.keyChange && mark.keyLetter <= 6)
        addText(row, keyText(mark), bold, g);
    if (mark.meterChange) {
        if (mark.numerator == 0)
            addText(row, u"散板", small, g);
        else
            addFraction(row, bold, g);
    }
    if (!mark.tempo.empty()) {
        // The note of the beat joins the number after it, no gap between.
        const TempoMarkParts tempo = tempoMarkParts(mark.tempo);
        if (!tempo.note.empty() && format) {
            const int gap = row.gap;
            row.gap = 0;
            addText(row, tempo.note, tempoNoteFont(format->font(kNoteFont), small), g);
            row.gap = gap;
        }
        addText(row, tempo.rest, small, g);
    }
    addJumpWords(row, *measure, viaShadows, small, g);
    const int up = standOnRow(row);
    strips.assign(1, Rect{start.x, row.top + up, std::max(row.x, start.x + 1), row.top});
    for (const Piece& p : parts_) {
        g.setFont(p.font);
        const Size extent = g.textExtent(p.text);
        Rect& box = strips.front();
        box.left = std::min(box.left, p.at.x);
        box.right = std::max(box.right, p.at.x + extent.width);
        box.top = std::max(box.top, p.at.y);
    }
    stripLines.assign(1, lineOfMeasure(measure, viaShadows));
    coverStrips(style, strips, strips.front());
}

std::u16string MarkText::keyText(const MeasureMark& mark) {
    std::u16string key = u"1=";
    if (mark.keyAccidental == 1)
        key += u"\u266F";
    else if (mark.keyAccidental == 2)
        key += u"\u266D";
    key += static_cast<char16_t>(u'A' + mark.keyLetter);
    return key;
}

void MarkText::addSigns(Row& row, int sign) {
    // Signs hang from the row's top like the texts, and are lifted with them.
    if (mark.jumps & jump::kSegno) {
        segno_ = Rect{row.x, row.top, row.x + 2 * sign / 3, row.top - sign};
        row.x += 2 * sign / 3 + row.gap;
        row.tallest = std::min(row.tallest, -sign);
    }
    if (mark.jumps & jump::kCoda) {
        coda_ = Rect{row.x, row.top, row.x + sign, row.top - sign};
        row.x += sign + row.gap;
        row.tallest = std::min(row.tallest, -sign);
    }
}

void MarkText::addText(Row& row, std::u16string text, const FontRecord& font, Surface& g) {
    g.setFont(font);
    const Size extent = g.textExtent(text);
    parts_.push_back(Piece{std::move(text), font, Point{row.x, 0}});
    row.heights.emplace_back(parts_.size() - 1, extent.height);
    row.tallest = std::min(row.tallest, extent.height);
    row.x += extent.width + row.gap;
}

void MarkText::addFraction(Row& row, const FontRecord& digits, Surface& g) {
    // Numerator over denominator, a line between, as tall as two lines.
    g.setFont(digits);
    const Size n = g.textExtent(decimal(mark.numerator));
    const Size d = g.textExtent(decimal(mark.denominator));
    const int width = std::max(n.width, d.width);
    const int top = row.top;
    const int bottom = top + n.height + d.height;
    parts_.push_back(
        Piece{decimal(mark.numerator), digits, Point{row.x + (width - n.width) / 2, top}});
    parts_.push_back(Piece{decimal(mark.denominator), digits,
                           Point{row.x + (width - d.width) / 2, top + n.height}});
    fractionLine_ = Rect{row.x, top + n.height, row.x + width, top + n.height};
    row.tallest = std::min(row.tallest, bottom - top);
    row.x += width + row.gap;
}

void MarkText::addJumpWords(Row& row, const Measure& measure, bool viaShadows,
                            const FontRecord& font, Surface& g) {
    // Right-aligned before the closing bar line.
    const std::u16string words = music::jumpWords(mark.jumps);
    if (words.empty())
        return;
    g.setFont(font);
    const Size extent = g.textExtent(words);
    const Point end =
        rootPosition(&measure, {measure.style.width - measure.barWidth, 0}, viaShadows);
    parts_.push_back(Piece{words, font, Point{end.x - extent.width, 0}});
    row.heights.emplace_back(parts_.size() - 1, extent.height);
    row.tallest = std::min(row.tallest, extent.height);
}

int MarkText::standOnRow(const Row& row) {
    // Single-line pieces stand on the bottom of the tallest.
    for (const auto& [index, height] : row.heights)
        parts_[index].at.y = row.top + row.tallest - height;
    // Everything so far hangs from the top; move it up so that its bottom is just above it.
    const int up = -row.tallest + row.gap;
    for (Piece& p : parts_)
        p.at.y += up;
    for (Rect* r : {&segno_, &coda_, &fractionLine_}) {
        r->top += up;
        r->bottom += up;
    }
    return up;
}

void MarkText::draw(Surface& g) const {
    const RoleGuard named(g, "measure mark");
    OriginGuard back(g, -style.x, -style.y);
    const int ox = g.originX;
    const int oy = g.originY;
    for (const Piece& p : parts_) {
        g.setFont(p.font);
        g.drawText(ox + p.at.x, oy + p.at.y, p.text);
    }
    g.setPen(0, roundToPixels(thickness, g.pixelSize()), color[0], color[1], color[2]);
    if (fractionLine_.right > fractionLine_.left) {
        g.moveTo(ox + fractionLine_.left, oy + fractionLine_.top);
        g.lineTo(ox + fractionLine_.right, oy + fractionLine_.top);
    }
    if (coda_.right > coda_.left) {
        // A circle crossed by a line each way that reaches past it.
        const ThingGuard sign(g);
        const Rect& c = coda_;
        const int w = c.right - c.left;
        const int inset = w / 5;
        g.setBrush(255, 255, 255);
        g.ellipse(ox + c.left + inset, oy + c.top - inset, ox + c.right - inset,
                  oy + c.bottom + inset);
        const int mx = (c.left + c.right) / 2;
        const int my = (c.top + c.bottom) / 2;
        g.moveTo(ox + c.left, oy + my);
        g.lineTo(ox + c.right, oy + my);
        g.moveTo(ox + mx, oy + c.top);
        g.lineTo(ox + mx, oy + c.bottom);
    }
    if (segno_.right > segno_.left) {
        // An S crossed by a slash, with a dot on each side of it.
        const ThingGuard sign(g);
        const Rect& s = segno_;
        const int w = s.right - s.left;
        const int h = s.top - s.bottom;
        const int mx = (s.left + s.right) / 2;
        const int my = (s.top + s.bottom) / 2;
        const auto at = [&](int x, int y) { return Point{ox + x, oy + y}; };
        g.drawBezier(at(s.right - w / 6, s.top - h / 8), at(mx - w / 2, s.top + h / 8),
                     at(s.left - w / 4, my + h / 4), at(mx, my));
        g.drawBezier(at(mx, my), at(s.right + w / 4, my - h / 4), at(mx + w / 2, s.bottom - h / 8),
                     at(s.left + w / 6, s.bottom + h / 8));
        g.moveTo(ox + s.left, oy + s.bottom);
        g.lineTo(ox + s.right, oy + s.top);
        const int dot = std::max(1, w / 8);
        g.setBrush(color[0], color[1], color[2]);
        g.ellipse(ox + s.left, oy + my + h / 6 + dot, ox + s.left + 2 * dot, oy + my + h / 6 - dot);
        g.ellipse(ox + s.right - 2 * dot, oy + my - h / 6 + dot, ox + s.right,
                  oy + my - h / 6 - dot);
    }
}

}  // namespace qe
