#include "painter/painter_surface.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "painter/font_book.h"
#include "painter/measured_font.h"
#include "painter/watermark.h"

namespace qe {

namespace {

constexpr double kTwipsPerInch = 1440.0;

// Dash patterns in logical units, alternately ink and gap, as long on paper as the usual
// screen patterns (18/6, 3/3 and 9/6/3/6 pixels at 96 dpi) whatever the device.
constexpr double kDash[] = {270, 90};
constexpr double kDot[] = {45, 45};
constexpr double kDashDot[] = {135, 90, 45, 90};

template <std::size_t N>
QList<qreal> dashPattern(const double (&lengths)[N], double penWidth) {
    // QPen measures dashes in pen widths; a dash is never shorter than the pen is wide.
    QList<qreal> pattern;
    for (double length : lengths)
        pattern.append(std::max(length / penWidth, 1.0));
    return pattern;
}

}  // namespace

PainterSurface::PainterState::PainterState(QPainter& painter) : painter_(painter) {
    painter_.save();
}

PainterSurface::PainterState::~PainterState() {
    // A painter ended while its surface lived has nothing left to restore.
    if (painter_.isActive())
        painter_.restore();
}

PainterSurface::PainterSurface(FontBook& fonts, QPainter& painter, double dotsPerInch)
    : PainterSurface(fonts, painter, dotsPerInch, 0, 0, 0, 0, 0, 0, false) {}

PainterSurface::PainterSurface(FontBook& fonts, QPainter& painter, double dotsPerInch, int originX,
                               int originY, int left, int top, int right, int bottom,
                               bool noPageFrame)
    : Surface(originX, originY, left, top, right, bottom, noPageFrame),
      fonts_(fonts),
      painter_(painter),
      saved_(painter),
      // A resolution that makes no sense falls back to the screen's rather than collapsing
      // everything onto one point.
      scale_((std::isfinite(dotsPerInch) && dotsPerInch > 0 ? dotsPerInch : 96.0) / kTwipsPerInch),
      base_(painter.worldTransform()),
      logical_(QTransform::fromScale(scale_, -scale_) * base_),
      pen_(painter.pen()),
      brush_(painter.brush()),
      textColor_(painter.pen().color()),
      antialiased_(painter.testRenderHint(QPainter::Antialiasing)) {
    // Text is measured without looking at the device.
    metricsId = kDeviceIndependentMetrics;
    // The painter's own pen is as wide in its units as it should look; in logical units that
    // is 1/s times wider.
    if (!pen_.isCosmetic())
        pen_.setWidthF(pen_.widthF() / scale_);
    painter_.setBackgroundMode(Qt::TransparentMode);
}

PainterSurface::~PainterSurface() = default;

QPointF PainterSurface::toPainter(int x, int y) const {
    return {x * scale_, -y * scale_};
}

QRectF PainterSurface::logicalRect(int left, int top, int right, int bottom) const {
    return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

void PainterSurface::prepareShapes(bool antialiased) {
    if (!logicalTransform_) {
        painter_.setWorldTransform(logical_);
        logicalTransform_ = true;
    }
    if (penHeld_ != PenHeld::Shapes) {
        painter_.setPen(pen_);
        penHeld_ = PenHeld::Shapes;
    }
    if (antialiased != antialiased_) {
        painter_.setRenderHint(QPainter::Antialiasing, antialiased);
        antialiased_ = antialiased;
    }
}

void PainterSurface::prepareText() {
    if (penHeld_ != PenHeld::Text) {
        painter_.setPen(QPen(textColor_));
        penHeld_ = PenHeld::Text;
    }
    if (painterFont_ != font_) {
        painter_.setFont(font_->font);
        painterFont_ = font_;
    }
}

MeasuredFont& PainterSurface::currentFont() {
    // Before any record is selected, text is in the font the painter came with, measured on
    // its device: the only text that is not device independent.
    if (!font_) {
        font_ = MeasuredFont::forPainter(painter_.font(), painter_.device(), 1.0 / scale_);
        fontFromRecord_ = false;
    }
    return *font_;
}

void PainterSurface::strokePath(const QPainterPath& path) {
    painter_.strokePath(path, pen_);
}

void PainterSurface::drawText(int x, int y, const char16_t* text, int count) {
    if (!text || count <= 0)
        return;
    MeasuredFont& font = currentFont();
    const QString drawn =
        MeasuredFont::drawable(std::u16string_view(text, static_cast<std::size_t>(count)));
    if (drawn.isEmpty())
        return;
    prepareText();

    // Glyphs are drawn with y pointing down, in the font's pixels, from the text's top-left
    // corner; the record's width stretches them horizontally as it does their measure.
    const double unit = scale_ * font.unit;
    QTransform place = QTransform::fromScale(unit * font.stretch, unit);
    if (fontFromRecord_ && fontRecord_.escapement != 0)
        place *= QTransform().rotate(-fontRecord_.escapement / 10.0);
    place *= QTransform::fromTranslate(x * scale_, -y * scale_) * base_;
    painter_.setWorldTransform(place);
    logicalTransform_ = false;
    painter_.drawText(QPointF(0, font.ascent), drawn);
}

void PainterSurface::moveTo(int x, int y) {
    position_ = QPointF(x, y);
}

void PainterSurface::lineTo(int x, int y) {
    const QPointF to(x, y);
    // Level and plumb lines stay on whole pixels; slanted ones are smoothed.
    prepareShapes(to.x() != position_.x() && to.y() != position_.y());
    painter_.drawLine(QLineF(position_, to));
    position_ = to;
}

void PainterSurface::fillRect(int x, int y, int width, int height, std::uint8_t red,
                              std::uint8_t green, std::uint8_t blue) {
    prepareShapes(false);
    painter_.fillRect(QRectF(x, y, width, height).normalized(), QColor(red, green, blue));
}

void PainterSurface::rectangle(int left, int top, int right, int bottom) {
    prepareShapes(false);
    painter_.drawRect(logicalRect(left, top, right, bottom));
}

void PainterSurface::ellipse(int left, int top, int right, int bottom) {
    prepareShapes(true);
    painter_.drawEllipse(logicalRect(left, top, right, bottom));
}

void PainterSurface::drawArcStrips(Point p0, Point p1, Point p2, Point p3,
                                   const std::vector<Rect>& strips) {
    // The curve lives on a canvas of its own, as wide as the curve and 20 units deeper than
    // the drop from p0 to p1, hanging below y = 0; whatever falls off it is lost. Each strip
    // shows the next stretch of that canvas, 20 units deeper than the strip itself so that an
    // end lying on the strip's bottom keeps the whole width of the pen.
    const double canvasWidth = std::abs(double(p3.x) - p0.x);
    const double canvasDepth = std::abs(double(p0.y) - p1.y - 20);
    const QRectF canvas(0, -canvasDepth, canvasWidth, canvasDepth);
    if (canvas.isEmpty())
        return;

    QPainterPath curve(QPointF(p0.x, p0.y));
    curve.cubicTo(QPointF(p1.x, p1.y), QPointF(p2.x, p2.y), QPointF(p3.x, p3.y));
    prepareShapes(true);
    double offset = 0;
    for (const Rect& strip : strips) {
        const double width = double(strip.right) - strip.left;
        const QPointF shift(strip.left - offset, strip.top);
        offset += width;
        if (width <= 0)
            continue;
        const double depth = double(strip.bottom) - strip.top - 20;
        const QRectF piece =
            QRectF(strip.left, strip.top, width, depth).normalized() & canvas.translated(shift);
        if (piece.isEmpty())
            continue;
        painter_.save();
        painter_.setClipRect(piece, Qt::IntersectClip);
        painter_.translate(shift);
        strokePath(curve);
        painter_.restore();
    }
}

void PainterSurface::drawBezier(Point p0, Point p1, Point p2, Point p3) {
    QPainterPath curve(QPointF(p0.x, p0.y));
    curve.cubicTo(QPointF(p1.x, p1.y), QPointF(p2.x, p2.y), QPointF(p3.x, p3.y));
    prepareShapes(true);
    strokePath(curve);
}

void PainterSurface::setPen(int style, int width, std::uint8_t red, std::uint8_t green,
                            std::uint8_t blue) {
    QPen pen(QColor(red, green, blue));
    // Width 0 is Qt's cosmetic pen: one device pixel at any scale.
    pen.setWidthF(std::max(width, 0));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (style >= 1 && style <= 3) {
        const double penWidth = width > 0 ? width : logicalPerPixel();
        pen.setCapStyle(Qt::FlatCap);
        if (style == 1)
            pen.setDashPattern(dashPattern(kDash, penWidth));
        if (style == 2)
            pen.setDashPattern(dashPattern(kDot, penWidth));
        if (style == 3)
            pen.setDashPattern(dashPattern(kDashDot, penWidth));
    }
    pen_ = pen;
    painter_.setPen(pen_);
    penHeld_ = PenHeld::Shapes;
}

void PainterSurface::setBrush(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    brush_ = QBrush(QColor(red, green, blue));
    painter_.setBrush(brush_);
}

void PainterSurface::setFont(const FontRecord& font) {
    setTextColor(font.red(), font.green(), font.blue());
    // Layout selects the same few records again and again; only a different one costs a
    // look-up.
    if (fontFromRecord_ && font.logFont == fontRecord_)
        return;
    font_ = fonts_.font(font.logFont);
    fontRecord_ = font.logFont;
    fontFromRecord_ = true;
}

void PainterSurface::setTextColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const QColor color(red, green, blue);
    if (color == textColor_)
        return;
    textColor_ = color;
    if (penHeld_ == PenHeld::Text)
        penHeld_ = PenHeld::Other;
}

void PainterSurface::setBackColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    painter_.setBackground(QColor(red, green, blue));
}

