#pragma once

#include <QStringView>
#include <optional>

#include "musicxml/parsed_score.h"

namespace qe::musicxml {

// What the names MusicXML uses mean to this editor.

// The value a <type> shows, in ticks; 0 for a name MusicXML does not have.
ExactTicks typeTicks(QStringView type);

// The bar type of this editor for the bar style of a closing bar line, and whether it is only
// the nearest one the editor has (a dotted bar line is written dashed).
struct BarStyle {
    int barType = 0;
    bool approximate = false;
};
std::optional<BarStyle> barStyleOf(QStringView style);

// The report line for a notation inside <notations>, or a direction inside <direction-type>,
// that the document has no place for; null for the others.
const char* droppedNotation(QStringView element);
const char* droppedDirection(QStringView element);

}  // namespace qe::musicxml
