#pragma once

#include <QByteArray>

#include "musicxml/conversion_report.h"
#include "musicxml/parsed_score.h"

namespace qe::musicxml {

// Reads a MusicXML score, partwise or timewise (whose measures are regrouped by part), into a
// ParsedScore, reporting what the document has no place for. Throws MusicXmlError for a file
// that is not well-formed XML, not a MusicXML score, or beyond the limits.
ParsedScore readScore(const QByteArray& xml, ConversionReport& report);

}  // namespace qe::musicxml
