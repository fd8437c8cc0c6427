#include "export/page_formats.h"

#include <QFileInfo>
#include <QImage>
#include <QtGlobal>

#include <memory>

#include "engrave/page_view.h"
#include "export/bmp_writer.h"
#include "export/export_host.h"
#include "export/export_registry.h"
#include "export/gif_writer.h"
#include "export/image_encoder.h"
#include "export/jpeg_writer.h"
#include "export/page_bands.h"
#include "export/page_export.h"
#include "export/png_writer.h"
#include "export/vector_export.h"
#include "files/atomic_file.h"

namespace qe {

namespace {

// A bitmap of each page at 288 dots per inch, or of the scroll-mode strip when asked.
class ImageFormat : public PageFormat {
public:
    ImageFormat(QStringList extensions, const char* description, ImageEncoder encoder)
        : PageFormat(std::move(extensions), description,
                     {ExportOption::kWatermark, ExportOption::kScrollStrip}),
          encoder_(encoder) {}

    bool writePage(const PageDrawing& drawing, int index, const QString& path,
                   TaskPool* helpers) const override {
        const PageBands page(drawing.fonts, drawing.view, index, drawing.watermark);
        // A page too large to draw leaves nothing behind.
        if (page.size().isEmpty())
            return false;
        const Result written = writeAtomically(
            path, [&](QIODevice& device) { return encoder_(page, device, helpers); });
        return written.ok();
    }

    ExportResult write(const music::Score& score, const ExportOptions& options, const QString& path,
                       ExportHost& host) const override {
        return options.scrollStrip ? writeStrip(path, host)
                                   : PageFormat::write(score, options, path, host);
    }

private:
    // The strip of scroll mode, every track line of the score, as one picture.
    ExportResult writeStrip(const QString& path, ExportHost& host) const {
        const LinearView* strip = host.strip();
        if (!strip)
            return stopped(ExportProblem::kNoLayout);
        ExportResult result;
        if (!mayWrite(path, host.prompts(), result))
            return result;
        const QImage image = renderStrip(host.fonts(), *strip);
        if (image.isNull())
            return stopped(ExportProblem::kStripTooLarge);
        const Result written = writeAtomically(
            path, [&](QIODevice& device) { return encodeImage(image, encoder_, device); });
        if (!written.ok()) {
            result.fileFailed(written.message);
            host.prompts().reportFailure(path);
            return result;
        }
        wrote(path, result);
        return result;
    }

    const ImageEncoder encoder_;
};

// An SVG drawing of each page.
class SvgFormat : public PageFormat {
public:
    SvgFormat()
        : PageFormat({QStringLiteral("svg")}, QT_TRANSLATE_NOOP("qanoredit", "SVG 矢量图 (*.svg)"),
                     {ExportOption::kWatermark}) {}

    bool writePage(const PageDrawing& drawing, int index, const QString& path,
                   TaskPool*) const override {
        const Result written = writeAtomically(path, [&](QIODevice& device) {
            return writeSvgPage(drawing.fonts, drawing.view, index, device, drawing.watermark);
        });
        return written.ok();
    }
};

// One PDF document with a sheet per page, asked about once. A page renamed to a .pdf in
// another export is a document of that one sheet.
class PdfFormat : public PageFormat {
public:
    PdfFormat()
        : PageFormat({QStringLiteral("pdf")}, QT_TRANSLATE_NOOP("qanoredit", "PDF 文档 (*.pdf)"),
                     {ExportOption::kWatermark}) {}

    bool writePage(const PageDrawing& drawing, int index, const QString& path,
                   TaskPool*) const override {
        return writeSheets(drawing, index, index, path);
    }

    ExportResult write(const music::Score&, const ExportOptions& options, const QString& chosen,
                       ExportHost& host) const override {
        const PageView* view = host.pages();
        if (!view)
            return stopped(ExportProblem::kNoLayout);
        const int pages = view->childCount();
        if (pages == 0)
            return {};
        ExportPrompts& prompts = host.prompts();
        ExportResult result;
        QString path = chosen;
        if (QFileInfo::exists(path) && !prompts.confirmOverwrite(path)) {
            if (!prompts.offersOtherPath()) {
                result.skipped = 1;
                return result;
            }
            const QFileInfo info(chosen);
            path = prompts.chooseOtherPath(
                info.path(),
                QStringLiteral("%1_%2.%3")
                    .arg(info.completeBaseName(), QString::number(pages), info.suffix()),
                info.suffix());
            if (path.isEmpty()) {
                result.cancelled = true;
                return result;
            }
        }
        // Another name must still be a PDF: the pages are one document.
        const PageDrawing drawing{host.fonts(), *view, options.watermark};
        if (names(path) && writeSheets(drawing, 0, pages - 1, path)) {
            wrote(path, result);
        } else {
            result.fileFailed();
            prompts.reportFailure(path);
        }
        return result;
    }

private:
    static bool writeSheets(const PageDrawing& drawing, int first, int last, const QString& path) {
        const Result written = writeAtomically(path, [&](QIODevice& device) {
            return writePdf(drawing.fonts, drawing.view, first, last, device, drawing.watermark);
        });
        return written.ok();
    }
};

}  // namespace

ExportResult PageFormat::write(const music::Score&, const ExportOptions& options,
                               const QString& path, ExportHost& host) const {
    const PageView* view = host.pages();
    if (!view)
        return stopped(ExportProblem::kNoLayout);
    return exportPageFiles({host.fonts(), *view, options.watermark}, path, host.prompts(),
                           options.threads);
}

const PageFormat* pageFormatFor(const QString& path) {
    return dynamic_cast<const PageFormat*>(ExportRegistry::standard().formatFor(path));
}

void addPageFormats(ExportRegistry& registry) {
    registry.add(std::make_unique<ImageFormat>(
        QStringList{QStringLiteral("jpg"), QStringLiteral("jpeg")},
        QT_TRANSLATE_NOOP("qanoredit", "JPEG 图片 (*.jpg *.jpeg)"), writeJpeg));
    registry.add(std::make_unique<ImageFormat>(QStringList{QStringLiteral("gif")},
                                               QT_TRANSLATE_NOOP("qanoredit", "GIF 图片 (*.gif)"),
                                               writeGif));
    registry.add(std::make_unique<ImageFormat>(QStringList{QStringLiteral("png")},
                                               QT_TRANSLATE_NOOP("qanoredit", "PNG 图片 (*.png)"),
                                               writePng));
    registry.add(std::make_unique<ImageFormat>(QStringList{QStringLiteral("bmp")},
                                               QT_TRANSLATE_NOOP("qanoredit", "BMP 位图 (*.bmp)"),
                                               writeBmp));
    registry.add(std::make_unique<PdfFormat>());
    registry.add(std::make_unique<SvgFormat>());
}

}  // namespace qe
