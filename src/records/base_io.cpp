#include "records/base_io.h"

#include <algorithm>
#include <limits>

#include "base/exception.h"

namespace qe {

std::int64_t BaseIO::available() const {
    const std::int64_t pos = tell();
    std::int64_t end = length();
    if (end < 0)
        end = std::numeric_limits<std::int64_t>::max();
    if (!limits_.empty())
        end = std::min(end, limits_.back());
    return std::max<std::int64_t>(0, end - pos);
}

void BaseIO::pushLimit(std::int64_t bytes) {
    if (bytes < 0 || bytes > available())
        throw Exception(kMalformed);
    limits_.push_back(tell() + bytes);
}

void BaseIO::popLimit() {
    if (!limits_.empty())
        limits_.pop_back();
}

}  // namespace qe
