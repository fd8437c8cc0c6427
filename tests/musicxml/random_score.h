#pragma once

#include <cstdint>

#include "records/qe_document.h"

namespace qe::test {

// A random score made only of what MusicXML carries both ways, as an import writes it:
//   - notes of one MusicXML value each (plain, one or two dots, or 2, 3, 4, 6, 7 or 8
//     quarters written with dashes), rests of a quarter or less, any accidental code 0..5;
//   - parentheses around single notes, breath marks right after notes;
//   - arcs from digit to digit (or rest), in the order an import writes them;
//   - bar lines of every type, measures of any length (the first may be a pickup), empty
//     measures, every track closed by a bar line;
//   - volta brackets over runs of measures that hold notes, one run per measure;
//   - syllables under notes and rests, sorted by track and item, no verse left empty at the
//     end.
// What does not come back from MusicXML is left out: page size, margins and fonts (an import
// takes the defaults), tempo records, dashes and dots that do not follow their note in its
// measure, rests with dashes, accidental codes 6 and 7, marks elsewhere, arcs on marks, and
// the timeA/timeB fields of records.
// With `repeats` false the score has no repeat bar lines and no volta brackets: LilyPond's
// converter loses notes in repeats and endings that do not nest as music writes them.
QeDocument randomScore(std::uint32_t seed, bool repeats = true);

}  // namespace qe::test
