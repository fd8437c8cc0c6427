#include "document/score_file.h"
#include "files/atomic_file.h"
#include "records/memory_io.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <memory>

#include "base/exception.h"
#include "records/file_io.h"

namespace qe {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

QString unreadableDocumentMessage() {
    return QCoreApplication::translate("qanoredit", "无法识别的文档。");
}

QString damagedDocumentMessage(const DamagedDocument& damage) {
    const QString where =
        damage.truncated
            ? QCoreApplication::translate("qanoredit", "文件已损坏：在第 %1 字节处截断。")
            : QCoreApplication::translate("qanoredit", "文件已损坏：第 %1 字节处的内容无法读取。");
    return unreadableDocumentMessage() + QLatin1Char('\n') + where.arg(damage.at);
}

FileResult loadScore(const QString& path, QeDocument& doc) {
    QFile probe(path);
    if (!probe.exists())
        return FileResult::failure(
            QCoreApplication::translate("qanoredit", "%1: 文件不存在。").arg(path));
    FilePtr file(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file)
        return FileResult::failure(
            QCoreApplication::translate("qanoredit", "%1: 无法打开文件。").arg(path));
    try {
        FileIO io(file.get());
        doc.serialize(io, false);
    } catch (const DamagedDocument& damage) {
        return FileResult::failure(damagedDocumentMessage(damage), true);
    } catch (const Exception&) {
        return FileResult::failure(unreadableDocumentMessage(), true);
    }
    if (std::ferror(file.get()))
        return FileResult::failure(
            QCoreApplication::translate("qanoredit", "%1: 读取文件失败。").arg(path));
    return {};
}

FileResult saveScore(const QString& path, QeDocument& doc) {
    // The whole document is written into memory first: a document that cannot be written
    // touches no file.
    MemoryIO io;
    try {
        doc.serialize(io, true);
    } catch (const Exception&) {
        return FileResult::failure(unreadableDocumentMessage(), true);
    }
    const QByteArray bytes(reinterpret_cast<const char*>(io.bytes().data()),
                           static_cast<qsizetype>(io.bytes().size()));
    const Result written = writeAtomically(path, bytes);
    if (!written.ok())
        return FileResult::failure(written.message);
    return {};
}

}  // namespace qe
