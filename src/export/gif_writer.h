#pragma once

class QIODevice;
namespace qe {
class TaskPool;
}

namespace qe {

class RowSource;

// Writes the rows of a source as a GIF with the source's own colour table (see PagePalette):
// every colour kept exactly when there are at most 256, no dithering ever. The colours are
// counted over the whole source first, so a page is drawn twice; with `helpers` the bands are
// drawn side by side while counting, and the next band while one is written.
bool writeGif(const RowSource& source, QIODevice& device, TaskPool* helpers = nullptr);

}  // namespace qe
