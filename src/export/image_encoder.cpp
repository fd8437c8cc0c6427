#include "export/image_encoder.h"

#include <QImage>

#include "export/bmp_writer.h"
#include "export/gif_writer.h"
#include "export/jpeg_writer.h"
#include "export/png_writer.h"
#include "export/row_source.h"

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

bool encodeImage(const QImage& image, ExportFormat format, QIODevice& device, TaskPool* helpers) {
    return !image.isNull() && encodeRows(WholeImage(image), format, device, helpers);
}

}  // namespace qe
