#include "musicxml/musicxml_file.h"

#include "base/exception.h"

#include "files/atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "music/measure_numbers.h"
#include "music/score_records.h"
#include "musicxml/conversion_report.h"
#include "musicxml/musicxml_error.h"
#include "musicxml/mxl_archive.h"
#include "musicxml/score_importer.h"
#include "musicxml/score_reader.h"
#include "musicxml/score_writer.h"

namespace qe::musicxml {

namespace {

// True when the bytes hold nothing but white space, looked at where they lie: a large file
// is not copied to find that out.
bool blank(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    });
}

// The score up to the end of its root element, when more than white space follows it;
// empty otherwise. A stray byte after the score can stop the XML reader before the score is
// read (an encoding error is found as the bytes are decoded, in blocks).
QByteArray scoreBeforeTail(const QByteArray& xml) {
    qsizetype end = -1;
    for (const char* tag : {"</score-partwise>", "</score-timewise>"}) {
        const qsizetype at = xml.lastIndexOf(tag);
        if (at >= 0)
            end = std::max(end, at + static_cast<qsizetype>(qstrlen(tag)));
    }
    if (end < 0 || blank(xml.mid(end)))
        return {};
    return xml.left(end);
}

// The numbers a musician gives the measures the file numbers so, in order: a pickup is 0.
std::map<QString, QString> shownNumbers(const QStringList& numbers, const QeDocument& doc) {
    music::Score score;
    music::scoreFromRecords(doc, score);
    const bool pickup = music::opensWithPickup(score);
    std::map<QString, QString> shown;
    for (qsizetype i = 0; i < numbers.size(); ++i)
        shown.try_emplace(numbers[i], QString::number(pickup ? i : i + 1));
    return shown;
}

// A file refused before its score is read: nothing to report.
Outcome refused(QString why) {
    Outcome outcome;
    outcome.fail(std::move(why));
    return outcome;
}

ParsedScore readTolerantly(const QByteArray& xml, ConversionReport& report) {
    try {
        return readScore(xml, report);
    } catch (const MusicXmlError&) {
        const QByteArray score = scoreBeforeTail(xml);
        if (score.isEmpty())
            throw;
        ConversionReport again;
        ParsedScore parsed = readScore(score, again);
        again.addOnce(QStringLiteral("characters after the end of the score ignored"));
        report = again;
        return parsed;
    }
}

}  // namespace

Outcome importMusicXml(const QByteArray& bytes, QeDocument& doc) {
    Outcome outcome;
    ConversionReport report;
    try {
        if (blank(bytes))
            throw MusicXmlError{QStringLiteral("the file is empty")};
        if (bytes.size() > limits::kMaxXmlBytes)
            throw MusicXmlError{QStringLiteral("the file is larger than %1 MiB")
                                    .arg(limits::kMaxXmlBytes / (1024 * 1024))};
        ParsedScore score = readTolerantly(looksLikeZip(bytes) ? readMxl(bytes) : bytes, report);
        QStringList numbers;
        if (!score.parts.empty())
            for (const ParsedMeasure& measure : score.parts.front().measures)
                numbers << measure.number;
        buildDocument(std::move(score), doc, report);
        if (!report.empty())
            report.renumber(shownNumbers(numbers, doc));
    } catch (const MusicXmlError& e) {
        outcome.fail(e.message);
    } catch (const std::bad_alloc&) {
        outcome.fail(QStringLiteral("the score is too large to import"));
    } catch (const Exception& e) {
        // A value the score cannot hold that the reading let through: refused, not a crash.
        outcome.fail(QStringLiteral("the score holds a value this editor cannot write (%1)")
                         .arg(QString::fromStdString(e.what())));
    }
    outcome.report = report.lines();
    outcome.kinds = report.kinds();
    return outcome;
}

Outcome importMusicXmlFile(const QString& path, QeDocument& doc) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    if (file.size() > limits::kMaxXmlBytes)
        return refused(QStringLiteral("%1 is larger than %2 MiB")
                           .arg(path)
                           .arg(limits::kMaxXmlBytes / (1024 * 1024)));
    const QByteArray bytes = file.read(limits::kMaxXmlBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return importMusicXml(bytes, doc);
}

Outcome exportMusicXml(const music::Score& score, bool compressed, QByteArray& out) {
    Outcome outcome;
    ConversionReport report;
    try {
        out = writeScore(score, report);
        if (compressed)
            out = writeMxl(out);
    } catch (const MusicXmlError& e) {
        outcome.fail(e.message);
    }
    outcome.report = report.lines();
    return outcome;
}

Outcome exportMusicXmlFile(const music::Score& score, const QString& path) {
    QByteArray bytes;
    Outcome outcome = exportMusicXml(
        score, QFileInfo(path).suffix().compare(QStringLiteral("mxl"), Qt::CaseInsensitive) == 0,
        bytes);
    if (!outcome.ok())
        return outcome;
    if (const Result written = writeAtomically(path, bytes); !written.ok())
        outcome.fail(QStringLiteral("cannot write ") + written.message);
    return outcome;
}

}  // namespace qe::musicxml
