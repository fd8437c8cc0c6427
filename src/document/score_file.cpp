#include "document/score_file.h"

#include <unistd.h>
#include <QFile>
#include <QSaveFile>
#include <cstdio>
#include <memory>

#include "base/exception.h"
#include "records/my_io.h"

namespace qe {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FileResult failure(const QString& error, bool notADocument = false) {
    FileResult result;
    result.ok = false;
    result.notADocument = notADocument;
    result.error = error;
    return result;
}

}  // namespace

QString unreadableDocumentMessage() {
    return QStringLiteral("无法识别的文档。");
}

FileResult loadScore(const QString& path, QanorDoc& doc) {
    QFile probe(path);
    if (!probe.exists())
        return failure(QStringLiteral("%1: 文件不存在。").arg(path));
    FilePtr file(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file)
        return failure(QStringLiteral("%1: 无法打开文件。").arg(path));
    try {
        MyIO io(file.get());
        doc.serialize(io, false);
    } catch (const Exception&) {
        return failure(unreadableDocumentMessage(), true);
    }
    if (std::ferror(file.get()))
        return failure(QStringLiteral("%1: 读取文件失败。").arg(path));
    return {};
}

FileResult saveScore(const QString& path, QanorDoc& doc) {
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly))
        return failure(QStringLiteral("%1: %2").arg(path, target.errorString()));
    // The document is written through the stream of its own format into the temporary file.
    const int fd = ::dup(target.handle());
    FilePtr file(fd >= 0 ? ::fdopen(fd, "wb") : nullptr);
    if (!file) {
        if (fd >= 0)
            ::close(fd);
        target.cancelWriting();
        return failure(QStringLiteral("%1: 无法写入文件。").arg(path));
    }
    try {
        MyIO io(file.get());
        doc.serialize(io, true);
    } catch (const Exception&) {
        target.cancelWriting();
        return failure(unreadableDocumentMessage(), true);
    }
    const bool flushed = std::fflush(file.get()) == 0 && !std::ferror(file.get());
    file.reset();
    if (!flushed) {
        target.cancelWriting();
        return failure(QStringLiteral("%1: 写入文件失败。").arg(path));
    }
    if (!target.commit())
        return failure(QStringLiteral("%1: %2").arg(path, target.errorString()));
    return {};
}

}  // namespace qe
