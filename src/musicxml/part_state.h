#pragma once

#include <QString>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "musicxml/parsed_score.h"

namespace qe::musicxml {

// What the reading of one part carries from measure to measure.
struct PartState {
    ParsedPart part;
    double divisions = 1;  // per quarter; 1 when the file never says
    music::Meter meter;
    bool meterKnown = false;
    bool freeMeter = false;
    std::optional<int> fifths;           // the key signature in force
    std::vector<std::u16string> voices;  // voice names in the order they first appear
    std::map<QString, int> verseNames;   // lyric numbers that are not numbers
    int highestVerse = 0;
    bool listed = false;  // named in the part list
};

// What the reading of the whole score shares between its parts.
struct ScoreState {
    std::optional<int> fifths;
    std::optional<music::Meter> meter;
    std::optional<QString> firstWords;  // text over the start of the first part
    TempoMark tempo;                     // the metronome mark over the start of the first part
    bool measureNumbers = false;         // the first part numbers its systems
    int notes = 0;
    QString firstPart;  // the id of the first part in the file
};

}  // namespace qe::musicxml
