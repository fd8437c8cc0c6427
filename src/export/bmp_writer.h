#pragma once

class QIODevice;
namespace qe {
class TaskPool;
}

namespace qe {

class RowSource;

// Writes the rows of a source as an uncompressed 24-bit BMP at 288 dots per inch. BMP stores
// the bottom row first, so the bands are drawn from the bottom up; with `helpers` the band
// above is drawn while one is written.
bool writeBmp(const RowSource& source, QIODevice& device, TaskPool* helpers = nullptr);

}  // namespace qe
