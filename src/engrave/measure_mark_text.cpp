#include "engrave/measure_mark_text.h"

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

std::u16string jumpWords(std::uint32_t jumps) {
    std::u16string words;
    const auto add = [&](std::u16string_view w) {
        if (!words.empty())
            words += u"  ";
        words += w;
    };
    if (jumps & jump::kFine)
        add(u"Fine");
    if (jumps & jump::kToCoda)
        add(u"To Coda");
    if (jumps & (jump::kDaCapo | jump::kDalSegno)) {
        std::u16string w = (jumps & jump::kDalSegno) ? u"D.S." : u"D.C.";
        if (jumps & jump::kAlFine)
            w += u" al Fine";
        else if (jumps & jump::kAlCoda)
            w += u" al Coda";
        add(w);
    }
    return words;
}

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

    const Point start = rootPosition(measure, {0, 0}, viaShadows);
    const int gap = small.logFont.height / -2;  // half the text's height
    // Above the measure, or above the label of a bracket that starts here.
    const int lift = aboveBracket ? -2 * small.logFont.height : 0;
    const int top = start.y + lift;  // y grows upwards: texts hang down from their top

    // Measured pieces go left to right from the start of the measure, bottoms on one line.
    int x = start.x;
    int tallest = 0;
    std::vector<std::pair<std::size_t, int>> heights;  // piece, its height (negative)
    const auto addText = [&](std::u16string text, const FontRecord& font) {
        g.setFont(font);
        const Size extent = g.textExtent(text);
        parts_.push_back(Piece{std::move(text), font, Point{x, 0}});
        heights.emplace_back(parts_.size() - 1, extent.height);
        tallest = std::min(tallest, extent.height);
        x += extent.width + gap;
        return extent;
    };
    const int sign = -small.logFont.height;  // the size of a segno or coda sign
    // Signs hang from `top` like the texts, and are lifted with them below.
    if (mark.jumps & jump::kSegno) {
        segno_ = Rect{x, top, x + 2 * sign / 3, top - sign};
        x += 2 * sign / 3 + gap;
        tallest = std::min(tallest, -sign);
    }
    if (mark.jumps & jump::kCoda) {
        coda_ = Rect{x, top, x + sign, top - sign};
        x += sign + gap;
        tallest = std::min(tallest, -sign);
    }
    if (mark.keyChange && mark.keyLetter <= 6) {
        std::u16string key = u"1=";
        if (mark.keyAccidental == 1)
            key += u"\u266F";
        else if (mark.keyAccidental == 2)
            key += u"\u266D";
        key += static_cast<char16_t>(u'A' + mark.keyLetter);
        addText(std::move(key), bold);
    }
    if (mark.meterChange) {
        if (mark.numerator == 0) {
            addText(u"散板", small);
        } else {
            // A fraction: numerator over denominator, a line between, as tall as two lines.
            FontRecord digits = bold;
            g.setFont(digits);
            const Size n = g.textExtent(decimal(mark.numerator));
            const Size d = g.textExtent(decimal(mark.denominator));
            const int width = std::max(n.width, d.width);
            const int bottom = top + n.height + d.height;
            parts_.push_back(Piece{decimal(mark.numerator), digits,
                                   Point{x + (width - n.width) / 2, top}});
            parts_.push_back(Piece{decimal(mark.denominator), digits,
                                   Point{x + (width - d.width) / 2, top + n.height}});
            fractionLine_ = Rect{x, top + n.height, x + width, top + n.height};
            tallest = std::min(tallest, bottom - top);
            x += width + gap;
        }
    }
    if (!mark.tempo.empty())
        addText(tempoMarkText(mark.tempo), small);
    // Jump words: right-aligned before the closing bar line.
    const std::u16string words = jumpWords(mark.jumps);
    if (!words.empty()) {
        g.setFont(small);
        const Size extent = g.textExtent(words);
        const Point end = rootPosition(measure, {measure->style.width - measure->barWidth, 0},
                                       viaShadows);
        parts_.push_back(Piece{words, small, Point{end.x - extent.width, 0}});
        heights.emplace_back(parts_.size() - 1, extent.height);
        tallest = std::min(tallest, extent.height);
    }
    // Single-line pieces stand on the bottom of the tallest.
    for (const auto& [index, height] : heights)
        parts_[index].at.y = top + tallest - height;
    // Everything so far hangs from `top`; move it up so that its bottom is just above it.
    const int up = -tallest + gap;
    for (Piece& p : parts_)
        p.at.y += up;
    for (Rect* r : {&segno_, &coda_, &fractionLine_}) {
        r->top += up;
        r->bottom += up;
    }
    strips.assign(1, Rect{start.x, top + up, std::max(x, start.x + 1), top});
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

void MarkText::draw(Surface& g) const {
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
        const Rect& s = segno_;
        const int w = s.right - s.left;
        const int h = s.top - s.bottom;
        const int mx = (s.left + s.right) / 2;
        const int my = (s.top + s.bottom) / 2;
        const auto at = [&](int x, int y) { return Point{ox + x, oy + y}; };
        g.drawBezier(at(s.right - w / 6, s.top - h / 8), at(mx - w / 2, s.top + h / 8),
                     at(s.left - w / 4, my + h / 4), at(mx, my));
        g.drawBezier(at(mx, my), at(s.right + w / 4, my - h / 4),
                     at(mx + w / 2, s.bottom - h / 8), at(s.left + w / 6, s.bottom + h / 8));
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
