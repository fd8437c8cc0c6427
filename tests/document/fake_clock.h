#pragma once

#include <QTimeZone>
#include <chrono>

#include "base/clock.h"

namespace qe::test {

// A clock that moves only when told to.
class FakeClock : public Clock {
public:
    std::chrono::nanoseconds elapsed() const override { return elapsed_; }
    std::chrono::system_clock::time_point wallTime() const override {
        return std::chrono::system_clock::time_point(
            std::chrono::milliseconds(start_.toMSecsSinceEpoch()) + elapsed_);
    }
    // The time of day the clock shows now, as a recovery record keeps it.
    QDateTime now() const { return start_.addMSecs(elapsed_.count()); }
    void advance(std::chrono::milliseconds by) { elapsed_ += by; }

private:
    std::chrono::milliseconds elapsed_{0};
    QDateTime start_ = QDateTime(QDate(2024, 3, 9), QTime(20, 15), QTimeZone::utc());
};

}  // namespace qe::test
