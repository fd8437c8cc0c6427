#include "painter/watermark.h"

#include <QFont>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace qe {

namespace {

QImage makeLogo() {
    QImage image(kWatermarkWidth, kWatermarkHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Every colour stays this pale so that black notes over the logo keep their contrast.
    const QColor ring(226, 233, 243);
    const QColor note(232, 238, 246);

    // A large Q: a ring with a tail.
    p.setPen(QPen(ring, 30, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(240, 290), 160, 160);
    p.drawLine(QPointF(335, 395), QPointF(415, 485));

    // Inside it a numbered note: a 5 with an octave dot above and one duration line below.
    QFont digit(QStringLiteral("Liberation Sans"));
    digit.setPixelSize(180);
    digit.setWeight(QFont::Bold);
    p.setFont(digit);
    p.setPen(note);
    p.drawText(QRectF(140, 190, 200, 200), Qt::AlignCenter, QStringLiteral("5"));
    p.setPen(Qt::NoPen);
    p.setBrush(note);
    p.drawEllipse(QPointF(240, 185), 13, 13);
    p.drawRect(QRectF(185, 372, 110, 14));

    // The name beneath; the Chinese part comes from whatever CJK face the system falls back to.
    QFont name(QStringLiteral("Liberation Sans"));
    name.setPixelSize(66);
    name.setWeight(QFont::Bold);
    p.setFont(name);
    p.setPen(ring);
    p.drawText(QRectF(0, 520, 480, 110), Qt::AlignCenter, QStringLiteral("Qanor简谱"));
    p.end();
    return image;
}

QImage makeOverlay(const QImage& logo) {
    // With m the darkest component of a pixel, alpha 255 - m and premultiplied colour c - m
    // give back exactly c over white, and white becomes fully transparent.
    QImage overlay(logo.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < logo.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(logo.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(overlay.scanLine(y));
        for (int x = 0; x < logo.width(); ++x) {
            const int r = qRed(from[x]), g = qGreen(from[x]), b = qBlue(from[x]);
            const int m = std::min({r, g, b});
            to[x] = qRgba(r - m, g - m, b - m, 255 - m);
        }
    }
    return overlay;
}

}  // namespace

const QImage& watermarkImage() {
    static const QImage logo = makeLogo();
    return logo;
}

const QImage& watermarkOverlay() {
    static const QImage overlay = makeOverlay(watermarkImage());
    return overlay;
}

}  // namespace qe
