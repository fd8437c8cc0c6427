#include "export/page_export.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <deque>
#include <utility>

#include "base/task_pool.h"
#include "engrave/page_view.h"
#include "painter/watermark.h"

namespace qe {

namespace {

// Two names of one file compare equal.
QString sameFileKey(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Draws page `index` into `path` in the page format of its name, on any thread; a name no page
// format has fails.
bool writePageFile(const PageDrawing& drawing, const PageFormat* format, int index,
                   const QString& path, TaskPool* helpers) {
    return format && format->writePage(drawing, index, path, helpers);
}

// Pages handed to workers, settled in page order on the calling thread: a written file is
// counted, a failed one reported. With threads for more than one page, pages are drawn side
// by side, a band at a time each; a page exported alone shares its bands among the threads
// instead. Either way at most one page of pixels is in memory.
class PageQueue {
public:
    PageQueue(const PageDrawing& drawing, int threads, int pages, ExportPrompts& prompts,
              ExportResult& result)
        : drawing_(drawing),
          sideBySide_(std::min(threads, pages) > 1),
          bandHelpers_(!sideBySide_ && threads > 1),
          prompts_(prompts),
          result_(result),
          pool_(sideBySide_ ? std::min(threads, pages) : std::max(threads - 1, 1)) {}
    PageQueue(const PageQueue&) = delete;
    PageQueue& operator=(const PageQueue&) = delete;

    void submit(int index, const QString& path) {
        // Looked up here: the workers only draw and write.
        const PageFormat* format = pageFormatFor(path);
        if (!sideBySide_) {
            settle(path,
                   writePageFile(drawing_, format, index, path, bandHelpers_ ? &pool_ : nullptr));
            return;
        }
        while (pending_.size() >= static_cast<std::size_t>(pool_.threadCount()))
            settleOldest();
        pending_.emplace_back(path, pool_.run([drawing = drawing_, format, index, path] {
            return writePageFile(drawing, format, index, path, nullptr);
        }));
    }

    // Settles the pages already done, without waiting for the others.
    void settleFinished() {
        while (!pending_.empty() && pending_.front().second.wait_for(std::chrono::seconds(0)) ==
                                        std::future_status::ready)
            settleOldest();
    }

    void finish() {
        while (!pending_.empty())
            settleOldest();
    }

private:
    void settleOldest() {
        auto [path, written] = std::move(pending_.front());
        pending_.pop_front();
        settle(path, written.get());
    }

    void settle(const QString& path, bool written) {
        if (written) {
            ++result_.written;
            result_.files << path;
        } else {
            result_.fileFailed();
            prompts_.reportFailure(path);
        }
    }

    const PageDrawing drawing_;
    const bool sideBySide_;   // pages drawn side by side, each by one thread
    const bool bandHelpers_;  // the pool's threads help with the bands of each page
    ExportPrompts& prompts_;
    ExportResult& result_;
    // Declared before the pages in hand: if a prompt throws, the pool is destroyed last and
    // waits for the workers still drawing.
    TaskPool pool_;
    std::deque<std::pair<QString, std::future<bool>>> pending_;
};

}  // namespace

QString exportPagePath(const QString& chosen, int pages, int page) {
    const QFileInfo info(chosen);
    // One substitution pass: a % in the chosen name stays as it is.
    const QString name = QStringLiteral("%1_%2-%3.%4")
                             .arg(info.completeBaseName(), QString::number(pages),
                                  QString::number(page), info.suffix());
    return QDir(info.path()).filePath(name);
}

ExportResult exportPageFiles(const PageDrawing& drawing, const QString& chosenPath,
                             ExportPrompts& prompts, int threads) {
    const int pages = drawing.view.childCount();
    if (pages == 0)
        return {};

    // The logo is made once per process; making it here keeps that off the workers.
    watermarkImage();
    ExportResult result;
    threads = threads > 0 ? threads : QThread::idealThreadCount();
    PageQueue queue(drawing, std::max(threads, 1), pages, prompts, result);
    const QFileInfo chosen(chosenPath);
    // Files this export will write count as existing for the pages after them, as they would
    // when written one after the other.
    QSet<QString> claimed;
    for (int page = 1; page <= pages; ++page) {
        queue.settleFinished();
        QString path = exportPagePath(chosenPath, pages, page);
        if (QFileInfo::exists(path) || claimed.contains(sameFileKey(path))) {
            if (!prompts.confirmOverwrite(path)) {
                if (!prompts.offersOtherPath()) {
                    ++result.skipped;
                    continue;
                }
                path = prompts.chooseOtherPath(chosen.path(), QFileInfo(path).fileName(),
                                               chosen.suffix());
                if (path.isEmpty()) {
                    result.cancelled = true;
                    break;
                }
            }
        }
        claimed.insert(sameFileKey(path));
        queue.submit(page - 1, path);
    }
    queue.finish();
    return result;
}

}  // namespace qe
