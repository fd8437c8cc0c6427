#include "document/autosave_scheduler.h"

#include <algorithm>
#include <limits>

#include "base/clock.h"

namespace qe {

std::chrono::milliseconds AutosaveScheduler::elapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock_.elapsed());
}

AutosaveScheduler::AutosaveScheduler(const Clock& clock, std::chrono::milliseconds interval,
                                     QObject* parent)
    : QObject(parent), clock_(clock), interval_(std::max(interval, std::chrono::milliseconds(1))) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &AutosaveScheduler::poll);
}

void AutosaveScheduler::edited() {
    // Later changes do not move the deadline: typing without a pause must still be written.
    if (pending_)
        return;
    pending_ = true;
    deadline_ = elapsedMs() + interval_;
    arm();
}

void AutosaveScheduler::cancel() {
    pending_ = false;
    timer_.stop();
}

std::chrono::milliseconds AutosaveScheduler::remaining() const {
    if (!pending_)
        return std::chrono::milliseconds(0);
    return std::max(deadline_ - elapsedMs(), std::chrono::milliseconds(0));
}

void AutosaveScheduler::poll() {
    if (!pending_)
        return;
    if (remaining().count() > 0) {
        arm();
        return;
    }
    pending_ = false;
    timer_.stop();
    emit due();
}

void AutosaveScheduler::arm() {
    // A timer fires no earlier than asked; if it fires early for the clock all the same (a
    // clock of a test), poll() arms it again for what is left.
    const auto left = std::min<std::chrono::milliseconds::rep>(remaining().count(),
                                                               std::numeric_limits<int>::max());
    timer_.start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(left, 1)));
}

}  // namespace qe
