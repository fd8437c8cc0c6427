#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "document/score_file.h"
#include "edit/score_session.h"
#include "model/qanor_doc.h"

class QWidget;

namespace qe {

class ScoreEditor;

// One open score document: the score with its history and layouts (the session), the file it
// lives in, whether it holds changes not yet saved, and the views open on it. Every view edits
// the one score, so a save always holds what every view shows.
class CQEDoc : public QObject {
    Q_OBJECT

public:
    explicit CQEDoc(QObject* parent = nullptr);
    ~CQEDoc() override;

    // The file type of score documents, for file dialogs.
    static QString fileFilter();

    // Fills the empty document as a new score named `title`.
    void onNewDocument(const QString& title);
    // Reads a score file. On failure the document stays as it was (empty for a new one):
    // nothing half-read is kept, and the file is not touched.
    FileResult onOpenDocument(const QString& path);
    // Takes a score recovered after a crash: it belongs to `path` (empty for a score never
    // saved) and holds changes that file does not have, so it is modified until saved there.
    // Its undo history is gone with the editor that made it.
    void onRecoveredDocument(const QanorDoc& recovered, const QString& path);
    // Writes the score to `path` through a temporary file renamed into place. On success the document is saved there and not modified; on
    // failure it stays modified and the old file keeps its content.
    FileResult onSaveDocument(const QString& path);

    // The save commands with their dialogs and messages; false when nothing was saved.
    bool doFileSave(QWidget* parent);
    bool doSaveAs(QWidget* parent);
    // Before a modified document closes: asks whether to save it (保存 / 不保存 / 取消).
    // False keeps it open: cancelled, or the save failed.
    bool saveModified(QWidget* parent);

    // The title command: edits the title block, key and time signature.
    void onTitleSettings(QWidget* parent);
    // The font command: edits the fonts of the seven text categories. Cancel leaves the
    // fonts as they were.
    void onFontSettings(QWidget* parent);

    QString path() const { return path_; }
    // The main title of the score, or the file's name when the score has none.
    QString title() const;
    bool isModified() const { return modified_; }
    void setModifiedFlag(bool modified);

    void addView(ScoreEditor* view);
    void removeView(ScoreEditor* view);
    const std::vector<ScoreEditor*>& views() const { return views_; }
    // A view changed the score: the document is modified, and the other views lay out what
    // changed. The view that made it lays itself out.
    void contentChanged(ScoreEditor* source);
    // Settings of the score changed: every view but `source` (when given) lays itself out
    // again.
    void updateAllViews(ScoreEditor* source = nullptr);

    ScoreSession& session() { return session_; }
    const ScoreSession& session() const { return session_; }
    const music::Score& score() const { return session_.score; }
    // The undo history, shared by every view on the document. The document is modified
    // exactly when the history is away from the point it was last saved at.
    ScoreHistory& history() { return session_.history; }
    // The records a save writes.
    QanorDoc records() const { return session_.records(); }

signals:
    void modifiedChanged(bool modified);
    void titleChanged(const QString& title);
    // The document was saved under a new name.
    void pathChanged(const QString& path);
    // Every view except `source` lays itself out again and repaints; with `rebuild`, the score
    // changed under its caret.
    void viewsNeedUpdate(qe::ScoreEditor* source, bool rebuild);
    // What undo and redo can do may have changed.
    void historyChanged();
    // The last view closed: nothing shows the document any more.
    void lastViewClosed();

private:
    QString path_;
    bool modified_ = false;
    ScoreSession session_;
    std::vector<ScoreEditor*> views_;  // not owned
};

}  // namespace qe
