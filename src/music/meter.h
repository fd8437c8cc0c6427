#pragma once

#include <cstdint>

#include "records/doc_chunks.h"

namespace qe::music {

// Musical time in ticks. 1920 to the quarter is 15 × 2^7: a digit with any underline count a
// record can hold (0..7) lasts a whole number of ticks, and so do triplets of them.
using Ticks = std::int64_t;
inline constexpr Ticks kTicksPerQuarter = 1920;
inline constexpr Ticks kWholeTicks = 4 * kTicksPerQuarter;
// The shortest value a record can hold: a digit with seven underlines.
inline constexpr Ticks kShortestTicks = kTicksPerQuarter >> 7;

// A digit or rest with `underlines` underlines: a quarter halved once per underline. A plain
// digit is a quarter whatever the time signature. Counts outside 0..7 last nothing.
constexpr Ticks underlineTicks(int underlines) {
    return underlines >= 0 && underlines <= 7 ? kTicksPerQuarter >> underlines : 0;
}

// The time signature of the title block.
struct Meter {
    static constexpr Meter of(const doc_header& header) {
        return Meter{header.timeNumerator, header.timeDenominator};
    }

    // The nominal length of a measure: numerator × a whole / denominator, rounded down when
    // the denominator does not divide a whole; 0 for a signature with a 0 in it, which names
    // no length. The measures of a score may be shorter (a pickup) or longer.
    constexpr Ticks measureLength() const {
        return denominator > 0 ? numerator * kWholeTicks / denominator : 0;
    }

    // The beat the measure is counted in: a quarter in x/4, a half in x/2, a whole in x/1; a
    // dotted quarter in compound x/8 (6/8, 9/8, 12/8, ...) and in 3/8, whose one beat is the
    // whole measure; a dotted eighth likewise in x/16; a quarter in every other signature.
    constexpr Ticks beat() const {
        const bool compound = numerator == 3 || (numerator > 3 && numerator % 3 == 0);
        switch (denominator) {
            case 1:
                return kWholeTicks;
            case 2:
                return kWholeTicks / 2;
            case 8:
                return compound ? 3 * kTicksPerQuarter / 2 : kTicksPerQuarter;
            case 16:
                return compound ? 3 * kTicksPerQuarter / 4 : kTicksPerQuarter;
            default:
                return kTicksPerQuarter;
        }
    }

    friend constexpr bool operator==(const Meter&, const Meter&) = default;

    int numerator = 4;
    int denominator = 4;
};

}  // namespace qe::music
