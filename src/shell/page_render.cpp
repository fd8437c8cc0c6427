#include "shell/page_render.h"

#include <QPainter>

#include <algorithm>

#include "draw/qt/g.h"
#include "layout/linear_view.h"
#include "layout/page_view.h"
#include "model/exception.h"

namespace qe {

namespace {

// The largest side an image writer takes without trouble.
constexpr long long kLargestSide = 32767;

QSize boundedSize(long long width, long long height) {
    width = std::max(1LL, width);
    height = std::max(1LL, height);
    if (width > kLargestSide || height > kLargestSide || width * height > kLargestExportPixels)
        return {};
    return {static_cast<int>(width), static_cast<int>(height)};
}

// Draws on white paper through a surface whose clip, (0, 0) to (right, bottom) in logical
// units, is the whole bitmap.
template <typename Paint>
QImage render(QSize size, int right, int bottom, bool watermark, Paint paint) {
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    QPainter painter(&image);
    try {
        G g(painter, kExportDotsPerInch, 0, 0, 0, 0, right, bottom, false);
        g.setWatermarkShown(watermark);
        paint(g);
    } catch (const Exception&) {
        // What could not be drawn stays blank paper.
    }
    painter.end();
    return image;
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

QImage renderPage(PageView& view, int index, bool watermark) {
    const QSize paper = paperSize(view);
    return render(exportPageSize(view), paper.width(), -paper.height(), watermark,
                  [&](G& g) { view.paintPage(index, g); });
}

QImage renderStrip(LinearView& view) {
    const long long height = -static_cast<long long>(view.style.height);
    const QSize size =
        boundedSize(view.style.width / kUnitsPerExportPixel, height / kUnitsPerExportPixel);
    return render(size, view.style.width, view.style.height, true, [&](G& g) { view.paint(g); });
}

}  // namespace qe
