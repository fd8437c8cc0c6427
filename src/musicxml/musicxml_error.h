#pragma once

#include <QString>

namespace qe::musicxml {

// Why a file cannot be imported: malformed XML, not a MusicXML score, a damaged or oversized
// compressed file, or values beyond the limits below. Thrown inside the importer and turned
// into the message of its result at its boundary.
struct MusicXmlError {
    QString message;
};

// Limits that keep a hostile file from taking unbounded memory or time. A real score stays
// far below each of them.
namespace limits {
inline constexpr qint64 kMaxXmlBytes = 64 * 1024 * 1024;  // a file, or a compressed entry
inline constexpr int kMaxParts = 64;
inline constexpr int kMaxStaves = 16;        // per part
inline constexpr int kMaxMeasures = 100000;  // per part
inline constexpr int kMaxNotes = 1000000;    // in the whole score
inline constexpr double kMaxDivisions = 1000000;
inline constexpr double kMaxNoteQuarters = 256;  // one duration, backup or forward
inline constexpr double kMaxMeasureQuarters = 1024;
inline constexpr int kMaxVerses = 32;
inline constexpr int kMaxTextLength = 4096;  // one title, credit or syllable
inline constexpr int kMaxItems = 8000000;    // records written into all tracks together
}  // namespace limits

}  // namespace qe::musicxml
