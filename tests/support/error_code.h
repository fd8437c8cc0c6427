#pragma once

#include "base/exception.h"

namespace qe::test {

// The code of the Exception an action throws, or 0 when it throws none.
template <typename Action>
int codeOf(Action&& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.code;
    }
    return 0;
}

}  // namespace qe::test
