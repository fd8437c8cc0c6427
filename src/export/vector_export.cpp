#include "export/vector_export.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "base/exception.h"
#include "engrave/page_view.h"
#include "export/page_render.h"
#include "music/score.h"
#include "painter/font_book.h"
#include "painter/painter_surface.h"

namespace qe {

namespace {

// Logical units are twips: 20 to the point.
constexpr double kUnitsPerPoint = 20.0;
constexpr int kUnitsPerInch = 1440;

QString titleOf(const PageView& view) {
    return view.score ? QString::fromStdU16String(view.score->header().title) : QString();
}

// Draws one page with its top-left corner at the painter's origin, where `dotsPerInch` of the
// painter's units make an inch. A page whose drawing fails is left as far as it got.
void drawPage(FontBook& fonts, QPainter& painter, const PageView& view, int index,
              double dotsPerInch, bool watermark) {
    const QSize paper = paperSize(view);
    try {
        PainterSurface g(fonts, painter, dotsPerInch, 0, 0, 0, 0, paper.width(), -paper.height(),
                         false);
        g.setWatermarkShown(watermark);
        view.paintPage(index, g);
    } catch (const Exception&) {
    }
}

// The symbol font is this program's own and installed on no other machine, so an SVG carries
// it: the notes then show wherever the drawing is opened. Empty when the font is not found.
QByteArray symbolFontStyle(const FontBook& fonts) {
    QFile font(fonts.symbolFontPath());
    if (!fonts.hasSymbolFont() || !font.open(QIODevice::ReadOnly))
        return QByteArray();
    return "<style type=\"text/css\">@font-face{font-family:'QanorEditSymbol';"
           "src:url(data:font/ttf;base64," +
           font.readAll().toBase64() + ") format('truetype');}</style>\n";
}

}  // namespace

bool writePdf(FontBook& fonts, const PageView& view, int first, int last, QIODevice& device,
              bool watermark) {
    if (first < 0 || last >= view.childCount() || first > last)
        return false;
    const QSize paper = paperSize(view);
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("Qanor简谱编辑器"));
    writer.setTitle(titleOf(view));
    writer.setResolution(kUnitsPerInch);  // the painter works in logical units
    const QPageSize sheet(QSizeF(paper.width() / kUnitsPerPoint, paper.height() / kUnitsPerPoint),
                          QPageSize::Point, QString(), QPageSize::ExactMatch);
    if (!writer.setPageSize(sheet) || !writer.setPageMargins(QMarginsF(0, 0, 0, 0)))
        return false;
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int i = first; i <= last; ++i) {
        if (i > first && !writer.newPage())
            return false;
        drawPage(fonts, painter, view, i, kUnitsPerInch, watermark);
    }
    return painter.end();
}

bool writeSvgPage(FontBook& fonts, const PageView& view, int index, QIODevice& device,
                  bool watermark) {
    if (index < 0 || index >= view.childCount())
        return false;
    const QSize paper = paperSize(view);
    const QSize pixels(paper.width() / kUnitsPerExportPixel, paper.height() / kUnitsPerExportPixel);
    QBuffer drawing;
    drawing.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&drawing);
    svg.setSize(pixels);
    svg.setViewBox(QRect(QPoint(0, 0), pixels));
    svg.setResolution(kExportDotsPerInch);
    svg.setTitle(titleOf(view));
    svg.setDescription(
        QStringLiteral("Qanor简谱编辑器 %1 - %2").arg(view.childCount()).arg(index + 1));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    drawPage(fonts, painter, view, index, kExportDotsPerInch, watermark);
    if (!painter.end())
        return false;
    QByteArray bytes = drawing.buffer();
    const qsizetype defs = bytes.indexOf("<defs>");
    if (defs >= 0 && bytes.contains("font-family=\"QanorEditSymbol\""))
        bytes.insert(defs + 6, symbolFontStyle(fonts));
    return device.write(bytes) == bytes.size();
}

}  // namespace qe
