#include <QFileInfo>
#include <QImage>
#include <QStringList>

#include "cli/cli.h"
#include "cli/cli_actions.h"
#include "cli/cli_sound.h"
#include "edit/score_session.h"
#include "engrave/linear_view.h"
#include "engrave/page_view.h"
#include "engrave/score_layout.h"
#include "export/export_format.h"
#include "export/image_encoder.h"
#include "export/page_export.h"
#include "files/atomic_file.h"

namespace qe {

namespace {

QString saveFailedMessage(const QString& path) {
    return QStringLiteral("%1: 保存失败，请检查文件路径与扩展名。").arg(path);
}

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
    void reportFailure(const QString& path) override { printError(saveFailedMessage(path)); }

private:
    const bool force_;
};

int exportPageFiles(const ExportRequest& request, ScoreSession& session) {
    ScoreLayout& layout = session.layout(ScoreLayout::kPageMode);
    int status = kExitOk;
    if (!layOut(*request.fonts, layout, status))
        return status;
    PageView& view = *layout.pages();
    CommandLinePrompts prompts(request.force);
    ExportOptions options;
    options.watermark = request.watermark;
    const ExportResult result = exportPages(*request.fonts, view, request.out, prompts, options);
    for (const QString& file : result.files)
        writeStdout((file + QLatin1Char('\n')).toLocal8Bit());
    return result.failed > 0 || result.skipped > 0 ? kExitFailure : kExitOk;
}

// The strip of scroll mode, every track line of the score, as one image.
int exportStrip(const ExportRequest& request, ScoreSession& session) {
    ScoreLayout& layout = session.layout(ScoreLayout::kScrollMode);
    int status = kExitOk;
    if (!layOut(*request.fonts, layout, status))
        return status;
    LinearView& view = layout.tracks();
    if (QFileInfo::exists(request.out) &&
        !CommandLinePrompts(request.force).confirmOverwrite(request.out))
        return kExitFailure;
    const QImage image = renderStrip(*request.fonts, view);
    if (image.isNull()) {
        printError(QStringLiteral(
            "qanoredit: the score is too long to show as one image; export its pages."));
        return kExitFailure;
    }
    const ExportFormat format = exportFormatOf(request.out);
    if (!writeAtomically(request.out,
                         [&](QIODevice& device) { return encodeImage(image, format, device); })) {
        printError(saveFailedMessage(request.out));
        return kExitFailure;
    }
    writeStdout((request.out + QLatin1Char('\n')).toLocal8Bit());
    return kExitOk;
}

int exportPictures(const ExportRequest& request) {
    ScoreSession session;
    int status = kExitOk;
    if (!openScore(request.document, session, false, status))
        return status;
    return request.scrollMode ? exportStrip(request, session) : exportPageFiles(request, session);
}

// What --export writes, by the output's extension. Writers of other kinds of file join here.
const ExportTarget kExportTargets[] = {
    {"png jpg jpeg gif bmp", true, exportPictures},
    {"svg pdf", false, exportPictures},
    {"musicxml mxl xml", false, exportMusicXml},
    {"mid midi wav", false, exportSound},
};

}  // namespace

const ExportTarget* exportTargetFor(const QString& out) {
    const QString extension = QFileInfo(out).suffix().toLower();
    if (extension.isEmpty())
        return nullptr;
    for (const ExportTarget& target : kExportTargets)
        if (QString::fromLatin1(target.extensions).split(QLatin1Char(' ')).contains(extension))
            return &target;
    return nullptr;
}

QString exportExtensions() {
    QStringList all;
    for (const ExportTarget& target : kExportTargets)
        all << QString::fromLatin1(target.extensions).split(QLatin1Char(' '));
    return all.join(QStringLiteral(", "));
}

}  // namespace qe
