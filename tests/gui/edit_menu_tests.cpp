#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMdiArea>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "edit/fragment.h"
#include "gui/commands.h"
#include "gui/document_window.h"
#include "gui/paste_reasons.h"
#include "gui_suites.h"
#include "gui_support.h"
#include "support/notation.h"

namespace qe::gui {

namespace {

std::string trackText(ScoreDocument* doc, int t = 0) {
    return test::formatTrack(
        doc->records().noteTracks().at(static_cast<std::size_t>(t)).content.items);
}

// The syllables of a verse as the document stores them, in record order.
QStringList verseOf(ScoreDocument* doc, std::size_t verse = 0) {
    QStringList texts;
    const QeDocument saved = doc->records();
    const auto& tracks = saved.content.lyrics.items;
    if (verse < tracks.size())
        for (const lyrics& syllable : tracks[verse].content.items)
            texts << QString::fromStdU16String(syllable.text);
    return texts;
}

void press(EditorWindow& ed, const QKeySequence& keys) {
    QTest::keySequence(ed.view(), keys);
}

// The 编辑 menu, undo and redo, the clipboard, lyrics mode and MusicXML import, driven as a
// person drives them: by their shortcuts and menu commands.
class EditMenuTests : public QObject {
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void undoAndRedoStepThroughTypingAndFollowTheSavedState() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        const Commands& c = ed.frame->commands();
        QVERIFY(!c.action("editUndo")->isEnabled());
        QVERIFY(!c.action("editRedo")->isEnabled());
        // One key is a change the moment it is typed, and undoing it is none.
        ed.type("1");
        QVERIFY(doc->isModified());
        c.action("editUndo")->trigger();
        QVERIFY(!doc->isModified());
        ed.type("123");
        QVERIFY(c.action("editUndo")->isEnabled());
        QVERIFY(doc->isModified());
        press(ed, QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(trackText(doc), std::string("1 2 |]"));
        QVERIFY(c.action("editRedo")->isEnabled());
        // Alt+Backspace undoes too, and Ctrl+Y and Ctrl+Shift+Z redo.
        press(ed, QKeySequence(Qt::ALT | Qt::Key_Backspace));
        QCOMPARE(trackText(doc), std::string("1 |]"));
        press(ed, QKeySequence(Qt::CTRL | Qt::Key_Y));
        press(ed, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QCOMPARE(trackText(doc), std::string("1 2 3 |]"));
        QVERIFY(!c.action("editRedo")->isEnabled());

        // Saved here: undoing leaves the saved state, redoing comes back to it.
        QTemporaryDir dir;
        QVERIFY(doc->onSaveDocument(dir.filePath(QStringLiteral("three.qe"))).ok());
        QVERIFY(!doc->isModified());
        c.action("editUndo")->trigger();
        QVERIFY(doc->isModified());
        QVERIFY(ed.frame->activeFrame()->isWindowModified());
        c.action("editRedo")->trigger();
        QVERIFY(!doc->isModified());
        QVERIFY(!ed.frame->activeFrame()->isWindowModified());
        // The caret is back where the step was: typing goes on after the 3.
        ed.type("4");
        QCOMPARE(trackText(doc), std::string("1 2 3 4 |]"));
    }

    void anUndoInOneWindowShowsInTheOther() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        ed.type("1234");
        DocumentWindow* second = ed.frame->onWindowNew();
        QVERIFY(second);
        ed.frame->mdiArea()->setActiveSubWindow(second);
        ed.frame->commands().action("editUndo")->trigger();
        for (DocumentWindow* frame : ed.frame->framesOf(doc))
            QCOMPARE(
                int(frame->view()->controller().layout().tracks().measureNode(0, 0)->childCount()),
                3);
        DocumentWindow* first = ed.frame->framesOf(doc).first();
        ed.frame->mdiArea()->setActiveSubWindow(first);
        ed.frame->commands().action("editRedo")->trigger();
        for (DocumentWindow* frame : ed.frame->framesOf(doc))
            QCOMPARE(
                int(frame->view()->controller().layout().tracks().measureNode(0, 0)->childCount()),
                4);
    }

