#include "document/cqe_doc.h"
#include "document/accepted_files.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>

#include "document/font_settings_dlg.h"
#include "document/title_settings_dlg.h"
#include "edit/score_editor.h"
#include "model/exception.h"

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

bool sameTitleBlock(const doc_header& a, const doc_header& b) {
    return a.title == b.title && a.subtitle == b.subtitle && a.author1 == b.author1 &&
           a.author2 == b.author2 && a.author3 == b.author3 && a.comment1 == b.comment1 &&
           a.comment2 == b.comment2 && a.keyAccidental == b.keyAccidental &&
           a.keyLetter == b.keyLetter && a.timeNumerator == b.timeNumerator &&
           a.timeDenominator == b.timeDenominator;
}

void showSaveFailure(QWidget* parent, const QString& path, const FileResult& result) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kAppCaption),
                    result.notADocument
                        ? unreadableDocumentMessage()
                        : QStringLiteral("保存失败：文件 %1 未能写入，原有文件保持不变。")
                              .arg(QDir::toNativeSeparators(path)),
                    QMessageBox::Ok, parent);
    if (!result.notADocument)
        box.setInformativeText(result.error);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

}  // namespace

CQEDoc::CQEDoc(QObject* parent) : QObject(parent) {
    // A step is whole only after the views laid it out and told the document: the modified
    // flag is settled again then.
    history().onStepEnded = [this] {
        setModifiedFlag(!history().isClean());
        emit historyChanged();
    };
}

CQEDoc::~CQEDoc() = default;

QString CQEDoc::fileFilter() {
    return QStringLiteral("Qanor简谱文档 (*.qe)");
}

void CQEDoc::onNewDocument(const QString& title) {
    QanorDoc fresh;
    fresh.initNew(title.toStdU16String());
    session_.load(fresh);
    path_.clear();
    setModifiedFlag(false);
    emit titleChanged(this->title());
}

FileResult CQEDoc::onOpenDocument(const QString& path) {
    // Read into a document of its own, so that a file that fails half-way leaves nothing.
    QanorDoc loaded;
    const FileResult result = loadScore(path, loaded);
    if (!result.ok)
        return result;
    session_.load(loaded);
    path_ = QFileInfo(path).absoluteFilePath();
    setModifiedFlag(false);
    emit titleChanged(title());
    return result;
}

void CQEDoc::onRecoveredDocument(const QanorDoc& recovered, const QString& path) {
    session_.load(recovered);
    path_ = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    history().markUnsaved();
    setModifiedFlag(true);
    emit titleChanged(title());
}

FileResult CQEDoc::onSaveDocument(const QString& path) {
    QanorDoc file = records();
    const FileResult result = saveScore(path, file);
    if (!result.ok)
        return result;
    const QString saved = QFileInfo(path).absoluteFilePath();
    const bool renamed = saved != path_;
    path_ = saved;
    history().markClean();
    setModifiedFlag(false);
    emit historyChanged();
    if (renamed)
        emit pathChanged(path_);
    return result;
}

bool CQEDoc::doFileSave(QWidget* parent) {
    if (path_.isEmpty())
        return doSaveAs(parent);
    const FileResult result = onSaveDocument(path_);
    if (!result.ok)
        showSaveFailure(parent, path_, result);
    return result.ok;
}

bool CQEDoc::doSaveAs(QWidget* parent) {
    QString suggested = title();
    // Characters that cannot stand in a file name.
    suggested.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
    const QString folder = path_.isEmpty() ? QDir::homePath() : QFileInfo(path_).absolutePath();
    QFileDialog dialog(parent, QStringLiteral("另存为"),
                       QDir(folder).filePath(suggested + QStringLiteral(".qe")), fileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("qe"));
    const QStringList files = acceptedFiles(dialog);
    if (files.isEmpty())
        return false;
    const QString chosen = files.constFirst();
    const FileResult result = onSaveDocument(chosen);
    if (!result.ok)
        showSaveFailure(parent, chosen, result);
    return result.ok;
}

bool CQEDoc::saveModified(QWidget* parent) {
    if (!modified_)
        return true;
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kAppCaption),
                    QStringLiteral("是否保存对“%1”的更改？").arg(title()), QMessageBox::NoButton,
                    parent);
    QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == discard)
        return true;
    if (box.clickedButton() == save)
        return doFileSave(parent);
    return false;
}

