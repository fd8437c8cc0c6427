#pragma once

#include "musicxml/conversion_report.h"
#include "musicxml/parsed_score.h"
#include "records/qe_document.h"

namespace qe::musicxml {

// Fills the empty document `doc` with a parsed score: the title block, then one note track
// per voice of each staff of each part in part order (tablature and percussion staves left
// out), their arcs and volta brackets, and one lyrics track per verse. Throws MusicXmlError
// for a score with no music or beyond the limits.
void buildDocument(ParsedScore score, QeDocument& doc, ConversionReport& report);

}  // namespace qe::musicxml
