#pragma once

class QImage;
class QIODevice;
namespace qe {
class TaskPool;
}

namespace qe {

class RowSource;

// Writes the rows of a source in one image format at 288 dots per inch: writePng, writeJpeg,
// writeGif or writeBmp. PNG and BMP keep every pixel, in full colour; GIF keeps the colours
// exactly when there are at most 256 of them, and the 256 that cover most of the page
// otherwise (see PagePalette); JPEG is at kJpegQuality. `helpers` lend threads to draw and
// encode bands side by side; the bytes do not depend on them. False for a picture the format
// cannot hold and a device that does not take the bytes.
using ImageEncoder = bool (*)(const RowSource& source, QIODevice& device, TaskPool* helpers);

// A picture already drawn, through an encoder; false for a null picture too.
bool encodeImage(const QImage& image, ImageEncoder encoder, QIODevice& device,
                 TaskPool* helpers = nullptr);

}  // namespace qe
