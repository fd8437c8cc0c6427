#pragma once

#include <string>

namespace qe {

// The texts of the status bar's three panes for the input state: the accidental, octave and
// length the next note takes ("升号", "高音", "8分音"). Texts of the window, translated where
// they are shown; a value outside the input method's range shows as its number.
std::u16string accidentalText(int accidental);
std::u16string octaveText(int octave);
std::u16string durationText(int duration);

}  // namespace qe
