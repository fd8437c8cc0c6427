#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "files/result.h"
#include "music/score.h"
#include "musicxml/conversion_report.h"
#include "records/qe_document.h"

namespace qe::musicxml {

// The outcome of an import or export, with the report of what could not be carried over, one
// line per kind, whether it went through or not.
struct Outcome : Result {
    QStringList report;
    std::vector<ReportKind> kinds;  // the report with every place each kind happened
};

// Reads a MusicXML score, plain or compressed (told apart by its first bytes), into the empty
// document `doc`. On failure `doc` is to be thrown away.
Outcome importMusicXml(const QByteArray& bytes, QeDocument& doc);
// The same from a file, refusing one larger than the limit before reading it.
Outcome importMusicXmlFile(const QString& path, QeDocument& doc);

// Writes a score as MusicXML: plain XML, or with `compressed` a compressed MusicXML file.
Outcome exportMusicXml(const music::Score& score, bool compressed, QByteArray& out);
// The same into a file, compressed when its name ends in .mxl; a failed write leaves no file.
Outcome exportMusicXmlFile(const music::Score& score, const QString& path);

}  // namespace qe::musicxml