    void cutCopyAndPasteCarryNotesBetweenDocuments() {
        EditorWindow ed;
        ScoreDocument* from = ed.frame->onFileNew();
        const Commands& c = ed.frame->commands();
        ed.type("1234");
        QVERIFY(!c.action("editCopy")->isEnabled());
        QVERIFY(!c.action("editCut")->isEnabled());
        // Select 2 3 with the mouse.
        ed.drag(ed.at(0, 1), ed.at(0, 3));
        QVERIFY(c.action("editCopy")->isEnabled());
        press(ed, QKeySequence(Qt::CTRL | Qt::Key_C));
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        QVERIFY(mime && mime->hasFormat(QStringLiteral("application/x-qanoredit-fragment")));
        QCOMPARE(mime->text().simplified(), QStringLiteral("2 3"));

        ScoreDocument* to = ed.frame->onFileNew();
        QVERIFY(to != from);
        ed.type("5");
        press(ed, QKeySequence(Qt::CTRL | Qt::Key_V));
        QCOMPARE(trackText(to), std::string("5 2 3 |]"));
        // One paste, one step.
        c.action("editUndo")->trigger();
        QCOMPARE(trackText(to), std::string("5 |]"));

        // Cut takes the notes out and undo puts them back.
        ed.frame->mdiArea()->setActiveSubWindow(ed.frame->framesOf(from).first());
        ed.drag(ed.at(0, 0), ed.at(0, 2));
        press(ed, QKeySequence(Qt::SHIFT | Qt::Key_Delete));
        QCOMPARE(trackText(from), std::string("3 4 |]"));
        QCOMPARE(QGuiApplication::clipboard()->text().simplified(), QStringLiteral("1 2"));
        c.action("editUndo")->trigger();
        QCOMPARE(trackText(from), std::string("1 2 3 4 |]"));
    }

    void wordsTravelWithTheirNotesFromOneEditorWindowToAnother() {
        // Given: two verses under 1 2 3 4 in one window of the editor.
        EditorWindow first;
        ScoreDocument* from = first.frame->onFileNew();
        first.type("1234");
        first.controller().layLyrics(0, 0, 0, {u"天", u"上", u"星", u"星"});
        first.controller().layLyrics(0, 1, 0, {u"Twin-", u"kle", u"lit-", u"tle"});
        // When 2 3 are cut there.
        first.drag(first.at(0, 1), first.at(0, 3));
        press(first, QKeySequence(Qt::CTRL | Qt::Key_X));
        QCOMPARE(trackText(from), std::string("1 4 |]"));
        QCOMPARE(verseOf(from, 0), (QStringList{"天", "星"}));
        QCOMPARE(verseOf(from, 1), (QStringList{"Twin-", "tle"}));
        // Other programs see the words under the notes.
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("2 3\n1: 上 星\n2: kle lit-"));

        // And pasted between the notes of a score in another window.
        EditorWindow second;
        ScoreDocument* to = second.frame->onFileNew();
        second.type("55");
        QTest::keyClick(second.view(), Qt::Key_Left);
        press(second, QKeySequence(Qt::CTRL | Qt::Key_V));
        // Then the words came with their notes.
        QCOMPARE(trackText(to), std::string("5 2 3 5 |]"));
        QCOMPARE(verseOf(to, 0), (QStringList{"上", "星"}));
        QCOMPARE(verseOf(to, 1), (QStringList{"kle", "lit-"}));
        // One undo takes notes and words away.
        second.frame->commands().action("editUndo")->trigger();
        QCOMPARE(trackText(to), std::string("5 5 |]"));
        QCOMPARE(verseOf(to, 0), QStringList());

        // Words in the jianpu text of another program paste with their notes too.
        QGuiApplication::clipboard()->setText(QStringLiteral("6 7\n1：茉莉"));
        press(second, QKeySequence(Qt::CTRL | Qt::Key_V));
        QCOMPARE(trackText(to), std::string("5 6 7 5 |]"));
        QCOMPARE(verseOf(to, 0), (QStringList{"茉", "莉"}));
    }

    void textThatIsNotJianpuIsNotPastedAndTheStatusBarSaysWhy() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        ed.type("1");
        QGuiApplication::clipboard()->setText(QStringLiteral("<html>no notes here</html>"));
        press(ed, QKeySequence(Qt::CTRL | Qt::Key_V));
        QCOMPARE(trackText(doc), std::string("1 |]"));
        QCOMPARE(ed.frame->statusBar()->currentMessage(),
                 QStringLiteral("剪贴板中的内容无法粘贴为简谱：第 1 个字符处不是简谱"));
        // Whatever the reason, a Chinese message holds no English words.
        const char* const refused[] = {
            "5 6\n1: a b c", "5\n1: a\n1: b", "\xff", "qanoredit-fragment 9\n1",
            "qanoredit-fragment 1\n1 2\ntie 0 7", "qanoredit-fragment 2\n1 2\nlyric 0 1 re",
            "qanoredit-fragment 1\n1\nwhat", "qanoredit-fragment 1\n1\nextra 0 zz"};
        for (const char* text : refused) {
            std::string why;
            const std::string given(text);
            const bool read = given.starts_with("qanoredit") ? fromFragmentText(given, &why).has_value()
                                                             : fromJianpuText(given, &why).has_value();
            QVERIFY2(!read, text);
            const QString said = pasteReason(why);
            QVERIFY2(!QString(said).remove(QStringLiteral("UTF-8")).contains(
                         QRegularExpression(QStringLiteral("[A-Za-z]"))),
                     qPrintable(QString::fromStdString(why) + QStringLiteral(" → ") + said));
        }
        // Jianpu text from anywhere else is welcome.
        QGuiApplication::clipboard()->setText(QStringLiteral("5 6 | 7"));
        press(ed, QKeySequence(Qt::CTRL | Qt::Key_V));
        QCOMPARE(trackText(doc), std::string("1 5 6 | 7 |]"));
    }

