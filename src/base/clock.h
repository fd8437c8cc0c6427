#pragma once

#include <chrono>

namespace qe {

// The one source of time of the editor: autosave intervals and playback are measured on it.
// `elapsed` counts from an origin of the clock's choosing and never goes back; `wallTime` is the
// time of day, for what a person is shown. Tests pass a clock they move by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::nanoseconds elapsed() const = 0;
    virtual std::chrono::system_clock::time_point wallTime() const = 0;

    // The elapsed time in seconds.
    double seconds() const { return std::chrono::duration<double>(elapsed()).count(); }
};

// The machine's clocks: the monotonic one from the moment the object was made.
class SystemClock final : public Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    std::chrono::nanoseconds elapsed() const override {
        return std::chrono::steady_clock::now() - origin_;
    }
    std::chrono::system_clock::time_point wallTime() const override {
        return std::chrono::system_clock::now();
    }
    // The machine's time point of an elapsed time of this clock, for waiting until it.
    TimePoint timePointOf(double seconds) const {
        return origin_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>(seconds));
    }

private:
    TimePoint origin_ = std::chrono::steady_clock::now();
};

}  // namespace qe
