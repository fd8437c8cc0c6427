#include "document/score_document.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "edit/commands.h"
#include "edit/score_editor.h"

namespace qe {

namespace {

// A text of the score as far as its first 0 unit, which ends it in the file.
QString headerText(const std::u16string& text) {
    const std::size_t end = text.find(u'\0');
    return QString::fromStdU16String(end == std::u16string::npos ? text : text.substr(0, end));
}

bool sameTitleBlock(const doc_header& a, const doc_header& b) {
    return a.title == b.title && a.subtitle == b.subtitle && a.author1 == b.author1 &&
           a.author2 == b.author2 && a.author3 == b.author3 && a.comment1 == b.comment1 &&
           a.comment2 == b.comment2 && a.keyAccidental == b.keyAccidental &&
           a.keyLetter == b.keyLetter && a.timeNumerator == b.timeNumerator &&
           a.timeDenominator == b.timeDenominator && a.tempo == b.tempo &&
           a.partNames == b.partNames && a.measureNumbers == b.measureNumbers &&
           a.freeMeter == b.freeMeter && a.tonicShift == b.tonicShift && a.marks == b.marks &&
           a.hideEmptyTracks == b.hideEmptyTracks && a.pageCount == b.pageCount;
}

}  // namespace

ScoreDocument::ScoreDocument(QObject* parent) : QObject(parent) {
    // A step is whole only after the views laid it out and told the document: the modified
    // flag is settled again then.
    history().onStepEnded = [this] {
        setModifiedFlag(!history().isClean());
        emit historyChanged();
    };
}

ScoreDocument::~ScoreDocument() = default;

void ScoreDocument::onNewDocument(const QString& title) {
    QeDocument fresh;
    fresh.initNew(title.toStdU16String());
    session_.load(fresh);
    path_.clear();
    setModifiedFlag(false);
    emit titleChanged(this->title());
}

FileResult ScoreDocument::onOpenDocument(const QString& path) {
    // Read into records of their own, so that a file that fails half-way leaves nothing.
    QeDocument loaded;
    const FileResult result = loadScore(path, loaded);
    if (!result.ok())
        return result;
    session_.load(loaded);
    path_ = QFileInfo(path).absoluteFilePath();
    setModifiedFlag(false);
    emit titleChanged(title());
    return result;
}

void ScoreDocument::onRecoveredDocument(const QeDocument& recovered, const QString& path) {
    session_.load(recovered);
    path_ = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    history().markUnsaved();
    setModifiedFlag(true);
    emit titleChanged(title());
}

void ScoreDocument::onImportedDocument(const QeDocument& imported, const QString& source) {
    session_.load(imported);
    path_.clear();
    importedFrom_ = source.isEmpty() ? QString() : QFileInfo(source).absoluteFilePath();
    history().markUnsaved();
    setModifiedFlag(true);
    emit titleChanged(title());
}

FileResult ScoreDocument::onSaveDocument(const QString& path) {
    QeDocument file = records();
    const FileResult result = saveScore(path, file);
    if (!result.ok())
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

void ScoreDocument::changeTitleBlock(const doc_header& header) {
    if (!sameTitleBlock(score().header(), header)) {
        if (!views_.empty())
            views_.front()->changeHeader(header);
        else
            session_.score.setHeader(header);
    }
    emit titleChanged(title());
    updateAllViews();
}

void ScoreDocument::changeFormat(const format_track_header& format) {
    if (format.fonts == score().format().fonts)
        return;
    if (!views_.empty())
        views_.front()->changeFormat(format);
    else
        session_.score.setFormat(format);
    updateAllViews();
}

QString ScoreDocument::title() const {
    const QString main = headerText(score().header().title);
    if (!main.isEmpty())
        return main;
    if (!path_.isEmpty())
        return QFileInfo(path_).completeBaseName();
    if (!importedFrom_.isEmpty())
        return QFileInfo(importedFrom_).completeBaseName();
    return main;
}

QString ScoreDocument::proposedFolder() const {
    if (!path_.isEmpty())
        return QFileInfo(path_).absolutePath();
    if (!importedFrom_.isEmpty())
        return QFileInfo(importedFrom_).absolutePath();
    return QDir::homePath();
}

void ScoreDocument::setModifiedFlag(bool modified) {
    if (modified == modified_)
        return;
    modified_ = modified;
    emit modifiedChanged(modified_);
}

void ScoreDocument::addView(ScoreEditor* view) {
    if (std::find(views_.begin(), views_.end(), view) == views_.end())
        views_.push_back(view);
}

void ScoreDocument::removeView(ScoreEditor* view) {
    const auto it = std::find(views_.begin(), views_.end(), view);
    if (it == views_.end())
        return;
    views_.erase(it);
    if (views_.empty())
        emit lastViewClosed();
}

void ScoreDocument::contentChanged(ScoreEditor* source) {
    setModifiedFlag(!history().isClean());
    emit historyChanged();
    emit viewsNeedUpdate(source, views_.size() > 1);
}

void ScoreDocument::updateAllViews(ScoreEditor* source) {
    emit viewsNeedUpdate(source, false);
}

}  // namespace qe
