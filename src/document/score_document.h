#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "document/score_file.h"
#include "edit/score_session.h"
#include "records/qe_document.h"

namespace qe {

class ScoreEditor;

// One open score document: the score with its history and layouts (the session), the file it
// lives in, whether it holds changes not yet saved, and the editors open on it. Every editor
// edits the one score, so a save always holds what every window shows. It shows nothing
// itself: the windows and their dialogs work on it.
class ScoreDocument : public QObject {
    Q_OBJECT

public:
    explicit ScoreDocument(QObject* parent = nullptr);
    ~ScoreDocument() override;

    // Fills the empty document as a new score named `title`.
    void onNewDocument(const QString& title);
    // Reads a score file. On failure the document stays as it was (empty for a new one):
    // nothing half-read is kept, and the file is not touched.
    FileResult onOpenDocument(const QString& path);
    // Takes a score recovered after a crash: it belongs to `path` (empty for a score never
    // saved) and holds changes that file does not have, so it is modified until saved there.
    // Its undo history is gone with the editor that made it.
    void onRecoveredDocument(const QeDocument& recovered, const QString& path);
    // Takes a score imported from another format: new, unsaved, and modified. It is named
    // after the file it came from (`source`) until it has a title or a file of its own.
    void onImportedDocument(const QeDocument& imported, const QString& source = {});
    // Writes the score to `path` through a temporary file renamed into place. On success the
    // document is saved there and not modified; on failure it stays modified and the old file
    // keeps its content.
    FileResult onSaveDocument(const QString& path);

    // Replaces the title block, key and time signature, or the format settings, as one
    // undoable step; nothing when they are what the score has.
    void changeTitleBlock(const doc_header& header);
    void changeFormat(const format_track_header& format);

    QString path() const { return path_; }
    // The main title of the score, or when it has none the name of its file, or of the file it
    // was imported from.
    QString title() const;
    // Where a first save proposes to put the score: the folder of the file it was imported
    // from, else the home folder.
    QString proposedFolder() const;
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
    QeDocument records() const { return session_.records(); }

signals:
    void modifiedChanged(bool modified);
    void titleChanged(const QString& title);
    // The document was saved under a new name.
    void pathChanged(const QString& path);
    // Every view except `source` lays itself out again and repaints; with `changed`, the
    // score changed under its caret.
    void viewsNeedUpdate(qe::ScoreEditor* source, bool changed);
    // What undo and redo can do may have changed.
    void historyChanged();
    // The last view closed: nothing shows the document any more.
    void lastViewClosed();

private:
    QString path_;
    QString importedFrom_;
    bool modified_ = false;
    ScoreSession session_;
    std::vector<ScoreEditor*> views_;  // not owned
};

}  // namespace qe
