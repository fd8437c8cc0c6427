#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

#include "files/result.h"

class QIODevice;

namespace qe {

// Writes a file through `write` into a temporary file beside `path`, and renames it into place
// only when `write` returns true and every byte reached the disk. A write that fails or is
// interrupted leaves whatever stood under `path` before, never a partial file. A failure says
// why after the path: "PATH: reason".
Result writeAtomically(const QString& path, const std::function<bool(QIODevice&)>& write);
// The same for bytes already in hand.
Result writeAtomically(const QString& path, const QByteArray& bytes);

}  // namespace qe
