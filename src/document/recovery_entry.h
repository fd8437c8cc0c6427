#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>

#include "document/recovery_record.h"
#include "document/score_file.h"

class QLockFile;

namespace qe {

class QeDocument;

// One document's place in the recovery folder, locked by this process while it is held:
// `<id>.json`, the record, naming the recovery document `<id>-a.qe` or `<id>-b.qe`, and
// `<id>.lock`. Each write goes to the document name the record does not use, then the record
// is replaced to name it: whenever the process dies, the record names a complete document.
//
// Writing and removing may run on another thread than the one that made the entry, one call
// at a time.
class RecoveryEntry {
public:
    // `lock` is held on `<folder>/<id>.lock`. `record` is the one found there, if any.
    RecoveryEntry(QString folder, QString id, std::unique_ptr<QLockFile> lock,
                  std::optional<RecoveryRecord> record);
    // Lets the lock go. The files stay, to be offered at the next start, unless removed.
    ~RecoveryEntry();
    RecoveryEntry(const RecoveryEntry&) = delete;
    RecoveryEntry& operator=(const RecoveryEntry&) = delete;

    const QString& id() const { return id_; }
    const std::optional<RecoveryRecord>& record() const { return record_; }
    // The recovery document the record names; empty when nothing was written yet.
    QString documentPath() const;

    // Writes `bytes` as the entry's document, a score of `file` (empty: never saved) titled
    // `title`, written at `when`. When it fails, the record still names the complete document
    // written before, if any.
    Result write(const QByteArray& bytes, const QString& file, const QString& title,
                 const QDateTime& when);
    // Whether the document on disk is the one the record describes, byte for byte.
    bool intact() const;
    // Reads the document as last written into `doc`, which should be empty. A document that
    // does not match its record, or does not read as a score to its end, is refused whole.
    FileResult load(QeDocument& doc) const;
    // Deletes the entry's files. The lock goes last, so that no other editor takes the entry
    // while they go.
    void remove();
    // Moves the entry's files into `folder` (damaged entries are kept there, not deleted) and
    // lets the lock go.
    bool moveTo(const QString& folder);
    // Deletes files of the entry that its record does not name: a document written while the
    // process died, or a temporary file of an interrupted write.
    void removeStrays();

private:
    QString path(const QString& name) const;
    QStringList files() const;

    QString folder_;
    QString id_;
    std::unique_ptr<QLockFile> lock_;
    std::optional<RecoveryRecord> record_;
};

}  // namespace qe
