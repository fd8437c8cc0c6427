#include "gui/document_window.h"
#include "gui/document_dialogs.h"

#include <QApplication>
#include <QCloseEvent>

#include "document/score_document.h"
#include "gui/score_view.h"

namespace qe {

DocumentWindow::DocumentWindow(ScoreView* view, QWidget* parent)
    : QMdiSubWindow(parent), view_(view) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view_);
    setWindowIcon(QApplication::windowIcon());
    ScoreDocument* doc = view_->document();
    connect(doc, &ScoreDocument::titleChanged, this, &DocumentWindow::updateTitle);
    connect(doc, &ScoreDocument::modifiedChanged, this, &DocumentWindow::setWindowModified);
    setWindowModified(doc->isModified());
    updateTitle();
}

void DocumentWindow::updateTitle() {
    ScoreDocument* doc = view_->document();
    QString title = doc->title();
    const auto& views = doc->views();
    if (views.size() > 1) {
        const auto it = std::find(views.begin(), views.end(), &view_->controller());
        title += QStringLiteral(":%1").arg(it - views.begin() + 1);
    }
    setWindowTitle(title + QStringLiteral("[*]"));
}

void DocumentWindow::closeUnasked() {
    unasked_ = true;
    close();
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    ScoreDocument* doc = view_->document();
    if (!unasked_ && doc->views().size() == 1 && !saveModifiedDocument(*doc, this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

}  // namespace qe
