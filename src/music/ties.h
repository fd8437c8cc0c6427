#pragma once

#include <compare>
#include <cstddef>
#include <set>
#include <vector>

#include "records/records.h"

namespace qe::music {

// A tie arc over a note track, from the item index `from` to the later item index `to`.
struct ItemTie {
    int from = 0;
    int to = 0;
    friend auto operator<=>(const ItemTie&, const ItemTie&) = default;
};

// The tie arcs of one note track, in order.
using TrackTies = std::set<ItemTie>;

// The tie arcs (Format records of type 1) of `trackCount` note tracks. An arc counts when
// both its ends name an item (place kind 1) of the same existing track and its first end
// comes before its last, which is what the editor shows as an arc. Whether an end names a
// note is the track walk's to decide: it knows the items.
std::vector<TrackTies> readTies(const std::vector<Format>& formats, std::size_t trackCount);

}  // namespace qe::music
