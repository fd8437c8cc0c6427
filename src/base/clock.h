#pragma once

#include <chrono>

namespace qe::sound {

// The time playback follows, in seconds from an origin of the clock's choosing; it never goes
// back.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

// The machine's monotonic clock, from the moment the object was made.
class SteadyClock final : public Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    double now() const override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - origin_).count();
    }
    // The machine's time point of a time of this clock, for waiting until it.
    TimePoint timePointOf(double seconds) const {
        return origin_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>(seconds));
    }

private:
    TimePoint origin_ = std::chrono::steady_clock::now();
};

}  // namespace qe::sound
