#include "music/accidental_state.h"

#include "base/exception.h"
#include "music/pitch.h"

namespace qe::music {

int AccidentalState::slot(int degree, int octave) {
    if (degree < 1 || degree > 7 || octave < kLowestOctave || octave >= kLowestOctave + kOctaves)
        return -1;
    return (octave - kLowestOctave) * 7 + degree - 1;
}

int AccidentalState::apply(int degree, int octave, int accidentalCode) {
    const int at = slot(degree, octave);
    if (at < 0)
        return shiftOf(accidentalCode).value_or(0);
    if (const std::optional<int> shift = shiftOf(accidentalCode))
        shifts_[static_cast<std::size_t>(at)] = static_cast<std::int8_t>(*shift);
    return shifts_[static_cast<std::size_t>(at)];
}

int AccidentalState::inForce(int degree, int octave) const {
    const int at = slot(degree, octave);
    return at < 0 ? 0 : shifts_[static_cast<std::size_t>(at)];
}

int AccidentalState::codeToWrite(int degree, int octave, int shift) const {
    const int code = accidentalFor(shift);
    return shift == inForce(degree, octave) ? 0 : code;
}

}  // namespace qe::music
