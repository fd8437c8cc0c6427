#pragma once

#include <string>
#include <vector>

namespace qe::sound {

// The General MIDI SoundFonts the system's packages install, the largest (and best sounding)
// first: fluid-soundfont-gm, then timgm6mb-soundfont, then whatever the system names as its
// default.
const std::vector<std::string>& soundFontCandidates();

// The first of `candidates` that is a readable file; empty when none is.
std::string findSoundFont(const std::vector<std::string>& candidates = soundFontCandidates());

}  // namespace qe::sound
