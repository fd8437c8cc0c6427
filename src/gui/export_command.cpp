#include "gui/export_command.h"
#include "gui/accepted_files.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <optional>

#include "document/score_document.h"
#include "engrave/page_view.h"
#include "export/export_host.h"
#include "export/export_registry.h"
#include "gui/dialog_export_prompts.h"
#include "gui/score_view.h"
#include "gui/ui_text.h"

namespace qe {

namespace {

// The extension a file type writes when the name typed has none: its format's first.
QString suffixOf(const QString& type) {
    const ExportRegistry& registry = ExportRegistry::standard();
    for (const std::unique_ptr<ExportFormat>& format : registry.formats())
        if (ui(format->description()) == type)
            return format->extensions().constFirst();
    return registry.formats().front()->extensions().constFirst();
}

void inform(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Information, ui("Qanor简谱编辑器"), text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(ui("确定"));
    box.exec();
}

// The pages the window shows, to be exported as they are; none in scroll view.
const PageView* shownPages(ScoreView& view) {
    const PageView* pages =
        view.mode() == ScoreEditor::kPageMode ? view.controller().layout().pages() : nullptr;
    return pages && pages->childCount() > 0 ? pages : nullptr;
}

// Says why an export stopped short of its file. A file that could not be written was said
// by the prompts already.
void tellProblem(ScoreView& view, const ExportResult& result, const QString& path) {
    const ExportProblem& problem = result.problem;
    switch (problem.kind) {
        case ExportProblem::kNone:
            return;
        case ExportProblem::kNoLayout:
            // Nothing to write (scroll mode shows no pages): say so rather than leave the
            // export looking done.
            inform(&view, view.mode() == ScoreEditor::kScrollMode
                              ? ui("滚动视图没有分页，没有导出任何文件。\n"
                                   "请切换到页面视图后再导出。")
                              : ui("没有可以导出的页面。"));
            return;
        case ExportProblem::kNoSoundFont:
            inform(&view, ui("找不到 General MIDI 音色库，无法导出 WAV 音频。\n"
                             "请安装 timgm6mb-soundfont 或 fluid-soundfont-gm。"));
            return;
        case ExportProblem::kSoundTooLong:
            inform(&view, ui("乐谱太长，无法保存为 WAV 文件（超过 4 GiB）。\n"
                             "请导出为 MIDI，或使用更快的速度。"));
            return;
        case ExportProblem::kBadSoundFont:
            inform(&view, ui("无法使用音色库 %1：%2").arg(problem.subject, result.message));
            return;
        case ExportProblem::kStripTooLarge:
        case ExportProblem::kNotConverted:
            DialogExportPrompts(&view).reportFailure(path);
            return;
    }
}

// What the status bar says of the files written: the first, how many, and the tempo of
// sound.
QString writtenMessage(const ExportResult& result, std::optional<int> tempo) {
    if (result.written == 0)
        return {};
    const QString first = QDir::toNativeSeparators(result.files.constFirst());
    if (result.written > 1)
        return ui("已导出 %1 个文件：%2 等").arg(result.written).arg(first);
    if (tempo)
        return ui("已导出 %1（速度 %2）").arg(first).arg(*tempo);
    return ui("已导出 %1").arg(first);
}

}  // namespace

QStringList exportFileTypes() {
    QStringList types;
    for (const std::unique_ptr<ExportFormat>& format : ExportRegistry::standard().formats())
        types << ui(format->description());
    return types;
}

void runExportCommand(ScoreView& view, int tempo) {
    ScoreDocument* doc = view.document();
    QString name = doc->title();
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
    const QString folder =
        doc->path().isEmpty() ? doc->proposedFolder() : QFileInfo(doc->path()).absolutePath();
    QFileDialog dialog(&view, ui("导出"), QDir(folder).filePath(name));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Each page has a name of its own; the export asks about existing files one by one.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList types = exportFileTypes();
    dialog.setNameFilters(types);
    dialog.setDefaultSuffix(suffixOf(types.constFirst()));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    const QStringList files = acceptedFiles(dialog);
    if (files.isEmpty())
        return;
    const QString said = exportFromWindow(view, files.constFirst(), tempo);
    if (!said.isEmpty())
        emit view.statusMessage(said);
}

QString exportFromWindow(ScoreView& view, const QString& chosen, int tempo) {
    DialogExportPrompts prompts(&view);
    const ExportFormat* format = ExportRegistry::standard().formatFor(chosen);
    if (!format) {
        // A name typed with an extension no format has: "check the path and extension".
        prompts.reportFailure(chosen);
        return {};
    }
    LaidOutExportHost host(view.fonts(), prompts, shownPages(view));
    ExportOptions options;
    options.watermark = view.watermarkShown();
    options.tempo = tempo;
    const ExportResult result = format->write(view.controller().score(), options, chosen, host);
    tellProblem(view, result, chosen);
    return writtenMessage(
        result, format->takes(ExportOption::kTempo) ? std::optional(tempo) : std::nullopt);
}

}  // namespace qe
