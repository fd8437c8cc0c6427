#pragma once

#include <random>
#include <string>
#include <vector>

namespace qe::test {

// A random measure of 4/4 in the notation of parseTrack: quarters, pairs of eighths, four
// sixteenths, a note held by a dash, a dotted quarter with its eighth, a triplet-free mix;
// with `accidentals`, some notes get a sharp or flat.
inline std::string randomMeasure(std::mt19937& rng, bool accidentals = false) {
    std::uniform_int_distribution<int> pick(0, 99);
    const auto digit = [&](const char* underlines) {
        std::string d;
        if (accidentals && pick(rng) < 20)
            d += pick(rng) < 50 ? "#" : "b";
        d += static_cast<char>('1' + pick(rng) % 7);
        return d + underlines + " ";
    };
    std::string text;
    int beats = 0;
    while (beats < 4) {
        const int kind = pick(rng) % 6;
        if (kind == 0) {
            text += digit("") + "- ";
            beats += 2;
        } else if (kind == 1) {
            text += digit("_") + digit("_");
            beats += 1;
        } else if (kind == 2) {
            text += digit("__") + digit("__") + digit("__") + digit("__");
            beats += 1;
        } else if (kind == 3 && beats <= 2) {
            text += digit("") + ". " + digit("_");
            beats += 2;
        } else {
            text += digit("");
            beats += 1;
        }
    }
    // A dash past the fourth beat would overfill the measure: the meter does not matter to
    // spacing, but keep the measures ordinary.
    return text + "| ";
}

// `measures` random measures as one track's text.
inline std::string randomTrack(std::mt19937& rng, int measures, bool accidentals = false) {
    std::string text;
    for (int m = 0; m < measures; ++m)
        text += randomMeasure(rng, accidentals);
    return text;
}

}  // namespace qe::test
