#pragma once

class QImage;
class QIODevice;

namespace qe {

// Writes a Format_RGB32 image as 8-bit RGB or a Format_Indexed8 one as a palette image, both
// lossless, with the image's resolution. Compression is chosen for speed: a page of digits is
// mostly white runs and repeated rows, which the "up" filter with run-length deflate packs
// nearly as well as the slowest settings, several times faster.
bool writePng(const QImage& image, QIODevice& device);

}  // namespace qe
