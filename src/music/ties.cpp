#include "music/ties.h"

namespace qe::music {

std::vector<TrackTies> readTies(const std::vector<Format>& formats, std::size_t trackCount) {
    std::vector<TrackTies> ties(trackCount);
    for (const Format& record : formats) {
        const location& from = record.from;
        const location& to = record.to;
        if (record.type != Format::kArc || from.placeKind != 1 || to.placeKind != 1 ||
            from.trackIndex != to.trackIndex || from.trackIndex < 0 ||
            static_cast<std::size_t>(from.trackIndex) >= trackCount || from.itemIndex < 0 ||
            from.itemIndex >= to.itemIndex)
            continue;
        ties[static_cast<std::size_t>(from.trackIndex)].insert(ItemTie{from.itemIndex, to.itemIndex});
    }
    return ties;
}

}  // namespace qe::music
