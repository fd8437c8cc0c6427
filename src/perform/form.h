#pragma once

#include <vector>

#include "records/records.h"
#include "music/track_walk.h"

namespace qe::sound {

using music::Ticks;

// One measure as it is played: its index among the measures of every track, and its time in
// the performance.
struct PlayedMeasure {
    int measure = 0;
    Ticks start = 0;
    Ticks length = 0;
    friend bool operator==(const PlayedMeasure&, const PlayedMeasure&) = default;
};

// The measures of a score in the order they are played, repeats and volta brackets unfolded.
//
// All tracks play together: measure n of every track sounds at the same time and lasts as long
// as the longest of them, so that the tracks meet again at each bar line. The form is read
// from all tracks alike: a measure ends a repeat when any track closes it with an end repeat,
// and a volta bracket drawn over one track covers the same measures in all of them.
//
// - A begin repeat closes the measure before the repeated section; an end repeat closes its
//   last measure. The section is played twice. At the end repeat the playing goes back to the
//   measure after the latest begin repeat; without one, to the start of the score, or to the
//   measure after the last end repeat already played through, since a repeat that is done is
//   not part of the next one.
// - A volta bracket that covers the measure of an end repeat is the first ending: it is played
//   the first time only, and the second time the playing goes on after the bracket's last
//   measure. Other brackets (the second ending, after the end repeat) are played as written.
// - Each end repeat sends the playing back once, so no measure is played more than twice.
//
// Brackets are jump-line records whose ends name the closing bar lines of their first and
// last measures in one track; a bracket whose ends name anything else is not read, as the
// editor does not show it.
std::vector<PlayedMeasure> unfold(const std::vector<music::TrackWalk>& tracks,
                                  const std::vector<Format>& formats);

}  // namespace qe::sound
