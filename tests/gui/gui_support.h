#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "document/score_document.h"
#include "edit/score_editor.h"
#include "engrave/measure.h"
#include "gui/main_window.h"
#include "gui/score_view.h"
#include "support/qt/test_fonts.h"

namespace qe::gui {

// The answers still waiting for their dialog. A test whose dialog never came must not leave
// its answer to the dialogs of the next test.
inline QObject& pendingAnswers() {
    static QObject* const answers = new QObject;
    return *answers;
}

inline void dropPendingAnswers() {
    qDeleteAll(pendingAnswers().findChildren<QTimer*>(Qt::FindDirectChildrenOnly));
}

// Answers the next modal dialog of type T from inside its own event loop: a test opens a
// dialog through the real command, and `answer` looks at it and closes it.
template <class T>
void whenModal(std::function<void(T*)> answer) {
    auto* timer = new QTimer(&pendingAnswers());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        answer(dialog);
    });
    timer->start();
}

// Chooses `path` in the next file dialog and accepts it, running `next` first (to answer what
// comes after the dialog). The dialog reads its folder in the background and may put its first
// name back when that is done, so the choice waits for the folder to be read (at most two
// seconds); a dialog still open a few seconds after the choice is rejected, so that a test that
// goes wrong fails at once instead of waiting for its time limit. Only the test of the real
// dialog uses this: the others hand their paths over directly.
inline void chooseFile(const QString& path, std::function<void()> next = {}) {
    whenModal<QFileDialog>([path, next](QFileDialog* dialog) {
        // The dialog names its first file again once its folder is read: wait for that (the
        // signal may have come already: then the wait ends after a second), then choose.
        if (auto* model = dialog->findChild<QFileSystemModel*>()) {
            QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
            loaded.wait(1000);
        }
        // Typed into the name field, as a person would.
        dialog->setDirectory(QFileInfo(path).absolutePath());
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(QFileInfo(path).fileName());
        else
            dialog->selectFile(path);
        if (next)
            next();
        QPointer<QFileDialog> guard(dialog);
        QTimer::singleShot(5000, dialog, [guard] {
            if (guard && guard->isVisible())
                guard->reject();
        });
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// Clicks the button of a message box that carries `text`; remembers what the box said.
inline void answerMessage(const QString& text, QString* said = nullptr) {
    whenModal<QMessageBox>([text, said](QMessageBox* box) {
        if (said)
            *said = box->text();
        for (QAbstractButton* button : box->buttons())
            if (button->text() == text) {
                button->click();
                return;
            }
        box->reject();
    });
}

// The editor's main window, shown on the offscreen screen, and what a test does with it.
class EditorWindow {
public:
    EditorWindow() : frame(std::make_unique<MainWindow>(test::fonts())) {
        frame->show();
        frame->activateWindow();
        (void)QTest::qWaitForWindowExposed(frame.get());
    }
    ~EditorWindow() {
        dropPendingAnswers();
        // Nothing to ask about when the window goes.
        for (ScoreDocument* doc : frame->documents())
            doc->setModifiedFlag(false);
    }

    ScoreView* view() const { return frame->activeView(); }
    ScoreEditor& controller() const { return view()->controller(); }
    ScoreDocument* doc() const { return frame->activeDocument(); }

    // Types text into the score window as keys, with Enter for '\n' and Backspace for '\b'.
    void type(const QString& keys) const {
        ScoreView* target = view();
        target->setFocus();
        for (QChar c : keys) {
            if (c == QLatin1Char('\n'))
                QTest::keyClick(target, Qt::Key_Return);
            else if (c == QLatin1Char('\b'))
                QTest::keyClick(target, Qt::Key_Backspace);
            else
                QTest::keyClick(target, c.toLatin1());
        }
    }

    // Stop `e` of measure `m` of track `t` (its element count for the measure's end).
    Position at(int m, int e, int t = 0) const { return positionAt(controller().score(), t, m, e); }

    // A point on a caret position, in the view's viewport pixels: on the left part of a note,
    // which stands for the caret before it.
    QPoint pixelOf(const Position& at) const {
        const Rect r = controller().positionRect(at);
        return view()->toPixel({(3 * r.left + r.right) / 4, (r.top + r.bottom) / 2});
    }

    // Presses on one position, moves to another and releases there, as a drag does.
    void drag(const Position& from, const Position& to) const {
        QWidget* port = view()->viewport();
        QTest::mousePress(port, Qt::LeftButton, {}, pixelOf(from));
        QTest::mouseMove(port, pixelOf(to));
        QTest::mouseRelease(port, Qt::LeftButton, {}, pixelOf(to));
    }

    std::unique_ptr<MainWindow> frame;
};

}  // namespace qe::gui
