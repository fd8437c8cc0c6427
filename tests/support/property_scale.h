#pragma once

#include <cstdlib>

namespace qe::test {

// How many steps a random session takes: `steps`, scaled by QE_PROPERTY_SCALE when it is set
// (the sanitizer run of ./test takes a fifth; a long soak takes more), never fewer than 100.
inline long propertySteps(long steps) {
    const char* scale = std::getenv("QE_PROPERTY_SCALE");
    if (!scale)
        return steps;
    const double factor = std::atof(scale);
    const long scaled = static_cast<long>(static_cast<double>(steps) * factor);
    return scaled < 100 ? 100 : scaled;
}

}  // namespace qe::test
