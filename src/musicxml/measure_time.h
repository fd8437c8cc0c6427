#pragma once

#include <vector>

#include "musicxml/conversion_report.h"
#include "musicxml/parsed_score.h"

namespace qe::musicxml {

// How long each measure of an imported score is written. Hidden rests and time passed with
// nothing printed (<forward>) at the start of a measure make room for a pickup the page does
// not show, and at its end they fill a measure the page leaves short: both are left out, so
// that the measure is as long as what it shows. Inside the music they keep their time, as
// rests, which the report names.
struct MeasureEdges {
    ExactTicks timed = 0;     // the length the file times the measure with, blank time included
    bool endAligned = false;  // time before its first note was left out: it ends with the others
};
// The edges of each measure, by part and measure, as they were before being left out.
using ScoreEdges = std::vector<std::vector<MeasureEdges>>;
ScoreEdges dropHiddenEdges(ParsedScore& score, ConversionReport& report);

// Parts whose measures the file times differently (a program that numbers an extra measure
// "X1" in some parts only). A document lines the tracks' measures up by their bar lines, on
// the page and in playback, and a measure shorter than the others' ends in silence: so the
// longest part (of those `written`, by part) sets each measure's length, and a shorter one is
// left short after its notes. One whose time before its first note was left out (a pickup, an
// entry after a blank beat) ends where the others do: rests, which jianpu prints, fill it
// before its notes. The report names each measure the parts disagree on.
void alignParts(ParsedScore& score, const std::vector<bool>& written, const ScoreEdges& edges,
                ConversionReport& report);

}  // namespace qe::musicxml
