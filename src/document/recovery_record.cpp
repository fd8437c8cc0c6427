#include "document/recovery_record.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace qe {

QString RecoveryRecord::displayName() const {
    return file.isEmpty() ? QCoreApplication::translate("qanoredit", "未命名")
                          : QFileInfo(file).fileName();
}

QByteArray RecoveryRecord::toJson() const {
    QJsonObject o;
    o.insert(QStringLiteral("format"), kFormat);
    o.insert(QStringLiteral("file"), file);
    o.insert(QStringLiteral("title"), title);
    o.insert(QStringLiteral("autosaved"), autosaved.toUTC().toString(Qt::ISODateWithMs));
    o.insert(QStringLiteral("document"), document);
    o.insert(QStringLiteral("bytes"), bytes);
    o.insert(QStringLiteral("sha256"), QString::fromLatin1(sha256));
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

std::optional<RecoveryRecord> RecoveryRecord::fromJson(const QByteArray& json) {
    if (json.size() > kMostRecordBytes)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument parsed = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !parsed.isObject())
        return std::nullopt;
    const QJsonObject o = parsed.object();
    if (o.value(QStringLiteral("format")).toInt() != kFormat)
        return std::nullopt;
    const QJsonValue file = o.value(QStringLiteral("file"));
    const QJsonValue title = o.value(QStringLiteral("title"));
    const QJsonValue document = o.value(QStringLiteral("document"));
    const QJsonValue bytes = o.value(QStringLiteral("bytes"));
    const QJsonValue sha = o.value(QStringLiteral("sha256"));
    if (!file.isString() || !title.isString() || !document.isString() || !bytes.isDouble() ||
        !sha.isString())
        return std::nullopt;

    RecoveryRecord r;
    r.file = file.toString();
    r.title = title.toString();
    r.autosaved =
        QDateTime::fromString(o.value(QStringLiteral("autosaved")).toString(), Qt::ISODateWithMs);
    r.document = document.toString();
    r.bytes = bytes.toInteger(-1);
    r.sha256 = sha.toString().toLatin1();
    // The document is a plain name inside the recovery folder: a record must not lead the
    // editor to read, move or delete anything elsewhere.
    static const QRegularExpression plainName(QStringLiteral("^[0-9A-Za-z_-]{1,80}\\.qe$"));
    static const QRegularExpression hexDigest(QStringLiteral("^[0-9a-f]{64}$"));
    if (!r.autosaved.isValid() || !plainName.match(r.document).hasMatch() ||
        !hexDigest.match(QString::fromLatin1(r.sha256)).hasMatch() || r.bytes < 0 ||
        r.bytes > kMostDocumentBytes)
        return std::nullopt;
    if (!r.file.isEmpty() && !QDir::isAbsolutePath(r.file))
        return std::nullopt;
    return r;
}

}  // namespace qe
