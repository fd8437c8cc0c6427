#pragma once

#include <QTimeZone>
#include <chrono>

#include "document/clock.h"

namespace qe::test {

// A clock that moves only when told to.
class FakeClock : public Clock {
public:
    std::chrono::milliseconds elapsed() const override { return elapsed_; }
    QDateTime now() const override { return start_.addMSecs(elapsed_.count()); }
    void advance(std::chrono::milliseconds by) { elapsed_ += by; }

private:
    std::chrono::milliseconds elapsed_{0};
    QDateTime start_ = QDateTime(QDate(2024, 3, 9), QTime(20, 15), QTimeZone::utc());
};

}  // namespace qe::test
