#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <string>
#include <tuple>
#include <vector>

#include "musicxml/musicxml_file.h"
#include "records/qe_document.h"

namespace qe::test {

// The folder of the public MusicXML test suite: $QE_MUSICXML_SUITE, or the shared data folder
// beside the project; empty when it is not there.
QString suiteFolder();
// A file of tests/musicxml/data.
QString dataFile(const QString& name);
QByteArray readFile(const QString& path);

// An import's outcome with the document it gave.
struct Imported : musicxml::Outcome {
    QeDocument doc;
};
Imported importBytes(const QByteArray& bytes);
Imported importFile(const QString& path);
// Exports a document, imports the result and returns the document it gives.
Imported throughMusicXml(const QeDocument& doc, bool compressed,
                         QStringList* exportReport = nullptr);

// A whole score of one part in the measures given, each a string of MusicXML music data,
// with 1 division to the quarter unless the measures set others.
QByteArray scoreXml(const QStringList& measures, const QString& head = QString());

// Note track `track` in the notation of support/notation.h.
std::string trackText(const QeDocument& doc, std::size_t track);
// A document read from a .qe file; throws Exception when it is not one.
QeDocument loadDocument(const QString& path);
// The document's file bytes.
QByteArray documentBytes(const QeDocument& doc);
// The format records of a document as (type, track, from item, to item).
using Span = std::tuple<int, int, int, int>;
std::vector<Span> formatsOf(const QeDocument& doc);
// The syllables of each lyrics track as (track, item, text).
using Syllable = std::tuple<int, int, std::u16string>;
std::vector<std::vector<Syllable>> versesOf(const QeDocument& doc);

// Whether a report line mentions `words`.
bool reports(const QStringList& report, const QString& words);

}  // namespace qe::test
