#include "painter/ink_surface.h"

#include <QFontMetricsF>
#include <algorithm>
#include <climits>
#include <cmath>

#include "painter/measured_font.h"

namespace qe {

namespace {

int rounded(double v) {
    return static_cast<int>(std::lround(v));
}

}  // namespace

InkSurface::InkSurface(FontBook& fonts, const Rect& clip)
    : PainterSurface(fonts, *InkPainter::painter, 1440, 0, 0, clip.left, clip.top, clip.right,
                     clip.bottom, true) {}

void InkSurface::add(Rect box, std::u16string text, std::vector<Point> outline) {
    if (box.left > box.right)
        std::swap(box.left, box.right);
    if (box.top < box.bottom)
        std::swap(box.top, box.bottom);
    // The pieces of a thing drawn as one share the number its first piece took.
    int number = 0;
    if (thing == 0) {
        number = things_++;
    } else if (const auto known = numbers_.find(thing); known != numbers_.end()) {
        number = known->second;
    } else {
        number = things_++;
        numbers_.emplace(thing, number);
    }
    boxes.push_back({role ? role : "", std::move(text), box, std::move(outline), number});
}

void InkSurface::drawText(int x, int y, const char16_t* text, int count) {
    if (!text || count <= 0)
        return;
    const std::u16string_view view(text, static_cast<std::size_t>(count));
    const QString drawn = MeasuredFont::drawable(view);
    if (drawn.trimmed().isEmpty())
        return;
    // Glyphs stand from the text's top-left corner, their baseline the font's ascent below it.
    const MeasuredFont& font = currentFont();
    const QRectF ink = QFontMetricsF(font.font).tightBoundingRect(drawn);
    const double across = font.unit * font.stretch;
    const Rect box{x + rounded(ink.left() * across), y - rounded((font.ascent + ink.top()) * font.unit),
                   x + rounded(ink.right() * across),
                   y - rounded((font.ascent + ink.bottom()) * font.unit)};
    add(box, std::u16string(view));
}

void InkSurface::setPen(int style, int width, std::uint8_t red, std::uint8_t green,
                        std::uint8_t blue) {
    PainterSurface::setPen(style, width, red, green, blue);
    penWidth_ = std::max(width, 1);
}

void InkSurface::moveTo(int x, int y) {
    at_ = {x, y};
}

void InkSurface::lineTo(int x, int y) {
    const int half = penWidth_ / 2;
    const Rect box{std::min(at_.x, x) - half, std::max(at_.y, y) + half, std::max(at_.x, x) + half,
                   std::min(at_.y, y) - half};
    // A line joined to the one drawn just before it, of the same thing (a bracket's sides and
    // hooks), is a piece of that thing.
    const bool joined = !boxes.empty() && lineRun_ == boxes.size() &&
                        boxes.back().role == (role ? role : "") &&
                        (at_ == runFrom_ || at_ == runTo_);
    const int thing = joined ? boxes.back().thing : -1;
    add(box);
    if (joined) {
        boxes.back().thing = thing;
        --things_;
    } else {
        runFrom_ = at_;
    }
    lineRun_ = boxes.size();
    runTo_ = {x, y};
    at_ = {x, y};
}

void InkSurface::fillRect(int x, int y, int width, int height, std::uint8_t, std::uint8_t,
                          std::uint8_t) {
    add({x, y, x + width, y + height});
}

void InkSurface::rectangle(int left, int top, int right, int bottom) {
    add({left, top, right, bottom});
}

void InkSurface::ellipse(int left, int top, int right, int bottom) {
    add({left, top, right, bottom});
}

void InkSurface::drawArcStrips(Point, Point, Point, Point, const std::vector<Rect>& strips) {
    for (const Rect& strip : strips)
        add(strip);
}

void InkSurface::drawBezier(Point p0, Point p1, Point p2, Point p3) {
    // The curve sampled, its box widened by half the pen.
    constexpr int kSamples = 16;
    std::vector<Point> outline;
    Rect box{INT_MAX, INT_MIN, INT_MIN, INT_MAX};
    for (int i = 0; i <= kSamples; ++i) {
        const double t = static_cast<double>(i) / kSamples;
        const double u = 1 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        const Point p{rounded(a * p0.x + b * p1.x + c * p2.x + d * p3.x),
                      rounded(a * p0.y + b * p1.y + c * p2.y + d * p3.y)};
        outline.push_back(p);
        box.left = std::min(box.left, p.x);
        box.right = std::max(box.right, p.x);
        box.top = std::max(box.top, p.y);
        box.bottom = std::min(box.bottom, p.y);
    }
    const int half = penWidth_ / 2;
    add({box.left - half, box.top + half, box.right + half, box.bottom - half}, {},
        std::move(outline));
}

}  // namespace qe
