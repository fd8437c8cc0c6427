#pragma once

#include <QMdiSubWindow>

namespace qe {

class ScoreView;

// The frame of one score window inside the main window. It opens maximised, shows the
// document's title with the mark of unsaved changes, and before the last window of a
// modified document closes, asks whether to save it.
class DocumentWindow : public QMdiSubWindow {
    Q_OBJECT

public:
    explicit DocumentWindow(ScoreView* view, QWidget* parent = nullptr);

    ScoreView* view() const { return view_; }
    // The document's title, numbered ("标题:2") when it has more than one window.
    void updateTitle();
    // Closes the window without a question: the document has been asked about already.
    void closeUnasked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ScoreView* view_;
    bool unasked_ = false;
};

}  // namespace qe
