#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "engrave/geometry.h"
#include "records/font_record.h"

namespace qe {

// The drawing surface every node draws through. It carries the translation of the node being
// drawn (callers add originX/originY to what they pass to the drawing operations), a clip
// rectangle relative to that origin for skipping invisible nodes, and the stack of
// translations that painting pushes and pops on its way down and up the tree.
class Surface {
public:
    Surface() = default;
    // The clip edges are absolute; they are kept relative to the origin.
    Surface(int originX, int originY, int left, int top, int right, int bottom, bool noPageFrame);
    virtual ~Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    virtual void drawText(int x, int y, const char16_t* text, int count) = 0;
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
    virtual void fillRect(int x, int y, int width, int height, std::uint8_t red, std::uint8_t green,
                          std::uint8_t blue) = 0;
    virtual void rectangle(int left, int top, int right, int bottom) = 0;
    virtual void ellipse(int left, int top, int right, int bottom) = 0;
    // One curve in a strip space of its own, cut into pieces, one per strip rectangle.
    virtual void drawArcStrips(Point p0, Point p1, Point p2, Point p3,
                               const std::vector<Rect>& strips) = 0;
    virtual void drawBezier(Point p0, Point p1, Point p2, Point p3) = 0;
    // Pen styles: 1 dashed, 2 dotted, 3 dash-dot, any other solid; width 0 is one device pixel.
    virtual void setPen(int style, int width, std::uint8_t red, std::uint8_t green,
                        std::uint8_t blue) = 0;
    virtual void setBrush(std::uint8_t red, std::uint8_t green, std::uint8_t blue) = 0;
    // Selects the font of a record and makes its colour the text colour.
    virtual void setFont(const FontRecord& font) = 0;
    virtual void setTextColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) = 0;
    virtual void setBackColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) = 0;
    // (width, -height) of the first `count` characters in the current font; nothing is (0, 0).
    virtual Size textExtent(const char16_t* text, int count) = 0;
    // Logical units one device pixel spans horizontally.
    virtual int pixelSize() = 0;
    // A page announces its rectangle before it draws its watermark.
    virtual void pageFrame(int x, int y, int width, int height) = 0;
    virtual Size watermarkSize() = 0;
    virtual void drawWatermark(int x, int y) = 0;

    void drawText(int x, int y, const std::u16string& text) {
        drawText(x, y, text.data(), static_cast<int>(text.size()));
    }
    Size textExtent(const std::u16string& text) {
        return textExtent(text.data(), static_cast<int>(text.size()));
    }

    void pushOrigin(int dx, int dy);
    // Undoes the last push; throws Exception code 5 when nothing was pushed.
    void popOrigin();
    // The same for a push known to have happened; does nothing on an empty stack.
    void undoPush() noexcept;
    // Draws a curve given relative to the origin.
    void bezierAt(Point p0, Point p1, Point p2, Point p3);
    // Draws a curve of strip space into strips given relative to the origin.
    void arcStripsAt(const std::vector<Rect>& strips, Point p0, Point p1, Point p2, Point p3);

    int originX = 0;
    int originY = 0;
    int clipLeft = 0;
    int clipTop = 0;
    int clipRight = 0;
    int clipBottom = 0;
    std::deque<std::pair<int, int>> translations;
    bool noPageFrame = false;  // printing: pages draw neither the paper nor its outline
    // Surfaces that measure text alike, whatever their device, share an id; layout keeps the
    // measurements of unchanged measures between passes on such surfaces. 0: never kept.
    int metricsId = 0;
    // What is being drawn ("digit", "lyric syllable", "arc" …), set by the nodes as they draw
    // (see RoleGuard); a surface that lists the ink of a page names each thing by it.
    const char* role = nullptr;
    // Non-zero while the pieces of one thing are drawn (a sign made of a circle and lines):
    // a surface that lists ink lists them as that one thing. See ThingGuard.
    int thing = 0;
    int things = 0;
};

// Makes what is drawn during its lifetime one thing.
class ThingGuard {
public:
    explicit ThingGuard(Surface& g) : g_(g) { g_.thing = ++g_.things; }
    ~ThingGuard() { g_.thing = 0; }
    ThingGuard(const ThingGuard&) = delete;
    ThingGuard& operator=(const ThingGuard&) = delete;

private:
    Surface& g_;
};

// Names what is drawn for the lifetime of the guard, then names what was named before.
class RoleGuard {
public:
    RoleGuard(Surface& g, const char* role) : g_(g), before_(g.role) { g_.role = role; }
    ~RoleGuard() { g_.role = before_; }
    RoleGuard(const RoleGuard&) = delete;
    RoleGuard& operator=(const RoleGuard&) = delete;

private:
    Surface& g_;
    const char* before_;
};

// Ids of the kinds of text metrics.
enum MetricsId : int { kDeviceIndependentMetrics = 1, kRecordingMetrics = 2 };

// Keeps a translation pushed for the lifetime of the guard.
class OriginGuard {
public:
    OriginGuard(Surface& g, int dx, int dy) : g_(g) { g_.pushOrigin(dx, dy); }
    ~OriginGuard() { g_.undoPush(); }
    OriginGuard(const OriginGuard&) = delete;
    OriginGuard& operator=(const OriginGuard&) = delete;

private:
    Surface& g_;
};

}  // namespace qe
