#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "document/score_file.h"
#include "edit/history.h"
#include "model/qanor_doc.h"

class QWidget;

namespace qe {

class QanorView;

// One open score document: the score itself, the file it lives in, whether it holds changes
// not yet saved, and the views open on it. The document is the one place a score's content
// is kept between views: when more than one view is open, every edit is written back at once
// and the other views rebuild from it, so no view's edits can be lost to another's.
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
    void onRecoveredDocument(QanorDoc&& recovered, const QString& path);
    // Writes the views' edits into the score, then the score to `path` through a temporary
    // file renamed into place. On success the document is saved there and not modified; on
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

    void addView(QanorView* view);
    void removeView(QanorView* view);
    const std::vector<QanorView*>& views() const { return views_; }
    // Writes the edit tree of a view into the score. Views agree with each other and with the
    // score whenever more than one is open, so any of them will do.
    void commitViews();
    // A view changed the score: the document is modified, and the other views, if any, take
    // the change. The view that made it lays itself out.
    void contentChanged(QanorView* source);
    // Settings of the score changed: every view but `source` (when given) lays itself out
    // again.
    void updateAllViews(QanorView* source = nullptr);

    QanorDoc m_doc;
    // The undo history, shared by every view on the document. The document is modified
    // exactly when the history is away from the point it was last saved at.
    History history;

signals:
    void modifiedChanged(bool modified);
    void titleChanged(const QString& title);
    // The document was saved under a new name.
    void pathChanged(const QString& path);
    // Every view except `source` lays itself out again and repaints; with `rebuild`, it first
    // builds its trees again from the score.
    void viewsNeedUpdate(qe::QanorView* source, bool rebuild);
    // What undo and redo can do may have changed.
    void historyChanged();
    // The last view closed: nothing shows the document any more.
    void lastViewClosed();

private:
    QString path_;
    bool modified_ = false;
    std::vector<QanorView*> views_;  // not owned
};

}  // namespace qe
