#include "export/page_render.h"

#include <QPainter>

#include <algorithm>

#include "base/exception.h"
#include "engrave/linear_view.h"
#include "engrave/page_view.h"
#include "painter/painter_surface.h"

namespace qe {

namespace {

// The largest side an image writer takes without trouble.
constexpr long long kLargestSide = 32767;
// 288 dots per inch, in dots per metre.
constexpr int kExportDotsPerMetre = 11339;

QSize boundedSize(long long width, long long height) {
    width = std::max(1LL, width);
    height = std::max(1LL, height);
    if (width > kLargestSide || height > kLargestSide || width * height > kLargestExportPixels)
        return {};
    return {static_cast<int>(width), static_cast<int>(height)};
}

// Draws on white paper through a surface whose clip, (0, 0) to (right, bottom) in logical
// units, is the whole picture. The picture is moved up by `top` rows through the surface's
// origin, in whole logical units, so that every position is worked out as for the whole
// picture and a band's pixels are exactly the whole picture's.
template <typename Paint>
void render(FontBook& fonts, QImage& image, int top, int right, int bottom, bool watermark,
            Paint paint) {
    image.fill(Qt::white);
    image.setDotsPerMeterX(kExportDotsPerMetre);
    image.setDotsPerMeterY(kExportDotsPerMetre);
    QPainter painter(&image);
    const int shift = top * kUnitsPerExportPixel;
    try {
        PainterSurface g(fonts, painter, kExportDotsPerInch, 0, shift, 0, shift, right,
                         shift + bottom, false);
        g.setWatermarkShown(watermark);
        paint(g);
    } catch (const Exception&) {
        // What could not be drawn stays blank paper.
    }
}

}  // namespace

QSize paperSize(const PageView& view) {
    return {view.pageWidth > 0 ? view.pageWidth : kA4Width,
            view.pageHeight > 0 ? view.pageHeight : kA4Height};
}

QSize exportPageSize(const PageView& view) {
    const QSize paper = paperSize(view);
    return boundedSize(paper.width() / kUnitsPerExportPixel, paper.height() / kUnitsPerExportPixel);
}

void drawPageRows(FontBook& fonts, const PageView& view, int index, bool watermark, int top,
                  QImage& rows) {
    const QSize paper = paperSize(view);
    render(fonts, rows, top, paper.width(), -paper.height(), watermark,
           [&](PainterSurface& g) { view.paintPage(index, g); });
}

QImage renderPage(FontBook& fonts, const PageView& view, int index, bool watermark) {
    const QSize size = exportPageSize(view);
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (!image.isNull())
        drawPageRows(fonts, view, index, watermark, 0, image);
    return image;
}

QImage renderStrip(FontBook& fonts, const LinearView& view) {
    const long long height = -static_cast<long long>(view.style.height);
    const QSize size =
        boundedSize(view.style.width / kUnitsPerExportPixel, height / kUnitsPerExportPixel);
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (!image.isNull())
        render(fonts, image, 0, view.style.width, view.style.height, true,
               [&](PainterSurface& g) { view.paint(g); });
    return image;
}

}  // namespace qe
