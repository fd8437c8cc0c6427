#pragma once

#include "musicxml/conversion_report.h"
#include "musicxml/parsed_score.h"

namespace qe::musicxml {

// How long each measure of an imported score is written. Hidden rests and time passed with
// nothing printed (<forward>) at the start of a measure make room for a pickup the page does
// not show, and at its end they fill a measure the page leaves short: both are left out, so
// that the measure is as long as what it shows. Inside the music they keep their time, as
// rests, which the report names.
void dropHiddenEdges(ParsedScore& score, ConversionReport& report);

}  // namespace qe::musicxml
