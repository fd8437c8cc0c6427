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
#include "export/export_format.h"
#include "export/image_encoder.h"
#include "export/page_bands.h"
#include "export/vector_export.h"
#include "files/atomic_file.h"
#include "painter/watermark.h"

namespace qe {

namespace {

// Draws page `index` and writes it to `path` in the format of the path's extension. Runs on
// any thread: every band is drawn through a surface of its own, and drawing only reads the
// layout. `helpers` lend threads to the bands of this one page.
bool writePageFile(FontBook& fonts, const PageView& view, int index, const QString& path,
                   bool watermark, TaskPool* helpers) {
    const ExportFormat format = exportFormatOf(path);
    if (isImageFormat(format)) {
        const PageBands page(fonts, view, index, watermark);
        // A page too large to draw leaves nothing behind.
        return !page.size().isEmpty() && writeAtomically(path, [&](QIODevice& device) {
            return encodeRows(page, format, device, helpers);
        });
    }
    if (format == ExportFormat::Svg)
        return writeAtomically(path, [&](QIODevice& device) {
            return writeSvgPage(fonts, view, index, device, watermark);
        });
    if (format == ExportFormat::Pdf)
        return writeAtomically(path, [&](QIODevice& device) {
            return writePdf(fonts, view, index, index, device, watermark);
        });
    return false;
}

// Two names of one file compare equal.
QString sameFileKey(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Pages handed to workers, settled in page order on the calling thread: a written file is
// counted, a failed one reported. With threads for more than one page, pages are drawn side
// by side, a band at a time each; a page exported alone shares its bands among the threads
// instead. Either way at most one page of pixels is in memory.
class PageQueue {
public:
    PageQueue(FontBook& fonts, const PageView& view, bool watermark, int threads, int pages,
              ExportPrompts& prompts, ExportResult& result)
        : fonts_(fonts),
          view_(view),
          watermark_(watermark),
          sideBySide_(std::min(threads, pages) > 1),
          bandHelpers_(!sideBySide_ && threads > 1),
          prompts_(prompts),
          result_(result),
          pool_(sideBySide_ ? std::min(threads, pages) : std::max(threads - 1, 1)) {}
    PageQueue(const PageQueue&) = delete;
    PageQueue& operator=(const PageQueue&) = delete;

    void submit(int index, const QString& path) {
        if (!sideBySide_) {
            settle(path, writePageFile(fonts_, view_, index, path, watermark_,
                                       bandHelpers_ ? &pool_ : nullptr));
            return;
        }
        while (pending_.size() >= static_cast<std::size_t>(pool_.threadCount()))
            settleOldest();
        pending_.emplace_back(
            path, pool_.run([&fonts = fonts_, &view = view_, index, path, watermark = watermark_] {
                return writePageFile(fonts, view, index, path, watermark, nullptr);
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
            ++result_.failed;
            prompts_.reportFailure(path);
        }
    }

    FontBook& fonts_;
    const PageView& view_;
    const bool watermark_;
    const bool sideBySide_;   // pages drawn side by side, each by one thread
    const bool bandHelpers_;  // the pool's threads help with the bands of each page
    ExportPrompts& prompts_;
    ExportResult& result_;
    // Declared before the pages in hand: if a prompt throws, the pool is destroyed last and
    // waits for the workers still drawing.
    TaskPool pool_;
    std::deque<std::pair<QString, std::future<bool>>> pending_;
};

// The PDF: one document for all pages, asked about once.
ExportResult exportDocument(FontBook& fonts, const PageView& view, const QString& chosenPath,
                            ExportPrompts& prompts, const ExportOptions& options) {
    ExportResult result;
    const int pages = view.childCount();
    QString path = chosenPath;
    if (QFileInfo::exists(path) && !prompts.confirmOverwrite(path)) {
        if (!prompts.offersOtherPath()) {
            result.skipped = 1;
            return result;
        }
        const QFileInfo chosen(chosenPath);
        path = prompts.chooseOtherPath(
            chosen.path(),
            QStringLiteral("%1_%2.%3")
                .arg(chosen.completeBaseName(), QString::number(pages), chosen.suffix()),
            chosen.suffix());
        if (path.isEmpty()) {
            result.cancelled = true;
            return result;
        }
    }
    const bool written =
        exportFormatOf(path) == ExportFormat::Pdf && writeAtomically(path, [&](QIODevice& device) {
            return writePdf(fonts, view, 0, pages - 1, device, options.watermark);
        });
    if (written) {
        result.written = 1;
        result.files << path;
    } else {
        result.failed = 1;
        prompts.reportFailure(path);
    }
    return result;
}

}  // namespace

QString exportPagePath(const QString& chosen, int pages, int page) {
    const QFileInfo info(chosen);
    // One substitution pass: a % in the chosen name stays as it is.
    const QString name = QStringLiteral("%1_%2-%3.%4")
                             .arg(info.completeBaseName(), QString::number(pages),
                                  QString::number(page), info.suffix());
    return QDir(info.path()).filePath(name);
}

ExportResult exportPages(FontBook& fonts, const PageView& view, const QString& chosenPath,
                         ExportPrompts& prompts, const ExportOptions& options) {
    const int pages = view.childCount();
    if (pages == 0)
        return {};
    if (exportFormatOf(chosenPath) == ExportFormat::Pdf)
        return exportDocument(fonts, view, chosenPath, prompts, options);

    // The logo is made once per process; making it here keeps that off the workers.
    watermarkImage();
    ExportResult result;
    const int threads = options.threads > 0 ? options.threads : QThread::idealThreadCount();
    PageQueue queue(fonts, view, options.watermark, std::max(threads, 1), pages, prompts, result);
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
