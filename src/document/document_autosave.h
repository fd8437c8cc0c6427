#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <future>
#include <memory>

#include "base/task_pool.h"

#include "document/autosave_scheduler.h"
#include "document/recovery_store.h"
#include "files/result.h"

namespace qe {

class ScoreDocument;
class Clock;
class RecoveryEntry;

// Keeps the recovery file of one open document: while the document holds unsaved changes,
// it is written into an entry of the recovery folder one interval after each first change;
// once it is saved, back as it was saved, or closed, the entry goes.
//
// The score is written into bytes on the window's thread, between two keystrokes; the bytes go
// to the disk on a thread of the autosave's own, so a slow disk never holds up typing.
class DocumentAutosave : public QObject {
    Q_OBJECT

public:
    // Becomes a child of `doc`. With `entry`, carries on the entry the document was recovered
    // from, so that its file stays until the document is saved or closed.
    DocumentAutosave(ScoreDocument* doc, RecoveryStore store, std::shared_ptr<const Clock> clock,
                     std::chrono::milliseconds interval,
                     std::unique_ptr<RecoveryEntry> entry = nullptr);
    // The document closed: its entry goes.
    ~DocumentAutosave() override;

    AutosaveScheduler& scheduler() { return scheduler_; }
    // The entry written last; null while there is none.
    const RecoveryEntry* entry() const { return entry_.get(); }
    // Writes the document as it stands, if it has unsaved changes.
    void writeNow();
    // Waits for a write in progress to reach the disk.
    void waitForWrite();

signals:
    // A write failed; it is tried again one interval later.
    void writeFailed(const QString& error);

private:
    void documentChanged();
    void discard();
    void writeFinished();

    ScoreDocument* doc_;  // the parent
    RecoveryStore store_;
    std::shared_ptr<const Clock> clock_;
    AutosaveScheduler scheduler_;
    std::unique_ptr<RecoveryEntry> entry_;
    std::future<Result> write_;  // what the write in progress came to
    int writes_ = 0;             // writes started, to tell the last one's word
    TaskPool disk_{1};           // last: its thread ends before what it writes goes
};

}  // namespace qe
