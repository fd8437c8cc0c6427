#include "shell/page_export.h"

#include <QDir>
#include <QFileInfo>
#include <QFuture>
#include <QImage>
#include <QSet>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <deque>
#include <utility>

#include "draw/qt/watermark.h"
#include "layout/page_view.h"
#include "shell/atomic_file.h"
#include "shell/export_format.h"
#include "shell/image_encoder.h"
#include "shell/vector_export.h"

namespace qe {

namespace {

// Draws page `index` and writes it to `path` in the format of the path's extension. Runs on
// any thread: each call draws through a surface of its own, and the pages of a view share no
// node that drawing changes.
bool writePageFile(PageView& view, int index, const QString& path, bool watermark) {
    const ExportFormat format = exportFormatOf(path);
    if (isImageFormat(format)) {
        // Drawn before the file is opened, so that a page too large to draw leaves nothing.
        const QImage page = renderPage(view, index, watermark);
        return !page.isNull() && writeAtomically(path, [&](QIODevice& device) {
            return encodeImage(page, format, device);
        });
    }
    if (format == ExportFormat::Svg)
        return writeAtomically(
            path, [&](QIODevice& device) { return writeSvgPage(view, index, device, watermark); });
    if (format == ExportFormat::Pdf)
        return writeAtomically(path, [&](QIODevice& device) {
            return writePdf(view, index, index, device, watermark);
        });
    return false;
}

// Two names of one file compare equal.
QString sameFileKey(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Pages handed to workers, settled in page order on the calling thread: a written file is
// counted, a failed one reported. At most `threads` pages are in hand, each holding one
// bitmap, so memory does not grow with the page count.
class PageQueue {
public:
    PageQueue(PageView& view, const ExportOptions& options, int threads, ExportPrompts& prompts,
              ExportResult& result)
        : view_(view),
          watermark_(options.watermark),
          threads_(threads),
          prompts_(prompts),
          result_(result) {
        pool_.setMaxThreadCount(threads);
    }
    PageQueue(const PageQueue&) = delete;
    PageQueue& operator=(const PageQueue&) = delete;

    void submit(int index, const QString& path) {
        if (threads_ <= 1) {
            settle(path, writePageFile(view_, index, path, watermark_));
            return;
        }
        while (pending_.size() >= static_cast<std::size_t>(threads_))
            settleOldest();
        PageView& view = view_;
        const bool watermark = watermark_;
        pending_.emplace_back(path, QtConcurrent::run(&pool_, [&view, index, path, watermark] {
                                  return writePageFile(view, index, path, watermark);
                              }));
    }

    // Settles the pages already done, without waiting for the others.
    void settleFinished() {
        while (!pending_.empty() && pending_.front().second.isFinished())
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
        settle(path, written.result());
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

    PageView& view_;
    const bool watermark_;
    const int threads_;
    ExportPrompts& prompts_;
    ExportResult& result_;
    // Declared before the pages in hand: if a prompt throws, the pool is destroyed last and
    // waits for the workers still drawing.
    QThreadPool pool_;
    std::deque<std::pair<QString, QFuture<bool>>> pending_;
};

// The PDF: one document for all pages, asked about once.
ExportResult exportDocument(PageView& view, const QString& chosenPath, ExportPrompts& prompts,
                            const ExportOptions& options) {
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
            return writePdf(view, 0, pages - 1, device, options.watermark);
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

ExportResult exportPages(PageView& view, const QString& chosenPath, ExportPrompts& prompts,
                         const ExportOptions& options) {
    const int pages = view.childCount();
    if (pages == 0)
        return {};
    if (exportFormatOf(chosenPath) == ExportFormat::Pdf)
        return exportDocument(view, chosenPath, prompts, options);

    // The logo is made once per process; making it here keeps that off the workers.
    watermarkImage();
    ExportResult result;
    const int threads =
        std::clamp(options.threads > 0 ? options.threads : QThread::idealThreadCount(), 1, pages);
    PageQueue queue(view, options, threads, prompts, result);
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
