#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace qe {

// The small record beside a recovery document: which score it holds, when it was written,
// and the document's file with its length and digest, so that a damaged or cut-off document
// is known before it is read.
struct RecoveryRecord {
    // Records written by this version.
    static constexpr int kFormat = 1;
    // The most a record or a recovery document may weigh: anything larger is damage.
    static constexpr qint64 kMostRecordBytes = 64 * 1024;
    static constexpr qint64 kMostDocumentBytes = 64LL * 1024 * 1024;

    QString file;         // the score's own file, absolute; empty for a score never saved
    QString title;        // the score's title when it was written
    QDateTime autosaved;  // when it was written
    QString document;     // the recovery document's name in the recovery folder
    qint64 bytes = 0;
    QByteArray sha256;  // of the recovery document, in hex

    // The file's name, or "未命名" for a score never saved.
    QString displayName() const;

    QByteArray toJson() const;
    // A record as written by toJson(); none when `json` is not one (damaged, cut off, from a
    // later version, or naming a document outside the recovery folder).
    static std::optional<RecoveryRecord> fromJson(const QByteArray& json);
};

}  // namespace qe
