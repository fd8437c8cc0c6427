#include "gui/export_command.h"
#include "gui/accepted_files.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include "audio/sound_file.h"
#include "document/score_document.h"
#include "export/page_export.h"
#include "gui/dialog_export_prompts.h"
#include "gui/score_view.h"
#include "gui/ui_text.h"
#include "musicxml/musicxml_file.h"

namespace qe {

namespace {

// The extension a filter writes when the name typed has none: its first pattern's.
QString suffixOf(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QStringLiteral("jpg");
}

void inform(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Information, ui("Qanor简谱编辑器"), text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(ui("确定"));
    box.exec();
}

QString exportPagesOf(ScoreView& view, const QString& chosen) {
    PageView* pages =
        view.mode() == ScoreEditor::kPageMode ? view.controller().layout().pages() : nullptr;
    if (!pages || pages->childCount() == 0) {
        // Nothing to write (scroll mode shows no pages): say so rather than leave the export
        // looking done.
        inform(&view, view.mode() == ScoreEditor::kScrollMode
                          ? ui("滚动视图没有分页，没有导出任何文件。\n"
                               "请切换到页面视图后再导出。")
                          : ui("没有可以导出的页面。"));
        return {};
    }
    DialogExportPrompts prompts(&view);
    ExportOptions options;
    options.watermark = view.watermarkShown();
    const ExportResult result = exportPages(view.fonts(), *pages, chosen, prompts, options);
    if (result.written == 0)
        return {};
    const QString first = QDir::toNativeSeparators(result.files.constFirst());
    if (result.written == 1)
        return ui("已导出 %1").arg(first);
    return ui("已导出 %1 个文件：%2 等").arg(result.written).arg(first);
}

// A file of its own (MusicXML, MIDI, WAV): asked about when it exists, like a page.
bool mayWrite(ScoreView& view, const QString& path) {
    return !QFileInfo::exists(path) || DialogExportPrompts(&view).confirmOverwrite(path);
}

QString exportMusicXmlOf(ScoreView& view, const QString& path) {
    if (!mayWrite(view, path))
        return {};
    const musicxml::Outcome outcome =
        musicxml::exportMusicXmlFile(view.controller().score(), path);
    if (!outcome.ok) {
        DialogExportPrompts(&view).reportFailure(path);
        return {};
    }
    return ui("已导出 %1").arg(QDir::toNativeSeparators(path));
}

QString exportSoundOf(ScoreView& view, const QString& path, int tempo) {
    if (!mayWrite(view, path))
        return {};
    sound::PerformanceOptions options;
    options.tempo = tempo;
    const sound::SoundFileResult written =
        sound::writeSoundFile(path, sound::perform(view.controller().score(), options));
    switch (written.status) {
        case sound::SoundFileResult::kOk:
            return ui("已导出 %1（速度 %2）").arg(QDir::toNativeSeparators(path)).arg(tempo);
        case sound::SoundFileResult::kNoSoundFont:
            inform(&view, ui("找不到 General MIDI 音色库，无法导出 WAV 音频。\n"
                             "请安装 timgm6mb-soundfont 或 fluid-soundfont-gm。"));
            return {};
        case sound::SoundFileResult::kTooLong:
            inform(&view, ui("乐谱太长，无法保存为 WAV 文件（超过 4 GiB）。\n"
                             "请导出为 MIDI，或使用更快的速度。"));
            return {};
        case sound::SoundFileResult::kBadSoundFont:
            inform(&view, ui("无法使用音色库 %1：%2").arg(written.soundFont, written.detail));
            return {};
        case sound::SoundFileResult::kWriteFailed:
            break;
    }
    DialogExportPrompts(&view).reportFailure(path);
    return {};
}

}  // namespace

const QStringList& exportFileTypes() {
    static const QStringList types{ui("JPEG 图片 (*.jpg *.jpeg)"),
                                   ui("GIF 图片 (*.gif)"),
                                   ui("PNG 图片 (*.png)"),
                                   ui("BMP 位图 (*.bmp)"),
                                   ui("PDF 文档 (*.pdf)"),
                                   ui("SVG 矢量图 (*.svg)"),
                                   ui("MusicXML 乐谱 (*.musicxml *.xml)"),
                                   ui("压缩的 MusicXML 乐谱 (*.mxl)"),
                                   ui("MIDI 文件 (*.mid *.midi)"),
                                   ui("WAV 音频 (*.wav)")};
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
    dialog.setNameFilters(exportFileTypes());
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
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
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    if (suffix == QStringLiteral("musicxml") || suffix == QStringLiteral("xml") ||
        suffix == QStringLiteral("mxl"))
        return exportMusicXmlOf(view, chosen);
    if (sound::isSoundFile(chosen))
        return exportSoundOf(view, chosen, tempo);
    return exportPagesOf(view, chosen);
}

}  // namespace qe
