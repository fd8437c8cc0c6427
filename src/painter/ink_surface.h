#pragma once

#include <QImage>
#include <QPainter>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "painter/painter_surface.h"

namespace qe {

// One drawn thing of a page: what it is (the role the drawing named), its text where it is
// text, the box its ink covers, and for a curve the points of its outline. In logical units,
// y pointing up, in the frame of the surface's origin.
struct InkBox {
    std::string role;
    std::u16string text;
    Rect box;
    std::vector<Point> outline;
    // The thing the box is part of: the pieces of one drawn thing (the sides and hooks of a
    // bracket, drawn as joined lines) share it; every other box has one of its own.
    int thing = 0;
};

namespace detail {
// The painter comes first among the bases, so that it outlives the surface measuring on it.
struct InkPainter {
    QImage image{1, 1, QImage::Format_RGB32};
    std::unique_ptr<QPainter> painter = std::make_unique<QPainter>(&image);
};
}  // namespace detail

// A surface that draws nothing and lists the ink of everything drawn on it: text by the tight
// box of its glyphs in the real fonts, lines and curves by their pen, dots and rectangles by
// their bounds. The page's paper and watermark are not ink. Text is measured as on every other
// surface, so a layout made elsewhere holds here.
class InkSurface : private detail::InkPainter, public PainterSurface {
public:
    // Lists what is drawn of the things that meet `clip` (a page: the shapes of other pages
    // are left out, as they are when the page is printed).
    InkSurface(FontBook& fonts, const Rect& clip);

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
    void pageFrame(int, int, int, int) override {}
    void drawWatermark(int, int) override {}
    using PainterSurface::drawText;

    std::vector<InkBox> boxes;

private:
    void add(Rect box, std::u16string text = {}, std::vector<Point> outline = {});

    int penWidth_ = 0;
    Point at_;
    // The lines drawn last, while they join: how many boxes there were after the last of them,
    // where the run began and where it stands.
    std::size_t lineRun_ = 0;
    Point runFrom_;
    Point runTo_;
    int things_ = 0;
    std::unordered_map<int, int> numbers_;  // the surface's things, by their number here
};

}  // namespace qe
