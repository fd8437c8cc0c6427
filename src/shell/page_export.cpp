#include "shell/page_export.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include "draw/qt/g.h"
#include "layout/linear_view.h"
#include "layout/page_view.h"
#include "model/exception.h"

namespace qe {

QString exportPagePath(const QString& chosen, int pages, int page) {
    const QFileInfo info(chosen);
    const QString name = QStringLiteral("%1_%2-%3.%4")
                             .arg(info.completeBaseName())
                             .arg(pages)
                             .arg(page)
                             .arg(info.suffix());
    return QDir(info.path()).filePath(name);
}

QImage renderPage(PageView& view, int index) {
    const int width = view.pageWidth > 0 ? view.pageWidth : 11906;
    const int height = view.pageHeight > 0 ? view.pageHeight : 16838;
    QImage image(std::max(1, width / kUnitsPerExportPixel),
                 std::max(1, height / kUnitsPerExportPixel), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    try {
        G g(painter, kExportDotsPerInch, 0, 0, 0, 0, width, -height, false);
        view.paintPage(index, g);
    } catch (const Exception&) {
        // A page that cannot be drawn stays blank paper.
    }
    painter.end();
    return image;
}

QImage renderStrip(LinearView& view) {
    // The largest side an image writer takes without trouble.
    constexpr int kLargestSide = 32767;
    const long long width = std::max(1, view.style.width / kUnitsPerExportPixel);
    const long long height = std::max(1, -view.style.height / kUnitsPerExportPixel);
    if (width > kLargestSide || height > kLargestSide)
        return {};
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    try {
        G g(painter, kExportDotsPerInch, 0, 0, 0, 0, view.style.width, view.style.height, false);
        view.paint(g);
    } catch (const Exception&) {
    }
    painter.end();
    return image;
}

}  // namespace qe
