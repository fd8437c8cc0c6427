#include "gui/drawn_icon.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qe {

namespace {

// Toolbar pictures are drawn on a canvas of 36 x 20 units, the program's on 64 x 64.
constexpr double kButtonWidth = 36;
constexpr double kButtonHeight = 20;
constexpr double kAppSide = 64;

struct Ink {
    QColor dark;
    QColor accent;
    QColor paper;
};

Ink inkFor(bool enabled) {
    if (enabled)
        return {QColor(0x22, 0x2c, 0x38), QColor(0x1f, 0x6f, 0xd6), QColor(Qt::white)};
    return {QColor(0xa4, 0xa8, 0xae), QColor(0xb8, 0xbc, 0xc2), QColor(0xf2, 0xf2, 0xf2)};
}

QFont digitFont(double pixelSize) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(1, static_cast<int>(pixelSize)));
    return font;
}

QPen pen(const QColor& color, double width) {
    QPen p(color, width);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

void drawTie(QPainter& p, const Ink& ink) {
    p.setFont(digitFont(12));
    p.setPen(ink.dark);
    p.drawText(QRectF(3, 6, 12, 14), Qt::AlignCenter, QStringLiteral("5"));
    p.drawText(QRectF(21, 6, 12, 14), Qt::AlignCenter, QStringLiteral("5"));
    QPainterPath arc(QPointF(9, 6.5));
    arc.cubicTo(QPointF(13, 1.5), QPointF(23, 1.5), QPointF(27, 6.5));
    p.setPen(pen(ink.accent, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
}

void drawBracket(QPainter& p, const Ink& ink) {
    p.setPen(pen(ink.accent, 1.6));
    p.drawLine(QPointF(7, 15), QPointF(7, 3.5));
    p.drawLine(QPointF(7, 3.5), QPointF(31, 3.5));
    p.setFont(digitFont(9));
    p.setPen(ink.dark);
    p.drawText(QRectF(9, 5, 14, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("1."));
}

// A curved arrow turning back (undo) or forward (redo).
void drawTurn(QPainter& p, const Ink& ink, bool forward) {
    p.save();
    if (forward) {
        p.translate(kButtonWidth, 0);
        p.scale(-1, 1);
    }
    QPainterPath curve(QPointF(11, 8));
    curve.cubicTo(QPointF(15, 3.5), QPointF(25, 3.5), QPointF(26, 10));
    curve.cubicTo(QPointF(26.5, 14), QPointF(23, 17), QPointF(19, 17));
    p.setPen(pen(ink.accent, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    QPainterPath head;
    head.moveTo(7, 5.5);
    head.lineTo(14, 4);
    head.lineTo(11.5, 11);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink.accent);
    p.drawPath(head);
    p.restore();
}

void drawPrint(QPainter& p, const Ink& ink) {
    p.setPen(pen(ink.dark, 1.2));
    p.setBrush(ink.paper);
    p.drawRect(QRectF(12.5, 1.5, 11, 6));  // paper going in
    p.setBrush(ink.accent);
    p.drawRoundedRect(QRectF(7.5, 6.5, 21, 8), 1.5, 1.5);  // the printer
    p.setBrush(ink.paper);
    p.drawRect(QRectF(11.5, 11.5, 13, 7));  // the printed sheet
    p.setPen(pen(ink.dark, 0.9));
    p.drawLine(QPointF(13.5, 14), QPointF(22.5, 14));
    p.drawLine(QPointF(13.5, 16.5), QPointF(20, 16.5));
}

void drawExport(QPainter& p, const Ink& ink) {
    QPainterPath sheet;
    sheet.moveTo(8.5, 1.5);
    sheet.lineTo(17.5, 1.5);
    sheet.lineTo(21.5, 5.5);
    sheet.lineTo(21.5, 18.5);
    sheet.lineTo(8.5, 18.5);
    sheet.closeSubpath();
    p.setPen(pen(ink.dark, 1.2));
    p.setBrush(ink.paper);
    p.drawPath(sheet);
    p.setFont(digitFont(7));
    p.drawText(QRectF(9, 6, 12, 10), Qt::AlignCenter, QStringLiteral("12"));
    p.setPen(pen(ink.accent, 2.0));
    p.drawLine(QPointF(18, 12), QPointF(31, 12));
    QPainterPath head;
    head.moveTo(33.5, 12);
    head.lineTo(28.5, 8);
    head.lineTo(28.5, 16);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink.accent);
    p.drawPath(head);
}

void drawAbout(QPainter& p, const Ink& ink) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink.accent);
    p.drawEllipse(QPointF(18, 10), 8.5, 8.5);
    p.setFont(digitFont(13));
    p.setPen(ink.paper);
    p.drawText(QRectF(9, 1, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
}

void drawApplication(QPainter& p, const Ink& ink) {
    QLinearGradient sky(0, 0, 0, kAppSide);
    sky.setColorAt(0, ink.accent.lighter(125));
    sky.setColorAt(1, ink.accent.darker(125));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    p.setBrush(ink.paper);
    p.drawRoundedRect(QRectF(9, 12, 46, 40), 4, 4);
    // Three notes of jianpu: a dotted 5 above, 1 and 2 sharing an underline.
    p.setFont(digitFont(17));
    p.setPen(ink.dark);
    p.drawText(QRectF(10, 20, 14, 22), Qt::AlignCenter, QStringLiteral("1"));
    p.drawText(QRectF(24, 20, 14, 22), Qt::AlignCenter, QStringLiteral("2"));
    p.drawText(QRectF(39, 20, 14, 22), Qt::AlignCenter, QStringLiteral("5"));
    p.setBrush(ink.dark);
    p.drawEllipse(QPointF(46, 18.5), 1.8, 1.8);
    p.setPen(pen(ink.dark, 2.0));
    p.drawLine(QPointF(13, 44), QPointF(35, 44));
}

}  // namespace

void DrawnIcon::paintPicture(QPainter& painter, IconKind kind, const QRectF& rect, bool enabled) {
    const bool square = kind == IconKind::Application;
    const double width = square ? kAppSide : kButtonWidth;
    const double height = square ? kAppSide : kButtonHeight;
    const double scale = std::min(rect.width() / width, rect.height() / height);
    if (scale <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(rect.center());
    painter.scale(scale, scale);
    painter.translate(-width / 2, -height / 2);
    const Ink ink = inkFor(enabled);
    switch (kind) {
        case IconKind::Tie:
            drawTie(painter, ink);
            break;
        case IconKind::Bracket:
            drawBracket(painter, ink);
            break;
        case IconKind::Print:
            drawPrint(painter, ink);
            break;
        case IconKind::Export:
            drawExport(painter, ink);
            break;
        case IconKind::About:
            drawAbout(painter, ink);
            break;
        case IconKind::Undo:
            drawTurn(painter, ink, false);
            break;
        case IconKind::Redo:
            drawTurn(painter, ink, true);
            break;
        case IconKind::Application:
            drawApplication(painter, ink);
            break;
    }
    painter.restore();
}

void DrawnIcon::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) {
    paintPicture(*painter, kind_, rect, mode != QIcon::Disabled);
}

QPixmap DrawnIcon::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap DrawnIcon::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                                qreal scale) {
    const QSize pixels = (QSizeF(size) * scale).toSize();
    if (pixels.isEmpty())
        return {};
    QPixmap pixmap(pixels);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), pixels), mode, state);
    }
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

}  // namespace qe
