#include <QAction>
#include <QMdiArea>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "edit/score_editor.h"
#include "gui/document_window.h"
#include "gui_suites.h"
#include "gui_support.h"
#include "support/notation.h"

namespace qe::gui {

namespace {

std::vector<note> trackOf(ScoreDocument* doc, int t = 0) {
    return doc->records().noteTracks().at(static_cast<std::size_t>(t)).content.items;
}

// Typing, the mouse and the view's commands in a score window.
class EditingTests : public QObject {
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void statusPanesFollowTheInputState() {
        EditorWindow ed;
        ed.frame->onFileNew();
        QCOMPARE(ed.frame->statusTexts(), (QStringList{"正常", "中音", "4分音"}));
        ed.type("s");
        QCOMPARE(ed.frame->statusTexts(), (QStringList{"升号", "中音", "4分音"}));
        ed.type("uuuu");  // the octave stops at its highest
        QCOMPARE(ed.frame->statusTexts().at(1), QStringLiteral("极高"));
        ed.type(";");
        QCOMPARE(ed.frame->statusTexts().at(2), QStringLiteral("32分音"));
        // State keys change nothing in the score.
        QVERIFY(!ed.doc()->isModified());
    }

    void typedMelodyLandsInTheScoreAndMarksItModified() {
        EditorWindow ed;
        ed.frame->onFileNew();
        // An input method of the desktop must not see note keys.
        QVERIFY(!ed.view()->testAttribute(Qt::WA_InputMethodEnabled));
        ed.type("1235\n5-\b6");
        QCOMPARE(trackOf(ed.doc()), test::parseTrack("1 2 3 5 | 5 6 |]"));
        QVERIFY(ed.doc()->isModified());
        DocumentWindow* frame = ed.frame->activeFrame();
        QVERIFY(frame->isWindowModified());
        QVERIFY(frame->windowTitle().endsWith(QStringLiteral("[*]")));
    }

    void arrowsMoveTheCaretBetweenNotes() {
        EditorWindow ed;
        ed.frame->onFileNew();
        ed.type("13");
        QTest::keyClick(ed.view(), Qt::Key_Left);
        ed.type("2");
        QTest::keyClick(ed.view(), Qt::Key_Right);
        ed.type("4");
        QCOMPARE(trackOf(ed.doc()), test::parseTrack("1 2 3 4 |]"));
    }

    void dragSelectsAndTheTieCommandTiesTheNotes() {
        EditorWindow ed;
        ed.frame->onFileNew();
        ed.type("123");
        ed.doc()->setModifiedFlag(false);
        ed.drag(ed.at(0, 0), ed.at(0, 2));
        QVERIFY(ed.controller().caret.selectionShown);
        ed.frame->commands().action("addTie")->trigger();
        // A drag from the first note to the third ties the first to the second.
        expectArcs(ed, 1);
        const QeDocument saved = ed.doc()->records();
        const Format& arc = saved.formatRecords().at(0);
        QCOMPARE(int(arc.type), int(Format::kArc));
        QCOMPARE(int(arc.from.itemIndex), 0);
        QCOMPARE(int(arc.to.itemIndex), 1);
        QVERIFY(ed.doc()->isModified());
        // The same command on the same selection takes the tie away again.
        ed.frame->commands().action("addTie")->trigger();
        expectArcs(ed, 0);
    }

    void plainClickTiesNothing() {
        EditorWindow ed;
        ed.frame->onFileNew();
        ed.type("123");
        ed.doc()->setModifiedFlag(false);
        QTest::mouseClick(ed.view()->viewport(), Qt::LeftButton, {}, ed.pixelOf(ed.at(0, 0)));
        ed.frame->commands().action("addTie")->trigger();
        QCOMPARE(int(ed.controller().score().ties().size()), 0);
        QVERIFY(!ed.doc()->isModified());
    }

    void modeCommandsSwitchAndGreyTheModeShown() {
        EditorWindow ed;
        ed.frame->onFileNew();
        ed.type("12");
        const Commands& c = ed.frame->commands();
        QCOMPARE(ed.view()->mode(), int(ScoreEditor::kPageMode));
        QVERIFY(c.action("viewPageMode")->isChecked() && !c.action("viewPageMode")->isEnabled());
        QVERIFY(c.action("viewScrollMode")->isEnabled());
        c.action("viewScrollMode")->trigger();
        QCOMPARE(ed.view()->mode(), int(ScoreEditor::kScrollMode));
        QVERIFY(c.action("viewScrollMode")->isChecked() && !c.action("viewScrollMode")->isEnabled());
        QVERIFY(c.action("viewPageMode")->isEnabled());
        // What was typed before the switch is kept; typing goes on in the new mode.
        ed.type("3");
        c.action("viewPageMode")->trigger();
        QCOMPARE(ed.view()->mode(), int(ScoreEditor::kPageMode));
        QCOMPARE(trackOf(ed.doc()).size(), std::size_t(4));
    }

