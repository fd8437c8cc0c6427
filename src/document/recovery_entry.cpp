#include "document/recovery_entry.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <vector>

#include "base/exception.h"
#include "files/atomic_file.h"
#include "records/memory_io.h"
#include "records/qe_document.h"

namespace qe {

namespace {

QByteArray digestOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

FileResult damaged(const QString& path) {
    return FileResult::failure(QCoreApplication::translate("qanoredit", "恢复文件 %1 已损坏。")
                                   .arg(QDir::toNativeSeparators(path)),
                               true);
}

}  // namespace

RecoveryEntry::RecoveryEntry(QString folder, QString id, std::unique_ptr<QLockFile> lock,
                             std::optional<RecoveryRecord> record)
    : folder_(std::move(folder)),
      id_(std::move(id)),
      lock_(std::move(lock)),
      record_(std::move(record)) {}

RecoveryEntry::~RecoveryEntry() = default;

QString RecoveryEntry::path(const QString& name) const {
    return QDir(folder_).filePath(name);
}

QString RecoveryEntry::documentPath() const {
    return record_ ? path(record_->document) : QString();
}

QStringList RecoveryEntry::files() const {
    QStringList names;
    const QString lockName = id_ + QStringLiteral(".lock");
    for (const QString& name : QDir(folder_).entryList({id_ + QLatin1Char('*')},
                                                       QDir::Files | QDir::Hidden | QDir::System))
        // The lock and the lock Qt takes while it clears a stale one are the lock's own.
        if (!name.startsWith(lockName))
            names << name;
    return names;
}

Result RecoveryEntry::write(const QByteArray& bytes, const QString& file, const QString& title,
                            const QDateTime& when) {
    const QString first = id_ + QStringLiteral("-a.qe");
    const QString name =
        record_ && record_->document == first ? id_ + QStringLiteral("-b.qe") : first;
    if (Result written = writeAtomically(path(name), bytes); !written.ok())
        return written;
    RecoveryRecord next;
    next.file = file;
    next.title = title;
    next.autosaved = when;
    next.document = name;
    next.bytes = bytes.size();
    next.sha256 = digestOf(bytes);
    if (Result written = writeAtomically(path(id_ + QStringLiteral(".json")), next.toJson());
        !written.ok())
        return written;
    const std::optional<RecoveryRecord> previous = std::exchange(record_, next);
    if (previous && previous->document != name)
        QFile::remove(path(previous->document));
    return {};
}

bool RecoveryEntry::intact() const {
    if (!record_)
        return false;
    QFile file(documentPath());
    if (!file.open(QIODevice::ReadOnly) || file.size() != record_->bytes)
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return hash.addData(&file) && hash.result().toHex() == record_->sha256;
}

FileResult RecoveryEntry::load(QeDocument& doc) const {
    if (!record_)
        return damaged(path(id_ + QStringLiteral(".json")));
    const QString where = documentPath();
    QFile file(where);
    if (!file.open(QIODevice::ReadOnly) || file.size() != record_->bytes)
        return damaged(where);
    const QByteArray bytes = file.readAll();
    if (bytes.size() != record_->bytes || digestOf(bytes) != record_->sha256)
        return damaged(where);
    try {
        MemoryIO io(std::vector<unsigned char>(bytes.begin(), bytes.end()));
        doc.serialize(io, false);
    } catch (const Exception&) {
        return damaged(where);
    }
    return {};
}

void RecoveryEntry::remove() {
    for (const QString& name : files())
        QFile::remove(path(name));
    record_.reset();
    if (lock_)
        lock_->unlock();
}

bool RecoveryEntry::moveTo(const QString& folder) {
    if (!QDir().mkpath(folder))
        return false;
    bool moved = true;
    for (const QString& name : files()) {
        const QString target = QDir(folder).filePath(name);
        QFile::remove(target);
        moved = QFile::rename(path(name), target) && moved;
    }
    record_.reset();
    if (lock_)
        lock_->unlock();
    return moved;
}

void RecoveryEntry::removeStrays() {
    const QString recordName = id_ + QStringLiteral(".json");
    for (const QString& name : files())
        if (name != recordName && !(record_ && name == record_->document))
            QFile::remove(path(name));
}

}  // namespace qe
