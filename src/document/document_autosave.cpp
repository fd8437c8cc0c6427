#include "document/document_autosave.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include "document/clock.h"
#include "document/cqe_doc.h"
#include "document/recovery_entry.h"
#include "model/exception.h"
#include "model/memory_io.h"

namespace qe {

DocumentAutosave::DocumentAutosave(CQEDoc* doc, RecoveryStore store,
                                   std::shared_ptr<const Clock> clock,
                                   std::chrono::milliseconds interval,
                                   std::unique_ptr<RecoveryEntry> entry)
    : QObject(doc),
      doc_(doc),
      store_(std::move(store)),
      clock_(std::move(clock)),
      scheduler_(*clock_, interval),
      entry_(std::move(entry)) {
    connect(doc_, &CQEDoc::historyChanged, this, &DocumentAutosave::documentChanged);
    connect(doc_, &CQEDoc::modifiedChanged, this, &DocumentAutosave::documentChanged);
    connect(&scheduler_, &AutosaveScheduler::due, this, &DocumentAutosave::writeNow);
    connect(&watcher_, &QFutureWatcherBase::finished, this, &DocumentAutosave::writeFinished);
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
    if (!write_.isFinished()) {
        // The disk is slower than the interval: this state goes with the next write.
        scheduler_.edited();
        return;
    }
    QByteArray bytes;
    try {
        // What a save would write: the score as a whole document.
        MemoryIO io;
        QanorDoc records = doc_->records();
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
    write_ = QtConcurrent::run(
        QThreadPool::globalInstance(),
        [entry, bytes, file = doc_->path(), title = doc_->title(), when = clock_->now()] {
            QString error;
            if (!entry->write(bytes, file, title, when, &error) && error.isEmpty())
                error = QStringLiteral("无法写入恢复文件。");
            return error;
        });
    watcher_.setFuture(write_);
}

void DocumentAutosave::waitForWrite() {
    write_.waitForFinished();
}

void DocumentAutosave::writeFinished() {
    const QString error = watcher_.future().result();
    if (error.isEmpty())
        return;
    emit writeFailed(error);
    if (doc_->isModified())
        scheduler_.edited();
}

}  // namespace qe
