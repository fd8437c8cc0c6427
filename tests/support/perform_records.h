#pragma once

#include "perform/performance.h"
#include "support/notation.h"

namespace qe::test {

// A document's records performed as the editor performs the file: loaded into a score first.
inline sound::Performance performRecords(const QeDocument& doc,
                                         const sound::PerformanceOptions& options = {}) {
    return sound::perform(*scoreFrom(doc), options);
}

}  // namespace qe::test
