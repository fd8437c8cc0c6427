#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

namespace qe {

// Writes a file through `write` into a temporary file beside `path`, and renames it into place
// only when `write` returns true and every byte reached the disk. A write that fails or is
// interrupted leaves whatever stood under `path` before, never a partial file. On failure,
// `error` (when given) says why, after the path: "PATH: reason".
bool writeAtomically(const QString& path, const std::function<bool(QIODevice&)>& write,
                     QString* error = nullptr);
// The same for bytes already in hand.
bool writeAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

}  // namespace qe
