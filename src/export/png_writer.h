#pragma once

class QIODevice;
namespace qe {
class TaskPool;
}

namespace qe {

class RowSource;

// Writes the rows of a source as a lossless 8-bit RGB PNG at 288 dots per inch.
//
// Compression is chosen for speed: a page of digits is mostly white runs and repeated rows,
// which the "up" filter with run-length deflate packs nearly as well as the slowest settings,
// several times faster. Each band of the source is filtered and deflated on its own, on the
// thread that drew it; the bytes do not depend on how many threads there were.
bool writePng(const RowSource& source, QIODevice& device, TaskPool* helpers = nullptr);

}  // namespace qe
