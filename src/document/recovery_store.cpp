#include "document/recovery_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QUuid>
#include <algorithm>

#include "document/recovery_entry.h"

namespace qe {

namespace {

std::unique_ptr<QLockFile> lockOf(const QString& folder, const QString& id) {
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(id + QStringLiteral(".lock")));
    // A lock is stale only when the editor that took it is gone, however long it has held it:
    // a score may stay open for days.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

// The ids in the folder: the names of its files up to the first '.' or '-'.
QStringList idsIn(const QString& folder) {
    QSet<QString> ids;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        const qsizetype end = name.indexOf(QRegularExpression(QStringLiteral("[.-]")));
        if (end == 32)
            ids.insert(name.left(end));
    }
    QStringList sorted(ids.begin(), ids.end());
    sorted.sort();
    return sorted;
}

// What to call a damaged entry in a report: the score it held, when its record says, and
// the recovery file.
QString damagedName(const QString& folder, const QString& id) {
    const QString recordPath = QDir(folder).filePath(id + QStringLiteral(".json"));
    QFile file(recordPath);
    if (file.open(QIODevice::ReadOnly) && file.size() <= RecoveryRecord::kMostRecordBytes)
        if (const auto record = RecoveryRecord::fromJson(file.readAll()))
            return QStringLiteral("%1（%2）")
                .arg(record->displayName(),
                     QDir::toNativeSeparators(QDir(folder).filePath(record->document)));
    return QDir::toNativeSeparators(recordPath);
}

std::optional<RecoveryRecord> readRecord(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > RecoveryRecord::kMostRecordBytes)
        return std::nullopt;
    return RecoveryRecord::fromJson(file.readAll());
}

}  // namespace

RecoveryStore::RecoveryStore(QString folder) : folder_(std::move(folder)) {}

QString RecoveryStore::defaultFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

QString RecoveryStore::damagedFolder() const {
    return QDir(folder_).filePath(QStringLiteral("damaged"));
}

std::unique_ptr<RecoveryEntry> RecoveryStore::createEntry(QString* error) const {
    if (!QDir().mkpath(folder_)) {
        if (error)
            *error = QCoreApplication::translate("qanoredit", "%1: 无法建立文件夹。").arg(folder_);
        return nullptr;
    }
    // Scores are the person's own: the folder is theirs alone.
    QFile::setPermissions(folder_,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString id = QUuid::createUuid().toString(QUuid::Id128);
    auto lock = lockOf(folder_, id);
    if (!lock) {
        if (error)
            *error = QCoreApplication::translate("qanoredit", "%1: 无法写入文件夹。").arg(folder_);
        return nullptr;
    }
    return std::make_unique<RecoveryEntry>(folder_, id, std::move(lock), std::nullopt);
}

RecoveryStore::Leftovers RecoveryStore::takeLeftovers() const {
    Leftovers found;
    for (const QString& id : idsIn(folder_)) {
        auto lock = lockOf(folder_, id);
        if (!lock)
            continue;  // a running editor's
        const QString recordPath = QDir(folder_).filePath(id + QStringLiteral(".json"));
        const bool hasRecord = QFileInfo::exists(recordPath);
        auto entry =
            std::make_unique<RecoveryEntry>(folder_, id, std::move(lock), readRecord(recordPath));
        if (entry->intact()) {
            entry->removeStrays();
            found.entries.push_back(std::move(entry));
        } else if (!hasRecord && entry->documentPath().isEmpty() &&
                   QDir(folder_).entryList({id + QStringLiteral("*.qe")}, QDir::Files).isEmpty()) {
            // A lock, or a temporary file, of an editor killed before its first write went
            // through: nothing to offer or keep.
            entry->remove();
        } else {
            found.damaged << damagedName(folder_, id);
            entry->moveTo(damagedFolder());
        }
    }
    std::stable_sort(found.entries.begin(), found.entries.end(), [](const auto& a, const auto& b) {
        return a->record()->autosaved > b->record()->autosaved;
    });
    return found;
}

}  // namespace qe
