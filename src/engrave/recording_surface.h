#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "engrave/surface.h"

namespace qe {

// One call made on a recording surface: the operation's name, its integer arguments in
// order (colours as three components, points and rectangles flattened) and any text.
struct DrawCall {
    std::string op;
    std::vector<int> args;
    std::u16string text;

    friend bool operator==(const DrawCall&, const DrawCall&) = default;
};

std::ostream& operator<<(std::ostream& out, const DrawCall& call);

// A surface that records what is drawn instead of drawing it, with simple deterministic text
// metrics, so that layout and drawing can be checked without a window system. Measuring
// (textExtent, pixelSize, watermarkSize) is not recorded.
class RecordingSurface : public Surface {
public:
    RecordingSurface() { metricsId = kRecordingMetrics; }
    RecordingSurface(int originX, int originY, int left, int top, int right, int bottom,
                     bool noPageFrame)
        : Surface(originX, originY, left, top, right, bottom, noPageFrame) {
        metricsId = kRecordingMetrics;
    }

    // Every character of a font is |height| high and 3/5 of that wide, or its record's width
    // when that is set; without a font, 200 high and 120 wide. The 0 character has no width.
    static Size charExtent(const FontRecord* font);

    void drawText(int x, int y, const char16_t* text, int count) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void fillRect(int x, int y, int width, int height, std::uint8_t red, std::uint8_t green,
                  std::uint8_t blue) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void ellipse(int left, int top, int right, int bottom) override;
    void drawArcStrips(Point p0, Point p1, Point p2, Point p3,
                       const std::vector<Rect>& strips) override;
    void drawBezier(Point p0, Point p1, Point p2, Point p3) override;
    void setPen(int style, int width, std::uint8_t red, std::uint8_t green,
                std::uint8_t blue) override;
    void setBrush(std::uint8_t red, std::uint8_t green, std::uint8_t blue) override;
    void setFont(const FontRecord& font) override;
    void setTextColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) override;
    void setBackColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) override;
    Size textExtent(const char16_t* text, int count) override;
    int pixelSize() override { return pixel; }
    void pageFrame(int x, int y, int width, int height) override;
    Size watermarkSize() override { return {480 * 15, -720 * 15}; }
    void drawWatermark(int x, int y) override;

    using Surface::drawText;
    using Surface::textExtent;

    // The calls of one operation, in order.
    std::vector<DrawCall> callsOf(const std::string& op) const;

    std::vector<DrawCall> calls;
    int pixel = 15;
    bool hasFont = false;
    FontRecord font;
};

}  // namespace qe
