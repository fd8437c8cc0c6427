#include <QString>

#include "cli/cli.h"
#include "cli/cli_actions.h"
#include "edit/score_session.h"
#include "engrave/score_layout.h"
#include "export/export_host.h"

namespace qe {

namespace {

// The command line never asks: an existing file is overwritten with --force and otherwise
// left as it is, which the exit status reports.
class CommandLinePrompts : public ExportPrompts {
public:
    explicit CommandLinePrompts(bool force) : force_(force) {}

    bool confirmOverwrite(const QString& path) override {
        if (!force_)
            printError(
                QStringLiteral("qanoredit: %1 exists; left as it is (--force overwrites it).")
                    .arg(path));
        return force_;
    }
    bool offersOtherPath() const override { return false; }
    QString chooseOtherPath(const QString&, const QString&, const QString&) override { return {}; }
    void reportFailure(const QString& path) override {
        printError(QStringLiteral("%1: 保存失败，请检查文件路径与扩展名。").arg(path));
    }

private:
    const bool force_;
};

// Lays the score out only when the format draws it, with the real fonts measuring. A layout
// that fails is reported on stderr, and the format is given none.
class CommandLineExportHost : public ExportHost {
public:
    CommandLineExportHost(FontBook& fonts, ScoreSession& session, bool force)
        : fonts_(fonts), session_(session), prompts_(force) {}

    FontBook& fonts() override { return fonts_; }
    ExportPrompts& prompts() override { return prompts_; }
    const PageView* pages() override {
        ScoreLayout* layout = laidOut(ScoreLayout::kPageMode);
        return layout ? layout->pages() : nullptr;
    }
    const LinearView* strip() override {
        ScoreLayout* layout = laidOut(ScoreLayout::kScrollMode);
        return layout ? &layout->tracks() : nullptr;
    }

private:
    // Each mode is laid out once, however often it is asked for.
    ScoreLayout* laidOut(ScoreLayout::Mode mode) {
        Laid& laid = laid_[mode];
        if (!laid.tried) {
            laid.tried = true;
            ScoreLayout& layout = session_.layout(mode);
            int status = kExitOk;
            laid.layout = layOut(fonts_, layout, status) ? &layout : nullptr;
        }
        return laid.layout;
    }

    struct Laid {
        bool tried = false;
        ScoreLayout* layout = nullptr;
    };

    FontBook& fonts_;
    ScoreSession& session_;
    CommandLinePrompts prompts_;
    Laid laid_[2];  // by ScoreLayout::Mode
};

// Says on stderr why the export stopped short of its file.
void printProblem(const ExportResult& result, const QString& out) {
    const ExportProblem& problem = result.problem;
    switch (problem.kind) {
        case ExportProblem::kNone:
        case ExportProblem::kNoLayout:  // the layout said why
            return;
        case ExportProblem::kStripTooLarge:
            printError(QStringLiteral(
                "qanoredit: the score is too long to show as one image; export its pages."));
            return;
        case ExportProblem::kNotConverted:
            printError(QStringLiteral("qanoredit: %1: %2").arg(out, result.message));
            return;
        case ExportProblem::kNoSoundFont:
            printError(QStringLiteral(
                "qanoredit: no General MIDI SoundFont was found in /usr/share/sounds; install the "
                "package timgm6mb-soundfont (or fluid-soundfont-gm) to export WAV files."));
            return;
        case ExportProblem::kSoundTooLong:
            printError(
                QStringLiteral("qanoredit: the score sounds too long for a WAV file (over "
                               "4 GiB); export it as MIDI, or at a faster tempo."));
            return;
        case ExportProblem::kBadSoundFont:
            printError(QStringLiteral("qanoredit: the SoundFont %1 could not be used: %2")
                           .arg(problem.subject, result.message));
            return;
    }
}

// Whether the pages the host lays out for the export hold the score in the `pages` it was
// asked for; says so when they do not. A layout that failed is the export's to report.
bool fitsPages(CommandLineExportHost& host, const QString& path, int pages) {
    const PageView* laid = host.pages();
    if (!laid || laid->fitsPageCount())
        return true;
    printError(QStringLiteral("qanoredit: %1 does not fit on %2 pages, even with its systems "
                              "closer and its music at %3 % of its size; it takes %4")
                   .arg(path)
                   .arg(pages)
                   .arg(static_cast<int>(PageView::kLeastScale * 100))
                   .arg(laid->childCount()));
    return false;
}

}  // namespace

int actionExport(FontBook& fonts, const ExportRequest& request) {
    ScoreSession session;
    int status = kExitOk;
    if (!openScore(request.document, session, false, status))
        return status;
    if (request.pages > 0) {
        doc_header header = session.score.header();
        header.pageCount = static_cast<std::uint8_t>(request.pages);
        session.score.setHeader(header);
    }
    CommandLineExportHost host(fonts, session, request.force);
    // Asked for a number of pages, the score is laid out once, for the check and the export.
    if (request.pages > 0 && !fitsPages(host, request.document, request.pages))
        return kExitFailure;
    const ExportResult result =
        request.format->write(session.score, request.options, request.out, host);
    printReport(result.report);
    if (result.problem.kind != ExportProblem::kNone) {
        printProblem(result, request.out);
        return kExitFailure;
    }
    for (const QString& file : result.files)
        writeStdout((file + QLatin1Char('\n')).toLocal8Bit());
    // A file left as it was is a failure here too: the command line was asked for it.
    return result.ok() && result.skipped == 0 ? kExitOk : kExitFailure;
}

}  // namespace qe
