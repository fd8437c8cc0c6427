#include "gui/document_dialogs.h"
#include "gui/dialog_buttons.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <memory>
#include <QVBoxLayout>
#include <QScrollArea>
#include <QLineEdit>
#include <QLabel>
#include <QGridLayout>
#include <QDialogButtonBox>
#include <algorithm>
#include <iterator>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include "document/score_document.h"
#include "gui/accepted_files.h"
#include "gui/font_settings_dialog.h"
#include "gui/title_settings_dialog.h"
#include "gui/ui_text.h"

namespace qe {

namespace {

const char* const kAppCaption = "Qanor简谱编辑器";

// A text of the score as far as its first 0 unit, which ends it in the file.
QString headerText(const std::u16string& text) {
    const std::size_t end = text.find(u'\0');
    return QString::fromStdU16String(end == std::u16string::npos ? text : text.substr(0, end));
}

std::u16string upToFirstZero(const QString& text) {
    const qsizetype end = text.indexOf(QChar(0));
    return (end < 0 ? text : text.left(end)).toStdU16String();
}

void showSaveFailure(QWidget* parent, const QString& path, const FileResult& result) {
    QMessageBox box(QMessageBox::Warning, ui(kAppCaption),
                    result.notADocument ? unreadableDocumentMessage()
                                        : ui("保存失败：文件 %1 未能写入，原有文件保持不变。")
                                              .arg(QDir::toNativeSeparators(path)),
                    QMessageBox::Ok, parent);
    if (!result.notADocument)
        box.setInformativeText(result.message);
    box.button(QMessageBox::Ok)->setText(ui("确定"));
    box.exec();
}

}  // namespace

QString scoreFileFilter() {
    return ui("Qanor简谱文档 (*.qe)");
}

bool saveDocument(ScoreDocument& doc, QWidget* parent) {
    if (doc.path().isEmpty())
        return saveDocumentAs(doc, parent);
    const QString path = doc.path();
    const FileResult result = doc.onSaveDocument(path);
    if (!result.ok())
        showSaveFailure(parent, path, result);
    return result.ok();
}

bool saveDocumentAs(ScoreDocument& doc, QWidget* parent) {
    QString suggested = doc.title();
    // Characters that cannot stand in a file name.
    suggested.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
    // A score with no name at all is still proposed a name, never the bare ".qe".
    if (suggested.trimmed().isEmpty())
        suggested = ui("未命名");
    const QString folder = doc.proposedFolder();
    QFileDialog dialog(parent, ui("另存为"),
                       QDir(folder).filePath(suggested + QStringLiteral(".qe")), scoreFileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("qe"));
    const QStringList files = acceptedFiles(dialog);
    if (files.isEmpty())
        return false;
    const QString chosen = files.constFirst();
    const FileResult result = doc.onSaveDocument(chosen);
    if (!result.ok())
        showSaveFailure(parent, chosen, result);
    return result.ok();
}

bool saveModifiedDocument(ScoreDocument& doc, QWidget* parent) {
    if (!doc.isModified())
        return true;
    QMessageBox box(QMessageBox::Question, ui(kAppCaption),
                    ui("是否保存对“%1”的更改？").arg(doc.title()), QMessageBox::NoButton, parent);
    QPushButton* save = box.addButton(ui("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(ui("不保存"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(ui("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == discard)
        return true;
    if (box.clickedButton() == save)
        return saveDocument(doc, parent);
    return false;
}

void editTitleBlock(ScoreDocument& doc, QWidget* parent) {
    doc_header h = doc.score().header();
    TitleSettingsDialog dlg(parent);
    dlg.title = headerText(h.title);
    dlg.subtitle = headerText(h.subtitle);
    dlg.author1 = headerText(h.author1);
    dlg.author2 = headerText(h.author2);
    dlg.author3 = headerText(h.author3);
    dlg.comment1 = headerText(h.comment1);
    dlg.comment2 = headerText(h.comment2);
    dlg.keyAccidental = h.keyAccidental;
    dlg.keyLetter = h.keyLetter;
    dlg.numerator = h.timeNumerator;
    dlg.denominator = h.timeDenominator;
    for (int i = 0; i < int(std::size(TitleSettingsDialog::kTempoBeats)); ++i)
        if (TitleSettingsDialog::kTempoBeats[i].unit == h.tempo.beatUnit &&
            TitleSettingsDialog::kTempoBeats[i].dotted == h.tempo.dotted)
            dlg.tempoBeat = i;
    dlg.perMinute = h.tempo.perMinute;
    dlg.tempoText = QString::fromStdU16String(h.tempo.text);
    dlg.freeMeter = h.freeMeter;
    dlg.tonicShift = h.tonicShift;
    if (dlg.exec() != QDialog::Accepted)
        return;

    const TempoMark before = h.tempo;
    const TitleSettingsDialog::TempoBeat beat =
        TitleSettingsDialog::kTempoBeats[std::clamp(dlg.tempoBeat, 0, 3)];
    h.tempo.beatUnit = static_cast<std::uint16_t>(beat.unit);
    h.tempo.dotted = beat.dotted;
    h.tempo.perMinute = static_cast<std::uint16_t>(std::clamp(dlg.perMinute, 0, 400));
    h.tempo.text = upToFirstZero(dlg.tempoText);
    // The number printed otherwise ("100–110") goes with the mark it was printed with.
    if (h.tempo.beatUnit != before.beatUnit || h.tempo.dotted != before.dotted ||
        h.tempo.perMinute != before.perMinute)
        h.tempo.perMinuteText.clear();
    // Without a number the beat means nothing: it goes back to its default, so that a mark of
    // text alone compares equal however the list was left.
    if (h.tempo.perMinute == 0) {
        h.tempo.beatUnit = 4;
        h.tempo.dotted = false;
    }

    h.title = upToFirstZero(dlg.title);
    h.subtitle = upToFirstZero(dlg.subtitle);
    h.author1 = upToFirstZero(dlg.author1);
    h.author2 = upToFirstZero(dlg.author2);
    h.author3 = upToFirstZero(dlg.author3);
    h.comment1 = upToFirstZero(dlg.comment1);
    h.comment2 = upToFirstZero(dlg.comment2);
    // A value outside its list (a list left without a selection) keeps the stored one.
    if (dlg.keyAccidental >= 0 && dlg.keyAccidental <= 2)
        h.keyAccidental = static_cast<std::uint8_t>(dlg.keyAccidental);
    if (dlg.keyLetter >= 0 && dlg.keyLetter <= 6)
        h.keyLetter = static_cast<std::uint8_t>(dlg.keyLetter);
    if (dlg.numerator >= 2 && dlg.numerator <= 16)
        h.timeNumerator = static_cast<std::uint8_t>(dlg.numerator);
    for (int allowed : {1, 2, 4, 8, 16, 32, 64})
        if (dlg.denominator == allowed)
            h.timeDenominator = static_cast<std::uint8_t>(allowed);
    h.freeMeter = dlg.freeMeter;
    h.tonicShift = std::clamp(dlg.tonicShift, -1, 1);
    // A change is one undoable step; OK with nothing changed is none.
    doc.changeTitleBlock(h);
}

void editFonts(ScoreDocument& doc, QWidget* parent) {
    format_track_header chosen = doc.score().format();
    FontSettingsDialog dlg(&chosen, parent);
    // The dialog edits its own copy; the change is made on the score as one undoable step.
    if (dlg.exec() == QDialog::Accepted)
        doc.changeFormat(chosen);
}

}  // namespace qe

namespace qe {

QDialog* makePartNamesDialog(const std::vector<PartName>& names, int parts, QWidget* parent) {
    auto* dialog = new QDialog(parent);
    dialog->setWindowTitle(ui("声部名称"));
    dialog->setObjectName(QStringLiteral("partNames"));
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(new QLabel(ui("名称印在第一行谱的行首，简称印在以后各行的行首。"), dialog));
    auto* rows = new QWidget(dialog);
    auto* grid = new QGridLayout(rows);
    grid->addWidget(new QLabel(ui("名称"), rows), 0, 1);
    grid->addWidget(new QLabel(ui("简称"), rows), 0, 2);
    for (int t = 0; t < parts; ++t) {
        const PartName name = t < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(t)]
                                                                 : PartName{};
        auto* full = new QLineEdit(QString::fromStdU16String(name.name), rows);
        auto* brief = new QLineEdit(QString::fromStdU16String(name.shortName), rows);
        full->setObjectName(QStringLiteral("name%1").arg(t));
        brief->setObjectName(QStringLiteral("short%1").arg(t));
        full->setMinimumWidth(200);
        grid->addWidget(new QLabel(ui("第%1声部").arg(t + 1), rows), t + 1, 0);
        grid->addWidget(full, t + 1, 1);
        grid->addWidget(brief, t + 1, 2);
    }
    auto* scroll = new QScrollArea(dialog);
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);
    layout->addWidget(scroll);
    layout->addWidget(okCancelButtons(dialog));
    dialog->setProperty("parts", parts);
    return dialog;
}

std::vector<PartName> partNamesOf(const QDialog& dialog) {
    std::vector<PartName> names;
    const int parts = dialog.property("parts").toInt();
    for (int t = 0; t < parts; ++t) {
        const auto* full = dialog.findChild<QLineEdit*>(QStringLiteral("name%1").arg(t));
        const auto* brief = dialog.findChild<QLineEdit*>(QStringLiteral("short%1").arg(t));
        names.push_back({full ? upToFirstZero(full->text().trimmed()) : std::u16string(),
                         brief ? upToFirstZero(brief->text().trimmed()) : std::u16string()});
    }
    // Unnamed parts at the end take no room.
    while (!names.empty() && names.back().empty())
        names.pop_back();
    return names;
}

void editPartNames(ScoreDocument& doc, QWidget* parent) {
    doc_header h = doc.score().header();
    std::unique_ptr<QDialog> dialog(makePartNamesDialog(h.partNames, doc.score().trackCount(), parent));
    if (dialog->exec() != QDialog::Accepted)
        return;
    h.partNames = partNamesOf(*dialog);
    doc.changeTitleBlock(h);
}

}  // namespace qe
