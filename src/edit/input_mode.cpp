#include "edit/input_mode.h"

namespace qe {

const ModeKey* modeKeyOf(std::span<const ModeKey> keys, char32_t key) {
    for (const ModeKey& k : keys)
        if (k.key == key)
            return &k;
    return nullptr;
}

}  // namespace qe
