#include "musicxml/mxl_archive.h"

#include <zip.h>

#include <memory>

#include "musicxml/musicxml_error.h"
#include "musicxml/xml_input.h"

namespace qe::musicxml {

namespace {

const char* const kScoreName = "score.musicxml";
const char* const kMediaType = "application/vnd.recordare.musicxml+xml";

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

[[noreturn]] void damaged(const QString& why) {
    throw MusicXmlError{QStringLiteral("the compressed MusicXML file is damaged: ") + why};
}

// An entry's bytes, read no further than the limit so that a small archive that inflates to
// gigabytes stops there, whatever size its directory claims.
QByteArray readEntry(zip_t* archive, zip_int64_t index, qint64 limit) {
    std::unique_ptr<zip_file_t, EntryCloser> file(
        zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0));
    if (!file)
        damaged(QString::fromUtf8(zip_strerror(archive)));
    QByteArray out;
    char buffer[65536];
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), buffer, sizeof buffer);
        if (n < 0)
            damaged(QString::fromUtf8(zip_file_strerror(file.get())));
        if (n == 0)
            break;
        if (out.size() + n > limit)
            throw MusicXmlError{QStringLiteral("the score inside the compressed file is larger "
                                               "than %1 MiB")
                                    .arg(limit / (1024 * 1024))};
        out.append(buffer, static_cast<qsizetype>(n));
    }
    return out;
}

// The path of the score that the container names; empty when it names none.
QString rootFile(const QByteArray& container) {
    XmlInput in(container);
    if (in.root() != u"container")
        return {};
    while (in.nextChild()) {
        if (in.name() != u"rootfiles") {
            in.skip();
            continue;
        }
        while (in.nextChild()) {
            if (in.name() == u"rootfile") {
                const QStringView type = in.attribute("media-type");
                if (type.isEmpty() || type == QLatin1String(kMediaType))
                    return in.attribute("full-path").toString();
            }
            in.skip();
        }
    }
    return {};
}

}  // namespace

bool looksLikeZip(const QByteArray& bytes) {
    return bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06");
}

QByteArray readMxl(const QByteArray& bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(
        bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &error);
    if (!source)
        damaged(QString::fromUtf8(zip_error_strerror(&error)));
    Archive archive(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) {
        zip_source_free(source);
        const QString why = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        damaged(why);
    }
    zip_error_fini(&error);

    QString path;
    const zip_int64_t container = zip_name_locate(archive.get(), "META-INF/container.xml", 0);
    if (container >= 0) {
        path = rootFile(readEntry(archive.get(), container, 1024 * 1024));
        if (path.isEmpty())
            throw MusicXmlError{QStringLiteral("the compressed file's container names no score")};
    } else {
        // Without a container, the one score in the archive.
        const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            const QString name =
                QString::fromUtf8(zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0));
            if (!name.startsWith(QStringLiteral("META-INF/")) &&
                (name.endsWith(QStringLiteral(".xml")) ||
                 name.endsWith(QStringLiteral(".musicxml")))) {
                path = name;
                break;
            }
        }
        if (path.isEmpty())
            throw MusicXmlError{QStringLiteral("the compressed file holds no MusicXML score")};
    }
    const zip_int64_t index = zip_name_locate(archive.get(), path.toUtf8().constData(), 0);
    if (index < 0)
        throw MusicXmlError{
            QStringLiteral("the score %1 the container names is not in the compressed file")
                .arg(path)};
    return readEntry(archive.get(), index, limits::kMaxXmlBytes);
}

QByteArray writeMxl(const QByteArray& xml) {
    static const QByteArray kMimeType = "application/vnd.recordare.musicxml";
    const QByteArray container = QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<container>\n"
        "  <rootfiles>\n"
        "    <rootfile full-path=\"score.musicxml\" "
        "media-type=\"application/vnd.recordare.musicxml+xml\"/>\n"
        "  </rootfiles>\n"
        "</container>\n");
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
    if (!archive)
        throw MusicXmlError{QStringLiteral("cannot make a compressed file")};
    zip_source_keep(target);  // it receives the archive when it closes
    // The media type comes first and uncompressed, so that the file can be recognised by its
    // first bytes.
    const auto add = [&](const char* name, const QByteArray& data, bool compress) {
        zip_source_t* entry =
            zip_source_buffer(archive, data.constData(), static_cast<zip_uint64_t>(data.size()), 0);
        const zip_int64_t index = entry ? zip_file_add(archive, name, entry, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(entry);
            return false;
        }
        return zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                        compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) == 0;
    };
    const bool added = add("mimetype", kMimeType, false) &&
                       add("META-INF/container.xml", container, true) && add(kScoreName, xml, true);
    if (!added || zip_close(archive) != 0) {
        zip_discard(archive);  // a failed close leaves the archive open
        zip_source_free(target);
        throw MusicXmlError{QStringLiteral("cannot make a compressed file")};
    }
    QByteArray out;
    if (zip_source_open(target) == 0) {
        char buffer[65536];
        zip_int64_t n;
        while ((n = zip_source_read(target, buffer, sizeof buffer)) > 0)
            out.append(buffer, static_cast<qsizetype>(n));
        zip_source_close(target);
    }
    zip_source_free(target);
    if (out.isEmpty())
        throw MusicXmlError{QStringLiteral("cannot make a compressed file")};
    return out;
}

}  // namespace qe::musicxml
