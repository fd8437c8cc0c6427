#pragma once

class QIODevice;
namespace qe {
class TaskPool;
}

namespace qe {

class RowSource;

// JPEG quality of exported pages: high enough that digits and thin lines show no ringing at
// 100 % zoom.
constexpr int kJpegQuality = 92;

// Writes the rows of a source as a baseline JPEG at 288 dots per inch, band after band; with
// `helpers` the next band is drawn while one is compressed.
bool writeJpeg(const RowSource& source, QIODevice& device, TaskPool* helpers = nullptr);

}  // namespace qe
