#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

namespace qe {

class Clock;

// When a document with unsaved changes is written to its recovery file: one interval after
// the first change since the last write. A person who keeps typing gets a write every
// interval; one who stops gets the last change written once, and then nothing while the
// score stays as it is.
class AutosaveScheduler : public QObject {
    Q_OBJECT

public:
    // `clock` must outlive the scheduler.
    AutosaveScheduler(const Clock& clock, std::chrono::milliseconds interval,
                      QObject* parent = nullptr);

    std::chrono::milliseconds interval() const { return interval_; }
    // The document changed and holds changes not yet saved.
    void edited();
    // Nothing is left to write: the document was saved, or is back as it was saved.
    void cancel();
    bool pending() const { return pending_; }
    // Time left until the write falls due; zero when it is due, or nothing is pending.
    std::chrono::milliseconds remaining() const;
    // Emits due() when the time has come. The scheduler's own timer calls it; tests call it
    // after moving their clock.
    void poll();

signals:
    // Write the document as it stands now. Changes made after this signal fall due again.
    void due();

private:
    void arm();
    std::chrono::milliseconds elapsedMs() const;

    const Clock& clock_;
    std::chrono::milliseconds interval_;
    bool pending_ = false;
    std::chrono::milliseconds deadline_{0};
    QTimer timer_;
};

}  // namespace qe
