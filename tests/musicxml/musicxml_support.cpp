#include "musicxml/musicxml_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "musicxml/musicxml_file.h"
#include "records/memory_io.h"
#include "support/notation.h"

namespace qe::test {

QString suiteFolder() {
    QString folder = qEnvironmentVariable("QE_MUSICXML_SUITE");
    if (folder.isEmpty())
        folder = QStringLiteral(QE_SOURCE_DIR "/../shared/data/musicxml-testsuite");
    return QDir(folder).exists() ? QDir(folder).absolutePath() : QString();
}

QString dataFile(const QString& name) {
    return QStringLiteral(QE_SOURCE_DIR "/tests/musicxml/data/") + name;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

Imported importBytes(const QByteArray& bytes) {
    QeDocument doc;
    musicxml::Outcome outcome = musicxml::importMusicXml(bytes, doc);
    return Imported{std::move(outcome), std::move(doc)};
}

Imported importFile(const QString& path) {
    return importBytes(readFile(path));
}

Imported throughMusicXml(const QeDocument& doc, bool compressed, QStringList* exportReport) {
    QByteArray bytes;
    const musicxml::Outcome exported = musicxml::exportMusicXml(*test::scoreFrom(doc), compressed, bytes);
    EXPECT_TRUE(exported.ok()) << exported.message.toStdString();
    if (exportReport)
        *exportReport = exported.report;
    return importBytes(bytes);
}

QByteArray scoreXml(const QStringList& measures, const QString& head) {
    QString xml =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<score-partwise version=\"4.0\">%1\n"
            "<part-list><score-part id=\"P1\"><part-name>P</part-name></score-part></part-list>\n"
            "<part id=\"P1\">\n")
            .arg(head);
    for (int i = 0; i < measures.size(); ++i)
        xml += QStringLiteral("<measure number=\"%1\">%2</measure>\n").arg(i + 1).arg(measures[i]);
    xml += QStringLiteral("</part>\n</score-partwise>\n");
    return xml.toUtf8();
}

std::string trackText(const QeDocument& doc, std::size_t track) {
    if (track >= doc.noteTracks().size())
        return "<no track>";
    return formatTrack(doc.noteTracks()[track].content.items);
}

QeDocument loadDocument(const QString& path) {
    const QByteArray bytes = readFile(path);
    MemoryIO io(std::vector<unsigned char>(bytes.begin(), bytes.end()));
    QeDocument doc;
    doc.serialize(io, false);
    return doc;
}

QByteArray documentBytes(const QeDocument& doc) {
    QeDocument copy = doc;
    MemoryIO io;
    copy.serialize(io, true);
    return QByteArray(reinterpret_cast<const char*>(io.bytes().data()),
                      static_cast<qsizetype>(io.bytes().size()));
}

std::vector<Span> formatsOf(const QeDocument& doc) {
    std::vector<Span> out;
    for (const Format& f : doc.formatRecords())
        out.emplace_back(f.type, f.from.trackIndex, f.from.itemIndex, f.to.itemIndex);
    return out;
}

std::vector<std::vector<Syllable>> versesOf(const QeDocument& doc) {
    std::vector<std::vector<Syllable>> out;
    for (const lyrics_track& verse : doc.content.lyrics.items) {
        auto& syllables = out.emplace_back();
        for (const lyrics& l : verse.content.items)
            syllables.emplace_back(l.place.trackIndex, l.place.itemIndex, l.text);
    }
    return out;
}

bool reports(const QStringList& report, const QString& words) {
    for (const QString& line : report)
        if (line.contains(words))
            return true;
    return false;
}

}  // namespace qe::test
