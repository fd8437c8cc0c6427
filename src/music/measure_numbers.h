#pragma once

#include <optional>

#include "music/score.h"

namespace qe::music {

// Measures as musicians number them: a pickup is measure 0 and not counted, so the first full
// measure is measure 1 with or without one. Every number the editor shows or reads (the status
// bar, the measure check, the printed numbers, the command line, MusicXML) is this one.

// Whether the score opens with a pickup: its first measure holds something, less than its time
// signature asks in every track, and measures follow it.
bool opensWithPickup(const Score& score);
// The number of the measure at `index` (from 0).
int measureNumber(const Score& score, int index);
// The index of the measure numbered `number`; nothing for a number no measure has.
std::optional<int> measureIndex(const Score& score, int number);

}  // namespace qe::music