Size PainterSurface::textExtent(const char16_t* text, int count) {
    if (!text || count <= 0)
        return {0, 0};
    MeasuredFont& font = currentFont();
    return {font.width(std::u16string_view(text, static_cast<std::size_t>(count))),
            -font.cellHeight()};
}

double PainterSurface::logicalPerPixel() const {
    // One device pixel along x, taken back through a zoom the painter may carry.
    const double pixelsPerUnit = scale_ * std::hypot(base_.m11(), base_.m12());
    return pixelsPerUnit > 0 ? 1.0 / pixelsPerUnit : 1.0;
}

int PainterSurface::pixelSize() {
    return std::max(1, static_cast<int>(std::lround(logicalPerPixel())));
}

void PainterSurface::pageFrame(int, int, int, int) {}

Size PainterSurface::watermarkSize() {
    // The logo is laid out as if at 96 pixels per inch on every device.
    return {kWatermarkWidth * 15, -kWatermarkHeight * 15};
}

void PainterSurface::drawWatermark(int x, int y) {
    if (!watermarkShown_)
        return;
    const Size size = watermarkSize();
    const int left = originX + x;
    const int top = originY + y;
    // Placed in device terms: in logical ones, with y up, the image would come out upside down.
    const QRectF target =
        QRectF(toPainter(left, top), toPainter(left + size.width, top + size.height)).normalized();

    painter_.save();
    painter_.setWorldTransform(base_);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPaintEngine* engine = painter_.paintEngine();
    if (engine && engine->type() == QPaintEngine::Raster) {
        // AND of colours: white leaves the page as it is, and nothing drawn is lightened.
        painter_.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter_.drawImage(target, watermarkImage());
    } else {
        // Vector devices have no raster operations (and PDF output ignores blend modes).
        painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_.drawImage(target, watermarkOverlay());
    }
    painter_.restore();
}

}  // namespace qe
