#include "engrave/recording_surface.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ostream>

namespace qe {

std::ostream& operator<<(std::ostream& out, const DrawCall& call) {
    out << call.op << '(';
    for (std::size_t i = 0; i < call.args.size(); ++i)
        out << (i ? ", " : "") << call.args[i];
    if (!call.text.empty()) {
        out << (call.args.empty() ? "" : ", ") << '"';
        for (char16_t unit : call.text) {
            if (unit >= 0x20 && unit < 0x7F)
                out << static_cast<char>(unit);
            else
                out << "\\u" << std::hex << static_cast<int>(unit) << std::dec;
        }
        out << '"';
    }
    return out << ')';
}

Size RecordingSurface::charExtent(const FontRecord* font) {
    if (!font || font->logFont.height == 0)
        return {120, -200};
    // Kept within what a sheet can hold, so that damaged records measure without overflow.
    const auto magnitude = [](std::int32_t v) {
        return static_cast<int>(
            std::min<std::int64_t>(std::abs(static_cast<std::int64_t>(v)), 14400));
    };
    const int height = magnitude(font->logFont.height);
    const int width = font->logFont.width != 0 ? magnitude(font->logFont.width) : height * 3 / 5;
    return {width, -height};
}

void RecordingSurface::drawText(int x, int y, const char16_t* text, int count) {
    calls.push_back({"drawText",
                     {x, y},
                     std::u16string(text, static_cast<std::size_t>(count > 0 ? count : 0))});
}

void RecordingSurface::moveTo(int x, int y) {
    calls.push_back({"moveTo", {x, y}, {}});
}
void RecordingSurface::lineTo(int x, int y) {
    calls.push_back({"lineTo", {x, y}, {}});
}

void RecordingSurface::fillRect(int x, int y, int width, int height, std::uint8_t red,
                                std::uint8_t green, std::uint8_t blue) {
    calls.push_back({"fillRect", {x, y, width, height, red, green, blue}, {}});
}

void RecordingSurface::rectangle(int left, int top, int right, int bottom) {
    calls.push_back({"rectangle", {left, top, right, bottom}, {}});
}

void RecordingSurface::ellipse(int left, int top, int right, int bottom) {
    calls.push_back({"ellipse", {left, top, right, bottom}, {}});
}

void RecordingSurface::drawArcStrips(Point p0, Point p1, Point p2, Point p3,
                                     const std::vector<Rect>& strips) {
    DrawCall call{"drawArcStrips", {p0.x, p0.y, p1.x, p1.y, p2.x, p2.y, p3.x, p3.y}, {}};
    for (const Rect& r : strips)
        call.args.insert(call.args.end(), {r.left, r.top, r.right, r.bottom});
    calls.push_back(call);
}

void RecordingSurface::drawBezier(Point p0, Point p1, Point p2, Point p3) {
    calls.push_back({"drawBezier", {p0.x, p0.y, p1.x, p1.y, p2.x, p2.y, p3.x, p3.y}, {}});
}

void RecordingSurface::setPen(int style, int width, std::uint8_t red, std::uint8_t green,
                              std::uint8_t blue) {
    calls.push_back({"setPen", {style, width, red, green, blue}, {}});
}

void RecordingSurface::setBrush(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    calls.push_back({"setBrush", {red, green, blue}, {}});
}

void RecordingSurface::setFont(const FontRecord& record) {
    hasFont = true;
    font = record;
    calls.push_back({"setFont",
                     {record.logFont.height, record.logFont.width, record.logFont.weight,
                      static_cast<int>(record.color)},
                     record.logFont.face()});
}

void RecordingSurface::setTextColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    calls.push_back({"setTextColor", {red, green, blue}, {}});
}

void RecordingSurface::setBackColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    calls.push_back({"setBackColor", {red, green, blue}, {}});
}

Size RecordingSurface::textExtent(const char16_t* text, int count) {
    if (count <= 0)
        return {0, 0};
    const Size one = charExtent(hasFont ? &font : nullptr);
    int drawn = 0;  // the 0 character (a hidden bar line) takes no room
    for (int i = 0; i < count; ++i)
        drawn += text[i] != 0;
    const std::int64_t width = static_cast<std::int64_t>(one.width) * drawn;
    return {static_cast<int>(std::min<std::int64_t>(width, 1 << 30)), one.height};
}

void RecordingSurface::pageFrame(int x, int y, int width, int height) {
    calls.push_back({"pageFrame", {x, y, width, height}, {}});
}

void RecordingSurface::drawWatermark(int x, int y) {
    calls.push_back({"drawWatermark", {x + originX, y + originY}, {}});
}

std::vector<DrawCall> RecordingSurface::callsOf(const std::string& op) const {
    std::vector<DrawCall> found;
    for (const DrawCall& call : calls)
        if (call.op == op)
            found.push_back(call);
    return found;
}

}  // namespace qe
