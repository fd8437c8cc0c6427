#include "shell/image_encoder.h"

#include <QImage>
#include <QImageWriter>

#include "shell/gif_writer.h"
#include "shell/page_palette.h"
#include "shell/png_writer.h"

namespace qe {

namespace {

bool writeWithQt(const QImage& image, const char* format, QIODevice& device, int quality = -1) {
    QImageWriter writer(&device, format);
    if (quality >= 0)
        writer.setQuality(quality);
    return writer.write(image);
}

}  // namespace

bool encodeImage(const QImage& page, ExportFormat format, QIODevice& device) {
    if (page.isNull())
        return false;
    switch (format) {
        case ExportFormat::Png: {
            const PagePalette palette(page);
            return writePng(palette.exact() ? palette.indexed(page) : page, device);
        }
        case ExportFormat::Bmp: {
            const PagePalette palette(page);
            return writeWithQt(palette.exact() ? palette.indexed(page) : page, "bmp", device);
        }
        case ExportFormat::Gif:
            return writeGif(PagePalette(page).indexed(page), device);
        case ExportFormat::Jpeg:
            return writeWithQt(page, "jpeg", device, kJpegQuality);
        default:
            return false;
    }
}

}  // namespace qe
