#include "engrave/surface.h"

#include "base/exception.h"

namespace qe {

Surface::Surface(int originX, int originY, int left, int top, int right, int bottom,
                 bool noPageFrame)
    : originX(originX),
      originY(originY),
      clipLeft(left - originX),
      clipTop(top - originY),
      clipRight(right - originX),
      clipBottom(bottom - originY),
      noPageFrame(noPageFrame) {}

void Surface::pushOrigin(int dx, int dy) {
    translations.emplace_back(dx, dy);
    originX += dx;
    originY += dy;
    clipLeft -= dx;
    clipRight -= dx;
    clipTop -= dy;
    clipBottom -= dy;
}

void Surface::popOrigin() {
    if (translations.empty())
        throw Exception(kWrongKind);
    undoPush();
}

void Surface::undoPush() noexcept {
    if (translations.empty())
        return;
    const auto [dx, dy] = translations.back();
    translations.pop_back();
    originX -= dx;
    originY -= dy;
    clipLeft += dx;
    clipRight += dx;
    clipTop += dy;
    clipBottom += dy;
}

void Surface::bezierAt(Point p0, Point p1, Point p2, Point p3) {
    const auto moved = [this](Point p) { return Point{p.x + originX, p.y + originY}; };
    drawBezier(moved(p0), moved(p1), moved(p2), moved(p3));
}

void Surface::arcStripsAt(const std::vector<Rect>& strips, Point p0, Point p1, Point p2, Point p3) {
    std::vector<Rect> moved;
    moved.reserve(strips.size());
    for (const Rect& r : strips)
        moved.push_back({r.left + originX, r.top + originY, r.right + originX, r.bottom + originY});
    drawArcStrips(p0, p1, p2, p3, moved);
}

}  // namespace qe