    void lyricsModeTypesSyllablesUnderTheNotesUntilEscape() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        ed.type("123");
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(ed.view(), Qt::Key_Left);
        const Commands& c = ed.frame->commands();
        QCOMPARE(c.action("lyricsMode")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
        press(ed, QKeySequence(Qt::CTRL | Qt::Key_L));
        QVERIFY2(ed.view()->inLyricsMode(), qPrintable(ed.frame->statusBar()->currentMessage()));
        // Syllables may come from the desktop's input method.
        QVERIFY(ed.view()->testAttribute(Qt::WA_InputMethodEnabled));
        QTest::keyClicks(ed.view(), QStringLiteral("la"));
        QTest::keyClick(ed.view(), Qt::Key_Space);
        QInputMethodEvent chinese;
        chinese.setCommitString(QStringLiteral("茉"));
        QCoreApplication::sendEvent(ed.view(), &chinese);
        // Tab goes on to the next note as the status bar says, not to the next widget.
        QTest::keyClick(ed.view(), Qt::Key_Tab);
        QTest::keyClicks(ed.view(), QStringLiteral("li"));
        QVERIFY(ed.view()->hasFocus());
        QTest::keyClick(ed.view(), Qt::Key_Escape);
        QVERIFY(!ed.view()->inLyricsMode());
        QVERIFY(!ed.view()->testAttribute(Qt::WA_InputMethodEnabled));
        QCOMPARE(verseOf(doc), (QStringList{"la", "茉", "li"}));
        // The notes are as they were: digits typed in lyrics mode are words, not notes.
        QCOMPARE(trackText(doc), std::string("1 2 3 |]"));
        // The words go with undo like any other edit.
        while (c.action("editUndo")->isEnabled() && !verseOf(doc).isEmpty())
            c.action("editUndo")->trigger();
        QCOMPARE(verseOf(doc), QStringList());
        QCOMPARE(trackText(doc), std::string("1 2 3 |]"));
    }

    void importOpensTheScoreAsANewUnsavedDocument() {
        EditorWindow ed;
        const QString source = QStringLiteral(QE_SOURCE_DIR "/tests/musicxml/data/lyrics.musicxml");
        // The command is in the File menu; the file is handed over as its dialog would (the
        // file dialog's own timing is the export tests' business).
        QCOMPARE(ed.frame->commands().action("fileImport")->text(), QStringLiteral("导入 MusicXML(&I)..."));
        // What could not be kept is told in Chinese, kind by kind with its count and first
        // measure; 显示详情 lists every place with its part.
        QString summary, details;
        whenModal<QDialog>([&summary, &details](QDialog* dialog) {
            if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("summary")))
                summary = label->text();
            if (auto* more = dialog->findChild<QPushButton*>(QStringLiteral("more"))) {
                more->click();
                if (auto* text = dialog->findChild<QPlainTextEdit*>(QStringLiteral("details")))
                    details = text->isVisible() ? text->toPlainText() : QString();
            }
            dialog->accept();
        });
        QVERIFY(ed.frame->importMusicXml(source));
        QCOMPARE(summary, QStringLiteral("已略去音符上的歌词已略去：1 处，首见于第 2 小节"));
        QCOMPARE(details, QStringLiteral("已略去音符上的歌词已略去：\n    第 2 小节，Voice"));
        ScoreDocument* doc = ed.doc();
        QVERIFY(doc);
        QVERIFY(doc->isModified());
        QVERIFY(doc->path().isEmpty());
        QVERIFY(doc->score().trackCount() > 0);
        QVERIFY(!verseOf(doc).isEmpty());
        // Undo has nothing of the import to take back: the score is the starting point.
        QVERIFY(!ed.frame->commands().action("editUndo")->isEnabled());
    }

    void aFileThatIsNotMusicXmlIsReportedAndNothingOpens() {
        EditorWindow ed;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("broken.musicxml"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("<score-partwise><part id=\"P1\"><measure>");
        }
        QString said;
        answerMessage(QStringLiteral("确定"), &said);
        QVERIFY(!ed.frame->importMusicXml(path));
        QVERIFY2(said.startsWith(QStringLiteral("无法导入 MusicXML 文件")), qPrintable(said));
        QVERIFY(ed.frame->documents().isEmpty());
    }
};

}  // namespace

QObject* makeEditMenuTests() {
    return new EditMenuTests;
}

}  // namespace qe::gui

#include "edit_menu_tests.moc"
