#include "document/document_autosave.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMetaObject>
#include <QTimeZone>

#include "base/clock.h"
#include "base/exception.h"
#include "document/recovery_entry.h"
#include "document/score_document.h"
#include "records/memory_io.h"

namespace qe {

DocumentAutosave::DocumentAutosave(ScoreDocument* doc, RecoveryStore store,
                                   std::shared_ptr<const Clock> clock,
                                   std::chrono::milliseconds interval,
                                   std::unique_ptr<RecoveryEntry> entry)
    : QObject(doc),
      doc_(doc),
      store_(std::move(store)),
      clock_(std::move(clock)),
      scheduler_(*clock_, interval),
      entry_(std::move(entry)) {
    connect(doc_, &ScoreDocument::historyChanged, this, &DocumentAutosave::documentChanged);
    connect(doc_, &ScoreDocument::modifiedChanged, this, &DocumentAutosave::documentChanged);
    connect(&scheduler_, &AutosaveScheduler::due, this, &DocumentAutosave::writeNow);
    // A document that holds changes from the start (an import) is written like any other; a
    // recovered one is in its entry already.
    if (doc_->isModified() && !entry_)
        scheduler_.edited();
}

DocumentAutosave::~DocumentAutosave() {
    scheduler_.cancel();
    waitForWrite();
    if (entry_)
        entry_->remove();
}

void DocumentAutosave::documentChanged() {
    if (doc_->isModified())
        scheduler_.edited();
    else
        discard();
}

void DocumentAutosave::discard() {
    scheduler_.cancel();
    if (!entry_)
        return;
    waitForWrite();
    entry_->remove();
    entry_.reset();
}

void DocumentAutosave::writeNow() {
    if (!doc_->isModified())
        return;
    if (write_.valid() && write_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        // The disk is slower than the interval: this state goes with the next write.
        scheduler_.edited();
        return;
    }
    QByteArray bytes;
    try {
        // What a save would write: the score as a whole document.
        MemoryIO io;
        QeDocument records = doc_->records();
        records.serialize(io, true);
        bytes = QByteArray(reinterpret_cast<const char*>(io.bytes().data()),
                           static_cast<qsizetype>(io.bytes().size()));
    } catch (const Exception&) {
        // A score that cannot be written as it stands cannot be saved either; the person
        // hears of it when saving. The next change tries again.
        return;
    }
    if (!entry_) {
        QString error;
        entry_ = store_.createEntry(&error);
        if (!entry_) {
            emit writeFailed(error);
            scheduler_.edited();
            return;
        }
    }
    RecoveryEntry* entry = entry_.get();
    // A write done but not yet heard of is heard of now, before the next one starts.
    writeFinished();
    const int write = ++writes_;
    write_ = disk_.run([this, write, entry, bytes, file = doc_->path(), title = doc_->title(),
                        when = QDateTime::fromMSecsSinceEpoch(
                            std::chrono::duration_cast<std::chrono::milliseconds>(
                                clock_->wallTime().time_since_epoch())
                                .count(),
                            QTimeZone::utc())] {
        Result written = entry->write(bytes, file, title, when);
        if (!written.ok() && written.message.isEmpty())
            written.message = QCoreApplication::translate("qanoredit", "无法写入恢复文件。");
        // The window's thread takes the outcome from the future when it comes to it; the
        // autosave waits for this write before it goes.
        QMetaObject::invokeMethod(
            this,
            [this, write] {
                if (write == writes_)
                    writeFinished();
            },
            Qt::QueuedConnection);
        return written;
    });
}

void DocumentAutosave::waitForWrite() {
    if (write_.valid())
        write_.wait();
}

void DocumentAutosave::writeFinished() {
    if (!write_.valid())
        return;
    const Result written = write_.get();
    if (written.ok())
        return;
    emit writeFailed(written.message);
    if (doc_->isModified())
        scheduler_.edited();
}

}  // namespace qe
