#pragma once

#include <QByteArray>

#include "musicxml/conversion_report.h"
#include "music/score.h"

namespace qe::musicxml {

// Writes a score as a MusicXML 4.0 partwise score: the title block as work, movement,
// creators and credits (the comment beside the key as words over the first measure), the
// page size and margins, and one part per note track. What MusicXML cannot carry is
// reported. Throws MusicXmlError for a score without a note track.
QByteArray writeScore(const music::Score& score, ConversionReport& report);

}  // namespace qe::musicxml