    void caretIsAPixelWideAndKeptInSightWithAMargin() {
        EditorWindow ed;
        ed.frame->resize(700, 500);
        ed.frame->onFileNew();
        ed.frame->commands().action("viewScrollMode")->trigger();
        QCOMPARE(ed.view()->horizontalScrollBar()->value(), 0);
        const int width = ed.view()->viewport()->width();
        for (int i = 0; i < 12; ++i)
            ed.type("1234567\n");
        const QRect caret = ed.view()->caretRect();
        QCOMPARE(caret.width(), 1);
        QVERIFY(caret.height() > 10);
        // The strip scrolled along: the caret stands 5 pixels inside the right edge.
        QVERIFY(ed.view()->horizontalScrollBar()->value() > 0);
        QCOMPARE(caret.right() + 1, width - ScoreView::kCaretMargin);
        // The mapping at 96 dots per inch: 15 units a pixel, y pointing up, scroll included.
        const QPoint pixel(40, 30);
        const Point logical = ed.view()->toLogical(pixel);
        QCOMPARE(logical.x, (40 + ed.view()->horizontalScrollBar()->value()) * 15);
        QCOMPARE(logical.y, -30 * 15);
        QCOMPARE(ed.view()->toPixel(logical), pixel);
    }

    void clickOffTheNotesHidesTheCaretAndTypingDoesNothing() {
        EditorWindow ed;
        ed.frame->onFileNew();
        ed.type("1");
        ed.doc()->setModifiedFlag(false);
        QVERIFY(!ed.view()->caretRect().isEmpty());
        QTest::mouseClick(ed.view()->viewport(), Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY(ed.view()->caretRect().isEmpty());
        ed.type("5");
        QCOMPARE(trackOf(ed.doc()), test::parseTrack("1 |]"));
        QVERIFY(!ed.doc()->isModified());
    }

    void twoWindowsOnOneDocumentLoseNoEdit() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        ed.type("12");
        DocumentWindow* second = ed.frame->onWindowNew();
        QVERIFY(second);
        QCOMPARE(ed.frame->framesOf(doc).size(), 2);
        QVERIFY(second->windowTitle().contains(QStringLiteral(":2")));
        // The new window shows what the first one typed, and adds its own.
        QCOMPARE(
            int(second->view()->controller().layout().tracks().measureNode(0, 0)->childCount()), 2);
        ed.type("34");
        DocumentWindow* first = ed.frame->framesOf(doc).first();
        ed.frame->mdiArea()->setActiveSubWindow(first);
        ed.type("5");
        // Each window shows the score as the other left it.
        for (DocumentWindow* frame : ed.frame->framesOf(doc))
            QCOMPARE(
                int(frame->view()->controller().layout().tracks().measureNode(0, 0)->childCount()),
                5);
        // Saved from either window, the file holds the edits of both.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("both.qe"));
        QVERIFY(doc->onSaveDocument(path).ok());
        QeDocument saved;
        QVERIFY(loadScore(path, saved).ok());
        std::vector<int> degrees;
        for (const note& n : saved.noteTracks().at(0).content.items)
            if (!n.isBarLine())
                degrees.push_back(n.degree());
        std::sort(degrees.begin(), degrees.end());
        QCOMPARE(degrees, (std::vector<int>{1, 2, 3, 4, 5}));
        // Closing one window leaves the other with every edit.
        second->closeUnasked();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(ed.frame->framesOf(doc).size(), 1);
        QCOMPARE(trackOf(doc).size(), std::size_t(6));
    }

private:
    static void expectArcs(EditorWindow& ed, int count) {
        QCOMPARE(int(ed.controller().score().ties().size()), count);
        QCOMPARE(int(ed.controller().layout().arcs().size()), count);
        QCOMPARE(int(ed.doc()->records().formatRecords().size()), count);
    }
};

}  // namespace

QObject* makeEditingTests() {
    return new EditingTests;
}

}  // namespace qe::gui

#include "editing_tests.moc"
