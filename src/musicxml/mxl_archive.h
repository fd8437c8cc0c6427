#pragma once

#include <QByteArray>

namespace qe::musicxml {

// Whether the bytes begin as a zip archive does: a compressed MusicXML file, whatever its
// name says.
bool looksLikeZip(const QByteArray& bytes);

// The score inside a compressed MusicXML file: the root file that META-INF/container.xml
// names, or without a container the one .xml or .musicxml file outside META-INF. Throws
// MusicXmlError for an archive that is damaged, names no score, or whose score would take
// more than the limit on a file's size once uncompressed.
QByteArray readMxl(const QByteArray& archive);

// A compressed MusicXML file holding `xml` as its score.
QByteArray writeMxl(const QByteArray& xml);

}  // namespace qe::musicxml
