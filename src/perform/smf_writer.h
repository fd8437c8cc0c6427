#pragma once

#include <vector>

#include "perform/performance.h"

namespace qe::sound {

// A performance as a Standard MIDI File of type 1, 1920 ticks to the quarter (the music
// core's own ticks): first a tempo track with the title, the time signature, the key
// signature and the tempo, then one track per note track with its program and its notes on
// its own channel. A time signature whose lower number is not a power of two (or that has a
// 0 in it) cannot be written in the format and is left out; the notes sound the same.
std::vector<unsigned char> writeSmf(const Performance& performance);

}  // namespace qe::sound
