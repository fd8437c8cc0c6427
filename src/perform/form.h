#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "music/score.h"
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
// - Endings: the brackets over an end repeat and those that follow it bar to bar. A labelled
//   bracket is played on the passes its label names ("1.", "2.", "1.-3.", "1, 2"), and the
//   section is played as often as the highest pass named, twice at least; on a pass that a
//   bracket does not name the playing goes on after it. An unlabelled bracket over the end
//   repeat is played on every pass but the last; other unlabelled brackets as written.
// - Jumps (from the measure marks): after a measure with D.C. the playing goes
//   back to the start, after D.S. to the segno; from then on repeats are not taken again and
//   each ending is played on its last pass; it ends after Fine (unless "al Coda"), and at
//   "To Coda" goes on at the next coda sign (unless "al Fine"). Only the first D.C. or D.S.
//   is taken, so every score ends.
//
// A bracket over a measure that no bar line closes (the open last measure of its track) is not
// played: it has no end to go on from. A bracket labelled "1", as every bracket of an older
// file reads, plays as an unlabelled one.
std::vector<PlayedMeasure> unfold(const std::vector<music::TrackWalk>& tracks,
                                  std::span<const music::Volta> voltas,
                                  std::span<const MeasureMark> marks = {});

}  // namespace qe::sound
