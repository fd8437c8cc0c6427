#include "shell/child_frame.h"

#include <QApplication>
#include <QCloseEvent>

#include "document/cqe_doc.h"
#include "shell/cqe_view.h"

namespace qe {

CChildFrame::CChildFrame(CQEView* view, QWidget* parent) : QMdiSubWindow(parent), view_(view) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view_);
    setWindowIcon(QApplication::windowIcon());
    CQEDoc* doc = view_->document();
    connect(doc, &CQEDoc::titleChanged, this, &CChildFrame::updateTitle);
    connect(doc, &CQEDoc::modifiedChanged, this, &CChildFrame::setWindowModified);
    setWindowModified(doc->isModified());
    updateTitle();
}

void CChildFrame::updateTitle() {
    CQEDoc* doc = view_->document();
    QString title = doc->title();
    const auto& views = doc->views();
    if (views.size() > 1) {
        const auto it = std::find(views.begin(), views.end(), &view_->controller());
        title += QStringLiteral(":%1").arg(it - views.begin() + 1);
    }
    setWindowTitle(title + QStringLiteral("[*]"));
}

void CChildFrame::closeUnasked() {
    unasked_ = true;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    CQEDoc* doc = view_->document();
    if (!unasked_ && doc->views().size() == 1 && !doc->saveModified(this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

}  // namespace qe
