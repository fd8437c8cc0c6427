#include "shell/atomic_file.h"

#include <QSaveFile>

namespace qe {

bool writeAtomically(const QString& path, const std::function<bool(QIODevice&)>& write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Without a commit the temporary file is removed when `file` goes.
    return write(file) && file.commit();
}

}  // namespace qe
