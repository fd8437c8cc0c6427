#include "document/clock.h"

namespace qe {

SystemClock::SystemClock() {
    timer_.start();
}

std::chrono::milliseconds SystemClock::elapsed() const {
    return std::chrono::milliseconds(timer_.elapsed());
}

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTimeUtc();
}

}  // namespace qe
