#pragma once

#include <QBrush>
#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QTransform>

#include <memory>

#include "engrave/surface.h"

class QPainter;

namespace qe {

class FontBook;
class MeasuredFont;

// The drawing surface over a QPainter: what the score looks like on screen, on paper and in
// exported images.
//
// The painter must already be begun on its device. `dotsPerInch` is how many units of the
// painter's current coordinates make one inch (96 for a screen view, 288 for image export,
// the printer's resolution when printing). Logical units are twips with y pointing up, so a
// logical point (x, y) lands on (x * s, -y * s) with s = dotsPerInch / 1440, carried through
// whatever transform the painter has when the surface is made: a caller can translate the
// painter first to scroll.
//
// Fonts come from the book, which must outlive the surface. Text is measured without looking
// at the device, so a layout made on one surface holds on
// every other. The surface leaves the painter as it found it: pen, brush, font, transform,
// render hints and background are restored when it is destroyed.
class PainterSurface : public Surface {
public:
    PainterSurface(FontBook& fonts, QPainter& painter, double dotsPerInch);
    // The clip edges are absolute; noPageFrame is set for printing.
    PainterSurface(FontBook& fonts, QPainter& painter, double dotsPerInch, int originX, int originY,
                   int left, int top, int right, int bottom, bool noPageFrame);
    ~PainterSurface() override;

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
    int pixelSize() override;
    void pageFrame(int x, int y, int width, int height) override;
    Size watermarkSize() override;
    void drawWatermark(int x, int y) override;

    using Surface::drawText;
    using Surface::textExtent;

    // Whether pages lay their watermark over what they draw; on unless an export asks for
    // clean pages. The watermark keeps its size either way, so the layout does not change.
    void setWatermarkShown(bool shown) { watermarkShown_ = shown; }
    bool watermarkShown() const { return watermarkShown_; }

protected:
    // The font of the record selected last, measured.
    MeasuredFont& currentFont();

private:
    // Saves the painter's state for the lifetime of the surface.
    class PainterState {
    public:
        explicit PainterState(QPainter& painter);
        ~PainterState();
        PainterState(const PainterState&) = delete;
        PainterState& operator=(const PainterState&) = delete;

    private:
        QPainter& painter_;
    };

    // Which pen the painter holds, so that a run of texts or of lines sets nothing twice.
    enum class PenHeld { Other, Shapes, Text };

    double logicalPerPixel() const;
    QPointF toPainter(int x, int y) const;  // logical to the painter's units as found
    QRectF logicalRect(int left, int top, int right, int bottom) const;
    void prepareShapes(bool antialiased);
    void prepareText();
    void strokePath(const QPainterPath& path);

    FontBook& fonts_;
    QPainter& painter_;
    PainterState saved_;
    double scale_;        // device units per logical unit
    QTransform base_;     // the painter's transform as found
    QTransform logical_;  // logical units to device
    QPen pen_;
    QBrush brush_;
    QColor textColor_;
    std::shared_ptr<MeasuredFont> font_;
    LogFont fontRecord_;  // the record font_ was made from, when it was
    bool fontFromRecord_ = false;
    QPointF position_;  // current position for lineTo, logical
    PenHeld penHeld_ = PenHeld::Other;
    bool logicalTransform_ = false;  // the painter maps logical units, not a text's own
    bool antialiased_ = false;
    bool watermarkShown_ = true;
    std::shared_ptr<MeasuredFont> painterFont_;  // the font last handed to the painter
};

}  // namespace qe
