#pragma once

#include "export/export_format.h"

class QImage;
class QIODevice;
namespace qe {
class TaskPool;
}

namespace qe {

class RowSource;

// Writes the rows of a source in an image format at 288 dots per inch. PNG and BMP keep every
// pixel, in full colour; GIF keeps the colours exactly when there are at most 256 of them, and
// the 256 that cover most of the page otherwise (see PagePalette); JPEG is at kJpegQuality.
// `helpers` lend threads to draw and encode bands side by side; the bytes do not depend on
// them. Returns false for a format that is not an image format, a picture the format cannot
// hold, and a device that does not take the bytes.
bool encodeRows(const RowSource& source, ExportFormat format, QIODevice& device,
                TaskPool* helpers = nullptr);

// The same for a picture already drawn.
bool encodeImage(const QImage& image, ExportFormat format, QIODevice& device,
                 TaskPool* helpers = nullptr);

}  // namespace qe
