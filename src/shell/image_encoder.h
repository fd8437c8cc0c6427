#pragma once

#include "shell/export_format.h"

class QImage;
class QIODevice;

namespace qe {

// JPEG quality of exported pages: high enough that digits and thin lines show no ringing at
// 100 % zoom.
constexpr int kJpegQuality = 92;

// Encodes a rendered page (Format_RGB32) in an image format. PNG and BMP keep every pixel: as
// a palette image when the page has at most 256 colours, otherwise in full colour. GIF keeps
// the page's colours exactly when there are at most 256 of them, and the 256 that cover most
// of the page otherwise (see PagePalette). Returns false for a format that is not an image
// format and when the device does not take the bytes.
bool encodeImage(const QImage& page, ExportFormat format, QIODevice& device);

}  // namespace qe