void CQEDoc::onTitleSettings(QWidget* parent) {
    const doc_header before = score().header();
    doc_header h = before;
    CTitleSettingsDlg dlg(parent);
    dlg.m_strTitle = headerText(h.title);
    dlg.m_strSubtitle = headerText(h.subtitle);
    dlg.m_strAuthor1 = headerText(h.author1);
    dlg.m_strAuthor2 = headerText(h.author2);
    dlg.m_strAuthor3 = headerText(h.author3);
    dlg.m_strComment1 = headerText(h.comment1);
    dlg.m_strComment2 = headerText(h.comment2);
    dlg.m_nAccidental = h.keyAccidental;
    dlg.m_nKeyLetter = h.keyLetter;
    dlg.m_nNumerator = h.timeNumerator;
    dlg.m_nDenominator = h.timeDenominator;
    if (dlg.exec() != QDialog::Accepted)
        return;

    h.title = upToFirstZero(dlg.m_strTitle);
    h.subtitle = upToFirstZero(dlg.m_strSubtitle);
    h.author1 = upToFirstZero(dlg.m_strAuthor1);
    h.author2 = upToFirstZero(dlg.m_strAuthor2);
    h.author3 = upToFirstZero(dlg.m_strAuthor3);
    h.comment1 = upToFirstZero(dlg.m_strComment1);
    h.comment2 = upToFirstZero(dlg.m_strComment2);
    // A value outside its list (a list left without a selection) keeps the stored one.
    if (dlg.m_nAccidental >= 0 && dlg.m_nAccidental <= 2)
        h.keyAccidental = static_cast<std::uint8_t>(dlg.m_nAccidental);
    if (dlg.m_nKeyLetter >= 0 && dlg.m_nKeyLetter <= 6)
        h.keyLetter = static_cast<std::uint8_t>(dlg.m_nKeyLetter);
    if (dlg.m_nNumerator >= 2 && dlg.m_nNumerator <= 16)
        h.timeNumerator = static_cast<std::uint8_t>(dlg.m_nNumerator);
    for (int allowed : {1, 2, 4, 8, 16, 32, 64})
        if (dlg.m_nDenominator == allowed)
            h.timeDenominator = static_cast<std::uint8_t>(allowed);
    // A change is one undoable step; OK with nothing changed is none.
    if (!sameTitleBlock(before, h)) {
        if (!views_.empty())
            views_.front()->changeHeader(h);
        else
            session_.score.setHeader(h);
    }
    emit titleChanged(title());
    updateAllViews();
}

void CQEDoc::onFontSettings(QWidget* parent) {
    const format_track_header before = score().format();
    format_track_header chosen = before;
    CFontSettingsDlg dlg(&chosen, parent);
    // The dialog edits its own copy; the change is made on the score as one undoable step.
    if (dlg.exec() != QDialog::Accepted || chosen.fonts == before.fonts)
        return;
    if (!views_.empty())
        views_.front()->changeFormat(chosen);
    else
        session_.score.setFormat(chosen);
    updateAllViews();
}

QString CQEDoc::title() const {
    const QString main = headerText(score().header().title);
    if (!main.isEmpty() || path_.isEmpty())
        return main;
    return QFileInfo(path_).completeBaseName();
}

void CQEDoc::setModifiedFlag(bool modified) {
    if (modified == modified_)
        return;
    modified_ = modified;
    emit modifiedChanged(modified_);
}

void CQEDoc::addView(ScoreEditor* view) {
    if (std::find(views_.begin(), views_.end(), view) == views_.end())
        views_.push_back(view);
}

void CQEDoc::removeView(ScoreEditor* view) {
    const auto it = std::find(views_.begin(), views_.end(), view);
    if (it == views_.end())
        return;
    views_.erase(it);
    if (views_.empty())
        emit lastViewClosed();
}

void CQEDoc::contentChanged(ScoreEditor* source) {
    setModifiedFlag(!history().isClean());
    emit historyChanged();
    emit viewsNeedUpdate(source, views_.size() > 1);
}

void CQEDoc::updateAllViews(ScoreEditor* source) {
    emit viewsNeedUpdate(source, false);
}

}  // namespace qe
