#include "gui/export_command.h"
#include "gui/accepted_files.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include "document/score_document.h"
#include "export/page_export.h"
#include "gui/dialog_export_prompts.h"
#include "gui/score_view.h"

namespace qe {

namespace {

const QStringList& exportFilters() {
    static const QStringList filters{
        QStringLiteral("JPEG Files (*.jpg *.jpeg)"), QStringLiteral("GIF Files (*.gif)"),
        QStringLiteral("PNG Files (*.png)"),         QStringLiteral("Bitmap Files (*.bmp)"),
        QStringLiteral("PDF Files (*.pdf)"),         QStringLiteral("SVG Files (*.svg)")};
    return filters;
}

// The extension a filter writes when the name typed has none: its first pattern's.
QString suffixOf(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QStringLiteral("jpg");
}

}  // namespace

void runExportCommand(ScoreView& view) {
    ScoreDocument* doc = view.document();
    QString name = doc->title();
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
    const QString folder =
        doc->path().isEmpty() ? QDir::homePath() : QFileInfo(doc->path()).absolutePath();
    QFileDialog dialog(&view, QStringLiteral("导出"), QDir(folder).filePath(name));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Each page has a name of its own; the export asks about existing files one by one.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(exportFilters());
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    const QStringList files = acceptedFiles(dialog);
    if (files.isEmpty())
        return;
    exportWindowPages(view, files.constFirst());
}

void exportWindowPages(ScoreView& view, const QString& chosen) {
    PageView* pages =
        view.mode() == ScoreEditor::kPageMode ? view.controller().layout().pages() : nullptr;
    if (!pages || pages->childCount() == 0) {
        // Nothing to write (scroll mode shows no pages): say so rather than leave the export
        // looking done.
        QMessageBox box(QMessageBox::Information, QStringLiteral("Qanor简谱编辑器"),
                        view.mode() == ScoreEditor::kScrollMode
                            ? QStringLiteral("滚动视图没有分页，没有导出任何文件。\n"
                                             "请切换到页面视图后再导出。")
                            : QStringLiteral("没有可以导出的页面。"),
                        QMessageBox::Ok, &view);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.exec();
        return;
    }
    DialogExportPrompts prompts(&view);
    ExportOptions options;
    options.watermark = view.watermarkShown();
    exportPages(view.fonts(), *pages, chosen, prompts, options);
}

}  // namespace qe
