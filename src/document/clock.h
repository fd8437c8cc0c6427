#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <chrono>

namespace qe {

// Where autosaving takes its time from. Intervals are measured on a clock that only moves
// forward; the time of day is what a recovery record shows. Tests pass a clock they move by
// hand.
class Clock {
public:
    virtual ~Clock() = default;
    // Time since some fixed point, never going back.
    virtual std::chrono::milliseconds elapsed() const = 0;
    virtual QDateTime now() const = 0;
};

// The machine's clocks.
class SystemClock : public Clock {
public:
    SystemClock();
    std::chrono::milliseconds elapsed() const override;
    QDateTime now() const override;

private:
    QElapsedTimer timer_;
};

}  // namespace qe
