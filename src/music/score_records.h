#pragma once

#include <optional>
#include <vector>

#include "music/score.h"
#include "records/qe_document.h"

namespace qe::music {

// What loading a score left out or kept without showing.
struct LoadReport {
    // Ties and brackets whose notes or measures the score does not have: they could never be
    // shown, and a save does not write them.
    int droppedShapes = 0;
    // Note records of kinds this editor does not know, and format records of kinds other than
    // ties and brackets: kept where they stand and written back as read, never shown.
    int skippedRecords = 0;
    int otherFormats = 0;
};

// Fills an empty score from the records of a document file. Every record the editor knows
// becomes part of the score; what it does not know is kept to be written back as it was.
LoadReport scoreFromRecords(const QeDocument& file, Score& score);

// The records a save writes for a score: its tracks record by record, ties then brackets then
// the format records kept, each lyrics track with the syllables of its verse in reading order
// followed by the records that named nothing. A score loaded and saved unchanged gives back
// its file, but for ties and brackets that named nothing.
QeDocument recordsOfScore(const Score& score);

// The records of one track in file order, and the track they make (without extras).
std::vector<note> trackRecords(const Track& track);
Track trackFromRecords(const std::vector<note>& records);

// The item index a save gives an entry of a track (its place in a stored location), counting
// every item before it; -1 for an entry that is no item. For the bar line of an open last
// measure, which has no entry, use barItemIndex.
int itemIndexOf(const Track& track, EntryRef at);
// The place of the item a save numbers `itemIndex` in a track: an entry, or a measure by its bar
// line (entry -1; the index one past an open last measure's items names it too). Nothing for
// an index the track does not have.
std::optional<EntryRef> entryOfItem(const Track& track, int itemIndex);

// The item index a bracket on measure `m` names: its bar line's, or for an open last measure
// the index one past its last item.
int barItemIndex(const Track& track, int m);

}  // namespace qe::music
