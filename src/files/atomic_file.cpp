#include "files/atomic_file.h"

#include <QCoreApplication>
#include <QSaveFile>

namespace qe {

Result writeAtomically(const QString& path, const std::function<bool(QIODevice&)>& write) {
    QSaveFile file(path);
    // Without a commit the temporary file is removed when `file` goes. The buffer is flushed
    // first: a commit does not notice when its own last flush fails (a full disk), and would
    // put a cut-off file in place.
    if (file.open(QIODevice::WriteOnly) && write(file) && file.flush() && file.commit())
        return {};
    return Result::failure(QStringLiteral("%1: %2").arg(
        path, file.error() != QFileDevice::NoError
                  ? file.errorString()
                  : QCoreApplication::translate("qanoredit", "写入文件失败。")));
}

Result writeAtomically(const QString& path, const QByteArray& bytes) {
    return writeAtomically(path,
                           [&](QIODevice& device) { return device.write(bytes) == bytes.size(); });
}

}  // namespace qe
