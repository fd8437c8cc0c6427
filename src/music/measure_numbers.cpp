#include "music/measure_numbers.h"

#include <algorithm>

#include "music/attributes.h"
#include "music/measure_check.h"

namespace qe::music {

bool opensWithPickup(const Score& score) {
    const Ticks expected = Attributes(score.header()).expectedLength(0);
    if (expected <= 0 || score.trackCount() == 0)
        return false;
    Ticks longest = 0;
    int measures = 0;
    for (int t = 0; t < score.trackCount(); ++t) {
        const int count = score.measureCount(t);
        if (count == 0)
            continue;
        measures = std::max(measures, count);
        longest = std::max(longest, measureLength(score.measure(t, 0)));
    }
    return measures > 1 && longest > 0 && longest < expected;
}

int measureNumber(const Score& score, int index) {
    return opensWithPickup(score) ? index : index + 1;
}

std::optional<int> measureIndex(const Score& score, int number) {
    int measures = 0;
    for (int t = 0; t < score.trackCount(); ++t)
        measures = std::max(measures, score.measureCount(t));
    const int index = opensWithPickup(score) ? number : number - 1;
    if (index < 0 || index >= measures)
        return std::nullopt;
    return index;
}

}  // namespace qe::music
