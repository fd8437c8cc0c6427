#pragma once

#include <QString>

#include <functional>

class QIODevice;

namespace qe {

// Writes a file through `write` into a temporary file beside `path`, and renames it into place
// only when `write` returns true and every byte reached the disk. An export that fails or is
// interrupted leaves whatever stood under `path` before, never a partial file.
bool writeAtomically(const QString& path, const std::function<bool(QIODevice&)>& write);

}  // namespace qe
