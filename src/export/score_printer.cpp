#include "export/score_printer.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "base/exception.h"
#include "engrave/page_view.h"
#include "painter/painter_surface.h"

namespace qe {

int ScorePrinter::pageCount() const {
    return std::max(1, pages_ ? pages_->childCount() : 0);
}

bool ScorePrinter::print(QPrinter& printer, bool allPages) {
    const int pages = pageCount();
    int first = 1;
    int last = pages;
    if (!allPages && printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::clamp(printer.fromPage(), 1, pages);
        last = std::clamp(printer.toPage() > 0 ? printer.toPage() : pages, first, pages);
    }
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The painter starts at the printable area's corner; the page is measured from the
    // paper's, so it moves left and up by the unprintable margins.
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    const QPointF toPaperCorner = paper.topLeft() - printable.topLeft();
    const int width = pages_ && pages_->pageWidth > 0 ? pages_->pageWidth : 11906;
    const int height = pages_ && pages_->pageHeight > 0 ? pages_->pageHeight : 16838;
    for (int page = first; page <= last; ++page) {
        if (page > first)
            printer.newPage();
        painter.save();
        painter.translate(toPaperCorner);
        {
            PainterSurface g(fonts_, painter, printer.resolution(), 0, 0, 0, 0, width, -height,
                             true);
            g.setWatermarkShown(watermark_);
            if (pages_ && page - 1 < pages_->childCount()) {
                try {
                    pages_->paintPage(page - 1, g);
                } catch (const Exception&) {
                    // A page whose drawing fails is left as far as it got.
                }
            }
        }
        painter.restore();
    }
    return painter.end();
}

}  // namespace qe
