#include "gui/dialog_export_prompts.h"
#include "gui/accepted_files.h"
#include "gui/ui_text.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace qe {

namespace {

// The formats a page can be written in, the given one first.
QStringList fileFilters(const QString& first) {
    QStringList filters{
        QStringLiteral("PNG Files (*.png)"), QStringLiteral("JPEG Files (*.jpeg *.jpg)"),
        QStringLiteral("GIF Files (*.gif)"), QStringLiteral("Bitmap Files (*.bmp)"),
        QStringLiteral("PDF Files (*.pdf)"), QStringLiteral("SVG Files (*.svg)")};
    for (qsizetype i = 0; i < filters.size(); ++i)
        if (filters[i].contains(QStringLiteral("*.") + first.toLower() + QLatin1Char(')')) ||
            filters[i].contains(QStringLiteral("*.") + first.toLower() + QLatin1Char(' '))) {
            filters.move(i, 0);
            break;
        }
    return filters;
}

}  // namespace

bool DialogExportPrompts::confirmOverwrite(const QString& path) {
    QMessageBox box(QMessageBox::Question, ui("文件已经存在"),
                    ui("文件 %1 已存在，\n您要覆盖该文件么？").arg(QDir::toNativeSeparators(path)),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.button(QMessageBox::Yes)->setText(ui("是"));
    box.button(QMessageBox::No)->setText(ui("否"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString DialogExportPrompts::chooseOtherPath(const QString& folder, const QString& suggestedName,
                                             const QString& extension) {
    QFileDialog dialog(parent_, ui("另存为"), QDir(folder).filePath(suggestedName));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(fileFilters(extension));
    dialog.setDefaultSuffix(extension);
    return acceptedFiles(dialog).value(0);
}

void DialogExportPrompts::reportFailure(const QString&) {
    QMessageBox box(QMessageBox::Warning, ui("Qanor简谱编辑器"),
                    ui("保存失败，请检查文件路径与扩展名。"), QMessageBox::Ok, parent_);
    box.button(QMessageBox::Ok)->setText(ui("确定"));
    box.exec();
}

}  // namespace qe
