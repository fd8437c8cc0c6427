#pragma once

class QImage;
class QIODevice;

namespace qe {

// Writes a Format_Indexed8 image of at most 256 colours as a GIF, exactly as indexed.
bool writeGif(const QImage& indexed, QIODevice& device);

}  // namespace qe
