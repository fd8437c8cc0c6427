#include "shell/image_encoder.h"

#include <QImage>

#include "shell/bmp_writer.h"
#include "shell/gif_writer.h"
#include "shell/jpeg_writer.h"
#include "shell/png_writer.h"
#include "shell/row_source.h"

namespace qe {

bool encodeRows(const RowSource& source, ExportFormat format, QIODevice& device,
                TaskPool* helpers) {
    switch (format) {
        case ExportFormat::Png:
            return writePng(source, device, helpers);
        case ExportFormat::Jpeg:
            return writeJpeg(source, device, helpers);
        case ExportFormat::Gif:
            return writeGif(source, device, helpers);
        case ExportFormat::Bmp:
            return writeBmp(source, device, helpers);
        default:
            return false;
    }
}

bool encodeImage(const QImage& image, ExportFormat format, QIODevice& device,
                 TaskPool* helpers) {
    return !image.isNull() && encodeRows(WholeImage(image), format, device, helpers);
}

}  // namespace qe
