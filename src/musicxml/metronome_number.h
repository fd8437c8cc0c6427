#pragma once

#include <QString>
#include <optional>

namespace qe::musicxml {

// What a metronome mark's <per-minute> prints: a plain number, or a number the score prints
// otherwise, a range ("100 - 110", "60–66") or a number with words ("c. 60").
struct MetronomeNumber {
    double beats = 0;  // beats a minute: the number, or the middle of a range
    QString printed;   // the number as it is printed, ranges with an en dash; empty when plain
};

// The number a <per-minute> text gives, or nothing when it names no number from 1 to 1000 or
// is more than a short phrase.
std::optional<MetronomeNumber> readMetronomeNumber(const QString& text);

// Beats a minute of a beat of 1/`beatUnit` of a whole (dotted or not) for a tempo of
// `quarters` quarter notes a minute, rounded; 0 when that is not a tempo of 1 to 1000 beats.
int beatsOfQuarters(double quarters, int beatUnit, bool dotted);

}  // namespace qe::musicxml
