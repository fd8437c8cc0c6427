#include "files/atomic_file.h"

#include <QSaveFile>

namespace qe {

bool writeAtomically(const QString& path, const std::function<bool(QIODevice&)>& write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Without a commit the temporary file is removed when `file` goes. The buffer is flushed
    // first: a commit does not notice when its own last flush fails (a full disk), and would
    // put a cut-off file in place.
    return write(file) && file.flush() && file.commit();
}

}  // namespace qe
