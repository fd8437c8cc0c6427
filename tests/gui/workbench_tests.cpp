#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSet>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "music/note_marks.h"
#include "edit/chord_symbol_entry.h"
#include "edit/input_method.h"
#include "edit/lyrics_entry.h"
#include "gui/commands.h"
#include "gui/document_dialogs.h"
#include "gui/document_window.h"
#include "gui/export_command.h"
#include "gui/key_guide.h"
#include "gui/measure_check_dialog.h"
#include "gui/measure_mark_dialog.h"
#include "gui/title_settings_dialog.h"
#include "gui/note_input_bar.h"
#include "gui/playback_controls.h"
#include "gui/view_keys.h"
#include "gui_suites.h"
#include "gui_support.h"
#include "support/notation.h"

namespace qe::gui {

namespace {

std::string trackText(ScoreDocument* doc, int t = 0) {
    return test::formatTrack(
        doc->records().noteTracks().at(static_cast<std::size_t>(t)).content.items);
}

// A new score with the notes typed into it.
ScoreDocument* typed(EditorWindow& ed, const QString& keys) {
    ScoreDocument* doc = ed.frame->onFileNew();
    ed.type(keys);
    return doc;
}

QString measures(int count, const QString& each = QStringLiteral("1234")) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += each + QLatin1Char('\n');
    return text;
}

void key(EditorWindow& ed, int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(ed.view(), static_cast<Qt::Key>(k), modifiers);
}

Position caret(EditorWindow& ed) {
    return *ed.controller().caret.at;
}

// How many pixels of a region of an image carry a colour close to `tint`.
int tinted(const QImage& image, const QRect& area, const QColor& tint) {
    int count = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - tint.red()) < 12 && std::abs(c.green() - tint.green()) < 12 &&
                     std::abs(c.blue() - tint.blue()) < 12;
        }
    return count;
}

// The window a musician works in all day: moving and selecting by keys, the context menu, the
// measure check, the key guide and note-input toolbar, zoom, and naming imported scores.
class WorkbenchTests : public QObject {
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void everyNavigationKeyMovesTheCaret() {
        EditorWindow ed;
        ScoreDocument* doc = typed(ed, measures(60));
        const int last = doc->score().measureCount(0) - 1;
        key(ed, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(caret(ed), ed.at(0, 0));
        key(ed, Qt::Key_End);
        const Position lineEnd = caret(ed);
        QVERIFY(lineEnd.measure > 0 && lineEnd.measure < last);
        QCOMPARE(lineEnd.entry, 4);
        key(ed, Qt::Key_Home);
        QCOMPARE(caret(ed), ed.at(0, 0));
        const int top = ed.controller().caret.top;
        key(ed, Qt::Key_Down);
        QCOMPARE(caret(ed), ed.at(lineEnd.measure + 1, 0));
        QVERIFY(ed.controller().caret.top < top);
        key(ed, Qt::Key_Up);
        QCOMPARE(caret(ed), ed.at(0, 0));
        key(ed, Qt::Key_PageDown);
        const int page = ed.view()->viewport()->height() * ScoreView::kUnitsPerPixel;
        const int moved = top - ed.controller().caret.top;
        QVERIFY2(moved > page / 2 && moved < page * 3 / 2, qPrintable(QString::number(moved)));
        key(ed, Qt::Key_PageUp);
        QCOMPARE(caret(ed), ed.at(0, 0));
        key(ed, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(caret(ed), positionAt(doc->score(), 0, last, stopCount(doc->score().measure(0, last))));
        // The caret is in sight after each move.
        QVERIFY(ed.view()->viewport()->rect().intersects(ed.view()->caretRect()));
    }

    void deleteRemovesWhatFollowsTheCaretAsOneStep() {
        EditorWindow ed;
        ScoreDocument* doc = typed(ed, QStringLiteral("1s23\n45\n"));
        key(ed, Qt::Key_Home, Qt::ControlModifier);
        key(ed, Qt::Key_Right);
        key(ed, Qt::Key_Delete);
        QCOMPARE(trackText(doc), std::string("1 3 | 4 5 | |]"));
        key(ed, Qt::Key_End);
        key(ed, Qt::Key_Home);
        key(ed, Qt::Key_Right);
        key(ed, Qt::Key_Right);
        key(ed, Qt::Key_Delete);  // at the bar line: the measures merge
        QCOMPARE(trackText(doc), std::string("1 3 4 5 | |]"));
        ed.frame->commands().action("editUndo")->trigger();
        QCOMPARE(trackText(doc), std::string("1 3 | 4 5 | |]"));
        ed.frame->commands().action("editUndo")->trigger();
        QCOMPARE(trackText(doc), std::string("1 #2 3 | 4 5 | |]"));
    }

    void shiftSelectionThenCutAndSelectAllThenCopy() {
        EditorWindow ed;
        ScoreDocument* doc = typed(ed, QStringLiteral("123\n456\n"));
        key(ed, Qt::Key_Home, Qt::ControlModifier);
        key(ed, Qt::Key_Right);
        key(ed, Qt::Key_Right, Qt::ShiftModifier);
        key(ed, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(ed.frame->commands().action("editCut")->isEnabled());
        QTest::keySequence(ed.view(), QKeySequence(QStringLiteral("Ctrl+X")));
        QCOMPARE(trackText(doc), std::string("1 | 4 5 6 | |]"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("2 3"));
        // Select-all has a key of its own, shown in the 编辑 menu, that no other command has.
        QAction* all = ed.frame->commands().action("editSelectAll");
        QVERIFY(!all->shortcut().isEmpty());
        QVERIFY(ed.frame->menuBar()->actions().size() > 1);
        QTest::keySequence(ed.view(), all->shortcut());
        QVERIFY(ed.view()->canCutOrCopy());
        QTest::keySequence(ed.view(), QKeySequence(QStringLiteral("Ctrl+C")));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1 | 4 5 6 |"));
        // Shift+click extends a selection from the caret.
        key(ed, Qt::Key_Home, Qt::ControlModifier);
        QTest::mouseClick(ed.view()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          ed.pixelOf(ed.at(1, 2)));
        QTest::keySequence(ed.view(), QKeySequence(QStringLiteral("Ctrl+C")));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1 | 4 5"));
    }

    void noTwoCommandsShareAKey() {
        // Every key of the window is a row of the command table: menu commands through their
        // actions, the score window's own keys (caret moves, Esc, chord tones) directly.
        EditorWindow ed;
        QSet<QString> seen;
        int keys = 0;
        for (const Commands::Entry& entry : ed.frame->commands().all()) {
            QList<QKeySequence> bound;
            if (entry.action)
                bound = entry.action->shortcuts();
            else if (entry.row->keys)
                for (const QString& k : QString::fromLatin1(entry.row->keys).split(u';'))
                    bound << QKeySequence(k, QKeySequence::PortableText);
            for (const QKeySequence& k : bound) {
                const QString name = k.toString(QKeySequence::PortableText);
                QVERIFY2(!name.isEmpty() && !seen.contains(name), qPrintable(name));
                seen.insert(name);
                ++keys;
            }
        }
        QVERIFY(keys > 60);
        QVERIFY(seen.contains(QStringLiteral("Ctrl+A")));  // the tie keeps it
        QVERIFY(seen.contains(QStringLiteral("Shift+Left")));
        QVERIFY(seen.contains(QStringLiteral("Ctrl+Alt+7")));
        QVERIFY(seen.contains(QStringLiteral("F5")));
        // No mode key takes a key away from note entry's table or from another mode key.
        for (std::span<const ModeKey> table : {LyricsEntry::keys(), ChordSymbolEntry::keys()}) {
            QSet<char32_t> mode;
            for (const ModeKey& k : table) {
                QVERIFY(!mode.contains(k.key));
                mode.insert(k.key);
            }
        }
    }

    void everyMarkOfTheNotationIsACommandWithAKey() {
        EditorWindow ed;
        ScoreDocument* doc = typed(ed, QStringLiteral("123\n"));
        for (const music::NoteMark& mark : music::noteMarks()) {
            QAction* action = ed.frame->commands().action(
                (std::string("mark.") + mark.name).c_str());
            QCOMPARE(action->shortcut(), QKeySequence(QString::fromLatin1(mark.shortcut)));
            QVERIFY(ed.frame->menu(CommandMenu::Note)->actions().contains(action));
        }
        // The tenuto line by its key, on the note before the caret, and off again.
        key(ed, Qt::Key_Home, Qt::ControlModifier);
        key(ed, Qt::Key_Right);
        QTest::keySequence(ed.view(), QKeySequence(QStringLiteral("Ctrl+Shift+N")));
        QCOMPARE(doc->score().entry(0, {0, 0}).extras().articulations, articulation::kTenuto);
        QTest::keySequence(ed.view(), QKeySequence(QStringLiteral("Ctrl+Shift+N")));
        QCOMPARE(doc->score().entry(0, {0, 0}).extras().articulations, 0u);
    }

    void theRightClickMenuOffersTheEditingCommands() {
        EditorWindow ed;
        typed(ed, QStringLiteral("123\n"));
        QContextMenuEvent event(QContextMenuEvent::Mouse, ed.pixelOf(ed.at(0, 1)),
                                ed.view()->viewport()->mapToGlobal(ed.pixelOf(ed.at(0, 1))));
        QApplication::sendEvent(ed.view()->viewport(), &event);
        QMenu* menu = ed.frame->contextMenu();
        QTRY_VERIFY(menu->isVisible());
        QStringList texts;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                texts << a->text().section(QLatin1Char('('), 0, 0);
        QCOMPARE(texts, (QStringList{"剪切", "复制", "粘贴", "删除", "弧线", "跳房子", "歌词"}));
        menu->hide();
        QCOMPARE(caret(ed), ed.at(0, 1));  // the caret went where the click was
    }

    void tieAndBracketWithoutASelectionSayWhy() {
        EditorWindow ed;
        ScoreDocument* doc = typed(ed, QStringLiteral("123\n"));
        bool asked = false;
        whenModal<QDialog>([&asked](QDialog* d) {
            asked = true;
            d->reject();
        });
        ed.frame->commands().action("addVolta")->trigger();
        QVERIFY(ed.frame->statusBar()->currentMessage().contains(QStringLiteral("请先选中")));
        ed.frame->statusBar()->clearMessage();
        ed.frame->commands().action("addTie")->trigger();
        QVERIFY(ed.frame->statusBar()->currentMessage().contains(QStringLiteral("请先选中")));
        QTest::qWait(50);
        QVERIFY(!asked);
        QCOMPARE(trackText(doc), std::string("1 2 3 | |]"));
    }

    void aMeasureThatDoesNotAddUpIsTintedNamedAndListed() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        doc_header header = doc->score().header();
        header.timeNumerator = 3;
        doc->changeTitleBlock(header);
        ed.type(QStringLiteral("123\n1--0\n5--\n"));
        ScoreView* view = ed.view();
        view->viewport()->repaint();
        const QImage shown = view->viewport()->grab().toImage();
        const Rect m = ed.controller().positionRect(positionAt(doc->score(), 0, 1, 0));
        const QRect measure(view->toPixel({m.left, m.top}), QSize(40, 10));
        QVERIFY(tinted(shown, measure.adjusted(0, -20, 0, 20), ScoreView::misfitColor()) > 20);
        QCOMPARE(tinted(shown, view->viewport()->rect(), ScoreView::misfitColor()) > 0, true);
        // Named in the status bar while the caret is in it.
        view->goToMeasure(0, 1);
        QCOMPARE(ed.frame->measureStatusText(), QStringLiteral("第2小节多了1拍"));
        view->goToMeasure(0, 0);
        QCOMPARE(ed.frame->measureStatusText(), QString());
        // Listed, and a line takes the caret there.
        QDialog* list = ed.frame->onCheckMeasures();
        auto* items = list->findChild<QListWidget*>();
        QCOMPARE(items->count(), 1);
        QVERIFY(items->item(0)->text().startsWith(QStringLiteral("第2小节（第1声部）：多了1拍")));
        static_cast<MeasureCheckDialog*>(list)->goTo(0);
        QCOMPARE(caret(ed), ed.at(1, 0));
        list->close();
        // Never on paper.
        QTemporaryDir dir;
        exportFromWindow(*view, dir.filePath(QStringLiteral("page.png")), 90);
        const QImage page(dir.filePath(QStringLiteral("page_1-1.png")));
        QVERIFY(!page.isNull());
        QCOMPARE(tinted(page, page.rect(), ScoreView::misfitColor()), 0);
    }

    // After a pickup the first full measure is measure 1; going to a listed measure moves the
    // list off it, and with nothing listed there is nowhere to go.
    void theCheckNumbersAsPrintedAndStandsClearOfTheMeasureItGoesTo() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        ed.type(QStringLiteral("5\n1234\n1234\n5671-\n1234\n"));
        ScoreView* view = ed.view();
        view->goToMeasure(0, 3);
        QCOMPARE(ed.frame->measureStatusText(), QStringLiteral("第3小节多了1拍"));
        QDialog* list = ed.frame->onCheckMeasures();
        auto* items = list->findChild<QListWidget*>();
        QCOMPARE(items->count(), 1);
        QVERIFY(items->item(0)->text().startsWith(QStringLiteral("第3小节（第1声部）")));
        const QRect measure = view->measureRect(0, 3);
        QVERIFY(!measure.isEmpty());
        const QRect onScreen(view->viewport()->mapToGlobal(measure.topLeft()), measure.size());
        list->move(onScreen.topLeft() - QPoint(10, 10));
        QVERIFY(list->frameGeometry().intersects(onScreen));
        static_cast<MeasureCheckDialog*>(list)->goTo(0);
        QCOMPARE(caret(ed), ed.at(3, 0));
        QVERIFY(!list->frameGeometry().intersects(onScreen));
        list->close();
        // Mended: nothing listed, 转到 disabled.
        view->goToMeasure(0, 3);
        QTest::keyClick(view, Qt::Key_Delete);
        QDialog* clean = ed.frame->onCheckMeasures();
        QCOMPARE(clean->findChild<QListWidget*>()->count(), 0);
        for (QPushButton* button : clean->findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("转到"))
                QVERIFY(!button->isEnabled());
        clean->close();
        (void)doc;
    }

    void theKeyGuideListsEveryKeyTheEditorTakes() {
        EditorWindow ed;
        ed.frame->onFileNew();
        const QList<KeyGuideRow> rows = keyGuideRows(ed.frame->commands());
        const auto listed = [&rows](const QString& keys) {
            for (const KeyGuideRow& row : rows)
                if (row.keys == keys)
                    return true;
            return false;
        };
        for (const InputMethod::Key& k : InputMethod::keys())
            QVERIFY2(listed(QString::fromUtf16(k.keyName)), qPrintable(QString::fromUtf16(k.keyName)));
        for (const CaretKey& k : caretKeys())
            QVERIFY(listed(QString::fromUtf8(k.keyName)));
        for (std::span<const ModeKey> table : {LyricsEntry::keys(), ChordSymbolEntry::keys()})
            for (const ModeKey& k : table)
                QVERIFY2(listed(QString::fromUtf8(k.keyName)), k.keyName);
        for (const Commands::Entry& entry : ed.frame->commands().all())
            if (entry.action && !entry.action->shortcuts().isEmpty())
                QVERIFY2(listed(entry.action->shortcuts().first().toString(QKeySequence::NativeText)) ||
                             std::any_of(rows.begin(), rows.end(),
                                         [&](const KeyGuideRow& r) {
                                             return r.keys.startsWith(entry.action->shortcuts().first().toString(
                                                 QKeySequence::NativeText));
                                         }),
                         qPrintable(entry.action->text()));
        QStringList groups;
        for (const KeyGuideRow& row : rows)
            if (!groups.contains(row.group))
                groups << row.group;
        for (const char* group : {"音符", "八度", "时值", "变音记号", "记号", "小节线", "编辑",
                                  "选择", "歌词", "播放"})
            QVERIFY2(groups.contains(QString::fromUtf8(group)), group);
        // F1 opens it.
        QTest::keyClick(ed.view(), Qt::Key_F1);
        QTRY_VERIFY(ed.frame->findChild<KeyGuide*>() && ed.frame->findChild<KeyGuide*>()->isVisible());
        ed.frame->findChild<KeyGuide*>()->close();
    }

    // Each menu key the guide lists, typed in the score window, runs the command its row names
    // and no other (a key given to two commands does nothing; one the window takes before the
    // menus see it does something else); each caret key moves the caret as its row says. The
    // commands' own work is taken off, so that the dialogs some open do not wait.
    void everyMenuAndCaretKeyOfTheGuideDoesWhatItsRowSays() {
        EditorWindow ed;
        ed.frame->onFileNew();
        ed.type(QStringLiteral("1 2 3 4 | 5 6 "));
        QStringList fired;
        int typed = 0;
        for (const Commands::Entry& entry : ed.frame->commands().all()) {
            if (!entry.action)
                continue;
            QObject::disconnect(entry.action, &QAction::triggered, nullptr, nullptr);
            QObject::disconnect(entry.action, &QAction::toggled, nullptr, nullptr);
            const QString id = QString::fromUtf8(entry.row->id);
            QObject::connect(entry.action, &QAction::triggered, [&fired, id] { fired << id; });
        }
        for (const Commands::Entry& entry : ed.frame->commands().all()) {
            if (!entry.action || !entry.action->isEnabled())
                continue;
            for (const QKeySequence& keys : entry.action->shortcuts()) {
                fired.clear();
                ed.view()->setFocus();
                QTest::keySequence(ed.view(), keys);
                QCOMPARE(fired, QStringList{QString::fromUtf8(entry.row->id)});
                ++typed;
            }
        }
        QVERIFY2(typed >= 30, qPrintable(QString::number(typed)));

        // The caret keys move the caret as their rows say, from the middle of the score.
        ed.type(QStringLiteral("7 1' | 2' 3' 4' 5' |\n6 5 4 3 | 2 1 - - |]"));
        const Position middle{0, 1, 2, false};
        for (const CaretKey& k : caretKeys()) {
            ed.controller().setCaret(middle);
            ed.controller().moveCaret(k.move, false, ed.view()->height());
            const Position expected = *ed.controller().caret.at;
            ed.controller().setCaret(middle);
            QTest::keyClick(ed.view(), k.key, k.control ? Qt::ControlModifier : Qt::NoModifier);
            QVERIFY2(*ed.controller().caret.at == expected, k.keyName);
        }
    }

    void theNoteInputToolbarFollowsTheKeysAndTypesAsThey() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        NoteInputBar* bar = ed.frame->noteInputBar();
        QVERIFY(bar->actionFor(U'j')->isChecked());
        ed.type(QStringLiteral("k"));
        QVERIFY(bar->actionFor(U'k')->isChecked());
        QVERIFY(!bar->actionFor(U'j')->isChecked());
        ed.type(QStringLiteral("s"));
        QVERIFY(bar->actionFor(U's')->isChecked());
        ed.type(QStringLiteral("u"));
        QVERIFY(bar->actionFor(U'u')->isChecked());
        QVERIFY(bar->actionFor(U'u')->toolTip().contains(QStringLiteral("U")));
        ed.type(QStringLiteral("1"));
        QVERIFY(!bar->actionFor(U's')->isChecked());  // an accidental is for one note
        bar->actionFor(U'l')->trigger();
        QCOMPARE(ed.controller().input.duration, 2);
        QVERIFY(bar->actionFor(U'l')->isChecked());
        QVERIFY(!bar->actionFor(U'k')->isChecked());
        ed.type(QStringLiteral("2"));
        bar->actionFor(U'-')->trigger();
        bar->actionFor(InputMethod::kEnter)->trigger();
        QCOMPARE(trackText(doc), std::string("#1'_ 2'__ - | |]"));
    }

    void zoomKeepsClicksOnTheirNotesAndCentresThePage() {
        EditorWindow ed;
        ScoreDocument* doc = typed(ed, QStringLiteral("1234\n5671\n"));
        (void)doc;
        for (double zoom : {0.5, 1.0, 1.75}) {
            ed.view()->setZoom(zoom);
            QCOMPARE(ed.view()->zoom(), zoom);
            QTest::mouseClick(ed.view()->viewport(), Qt::LeftButton, {}, ed.pixelOf(ed.at(1, 2)));
            QCOMPARE(caret(ed), ed.at(1, 2));
            QTest::mouseClick(ed.view()->viewport(), Qt::LeftButton, {}, ed.pixelOf(ed.at(0, 1)));
            QCOMPARE(caret(ed), ed.at(0, 1));
        }
        // At half size the page stands in the middle of the window.
        ed.view()->setZoom(0.5);
        const int pageWidth = qRound(std::abs(ed.controller().currentRoot().style.width) * 0.5 /
                                     ScoreView::kUnitsPerPixel);
        const int left = ed.view()->toPixel({0, 0}).x();
        const int right = ed.view()->viewport()->width() - (left + pageWidth);
        QVERIFY2(std::abs(left - right) <= 2, qPrintable(QStringLiteral("%1 %2").arg(left).arg(right)));
        // Keys and the wheel zoom the window in front, and each window keeps its own.
        QTest::keySequence(ed.view(), QKeySequence(QStringLiteral("Ctrl+0")));
        QCOMPARE(ed.view()->zoom(), 1.0);
        QTest::keySequence(ed.view(), QKeySequence(QStringLiteral("Ctrl+=")));
        QVERIFY(ed.view()->zoom() > 1.0);
        ScoreView* first = ed.view();
        ed.frame->onWindowNew();
        QCOMPARE(ed.view()->zoom(), 1.0);
        QVERIFY(first->zoom() > 1.0);
        ed.frame->commands().action("viewFitWidth")->trigger();
        QVERIFY(ed.view()->leftOffset() <= ScoreView::kCaretMargin + 1);
    }

    void anUntitledImportIsNamedAfterItsFile() {
        EditorWindow ed;
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("晚风.musicxml"));
        {
            QFile file(source);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<score-partwise version="3.1"><part-list><score-part id="P1"><part-name></part-name></score-part></part-list>
<part id="P1"><measure number="1"><attributes><divisions>1</divisions><key><fifths>0</fifths></key>
<time><beats>4</beats><beat-type>4</beat-type></time></attributes>
<note><pitch><step>C</step><octave>4</octave></pitch><duration>4</duration><type>whole</type></note>
</measure></part></score-partwise>)");
        }
        answerMessage(QStringLiteral("确定"));
        ScoreDocument* doc = ed.frame->importMusicXml(source);
        QVERIFY(doc);
        QCOMPARE(doc->title(), QStringLiteral("晚风"));
        QVERIFY(ed.frame->activeFrame()->windowTitle().contains(QStringLiteral("晚风")));
        QCOMPARE(doc->proposedFolder(), QFileInfo(source).absolutePath());
        QString proposed;
        whenModal<QFileDialog>([&proposed](QFileDialog* dialog) {
            proposed = dialog->selectedFiles().value(0);
            dialog->reject();
        });
        QVERIFY(!ed.frame->onFileSaveAs());
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("晚风.qe"));
        QCOMPARE(QFileInfo(proposed).absolutePath(), QFileInfo(source).absolutePath());
    }

    void partNamesAreSetInTheirDialogAndUndoneWithTheTitleBlock() {
        EditorWindow ed;
        ScoreDocument* doc = typed(ed, QStringLiteral("1234\n"));
        std::unique_ptr<QDialog> dialog(makePartNamesDialog({}, 1, ed.frame.get()));
        dialog->findChild<QLineEdit*>(QStringLiteral("name0"))->setText(QStringLiteral("  领唱 "));
        dialog->findChild<QLineEdit*>(QStringLiteral("short0"))->setText(QStringLiteral("领"));
        const std::vector<PartName> names = partNamesOf(*dialog);
        QCOMPARE(names.size(), std::size_t{1});
        QVERIFY(names[0] == (PartName{u"领唱", u"领"}));
        doc_header h = doc->score().header();
        h.partNames = names;
        doc->changeTitleBlock(h);
        QCOMPARE(int(doc->records().header.partNames.size()), 1);
        ed.frame->commands().action("editUndo")->trigger();
        QVERIFY(doc->records().header.partNames.empty());
        QVERIFY(ed.frame->commands().action("partNames")->isEnabled());
    }

    // 谱面 > 小节记号 edits the marks of the caret's measure as one step of the title block.
    void measureMarkCommandChangesTheCaretsMeasureAsOneStep() {
        EditorWindow ed;
        ScoreDocument* doc = typed(ed, measures(4));
        ed.view()->goToMeasure(0, 2);
        QString title;
        QString shownKey;
        whenModal<QDialog>([&title, &shownKey](QDialog* dialog) {
            title = dialog->windowTitle();
            shownKey = dialog->findChild<QComboBox*>(QStringLiteral("keyLetter"))->currentText();
            dialog->findChild<QCheckBox*>(QStringLiteral("keyChange"))->setChecked(true);
            dialog->findChild<QComboBox*>(QStringLiteral("keyLetter"))->setCurrentIndex(3);
            dialog->findChild<QCheckBox*>(QStringLiteral("meterChange"))->setChecked(true);
            dialog->findChild<QComboBox*>(QStringLiteral("numerator"))->setCurrentIndex(2);
            dialog->findChild<QCheckBox*>(QStringLiteral("segno"))->setChecked(true);
            dialog->findChild<QComboBox*>(QStringLiteral("jumpBack"))->setCurrentIndex(2);
            dialog->findChild<QComboBox*>(QStringLiteral("jumpUntil"))->setCurrentIndex(1);
            dialog->accept();
        });
        ed.frame->commands().action("measureMark")->trigger();
        QCOMPARE(title, QStringLiteral("小节记号 — 第3小节"));
        QCOMPARE(shownKey, QStringLiteral("G"));  // the key in force, ready to be changed
        const std::vector<MeasureMark>& marks = doc->score().header().marks;
        QCOMPARE(int(marks.size()), 1);
        QCOMPARE(int(marks[0].measure), 2);
        QVERIFY(marks[0].keyChange && marks[0].keyLetter == 3);
        QVERIFY(marks[0].meterChange && marks[0].numerator == 3 && marks[0].denominator == 4);
        QCOMPARE(marks[0].jumps, jump::kSegno | jump::kDalSegno | jump::kAlFine);
        // The mark's texts are drawn above the measure, and the measures after it are counted
        // in 3/4: four quarters there are one too many.
        QVERIFY(!ed.view()->controller().layout().pages()->marks.empty());
        QVERIFY(doc->session().measureCheck.misfit(0, 2));
        ed.frame->commands().action("editUndo")->trigger();
        QVERIFY(doc->score().header().marks.empty());
        QVERIFY(!doc->session().measureCheck.misfit(0, 2));

        // What the dialog shows of a mark is what it gives back.
        MeasureMark full;
        full.measure = 7;
        full.keyChange = true;
        full.keyLetter = 1;
        full.keyAccidental = 2;
        full.tonicShift = 1;
        full.meterChange = true;
        full.numerator = full.denominator = 0;
        full.tempo = TempoMark{4, true, 60, u"渐慢"};
        full.jumps = jump::kCoda | jump::kFine | jump::kToCoda | jump::kDaCapo | jump::kAlCoda;
        std::unique_ptr<QDialog> dialog(makeMeasureMarkDialog(full, 1, ed.frame.get()));
        QVERIFY(measureMarkOf(*dialog) == full);

        // A number printed otherwise ("c. 60") stays while its number does; a new number is
        // printed as the number.
        full.tempo.perMinuteText = u"c. 60";
        dialog.reset(makeMeasureMarkDialog(full, 1, ed.frame.get()));
        QVERIFY(measureMarkOf(*dialog) == full);
        dialog->findChild<QSpinBox*>(QStringLiteral("perMinute"))->setValue(66);
        QVERIFY(measureMarkOf(*dialog).tempo == (TempoMark{4, true, 66, u"渐慢"}));
    }

    // What a note carries beyond its digit, typed at the caret: Alt+digits add chord tones,
    // the 音符 commands add grace notes, articulations, chord symbols and tuplets; each one step.
    void notesBeyondDigitsAreTypedAtTheCaret() {
        EditorWindow ed;
        ScoreDocument* doc = typed(ed, QStringLiteral("1356"));
        ed.view()->goToMeasure(0, 0);
        key(ed, Qt::Key_Right);  // after the 1
        key(ed, Qt::Key_3, Qt::AltModifier);
        key(ed, Qt::Key_5, Qt::AltModifier);
        const auto extras = [&](int entry) {
            return doc->score().entry(0, {0, entry}).extras();
        };
        QCOMPARE(int(extras(0).tones.size()), 2);
        ed.frame->commands().action("mark.fermata")->trigger();
        QCOMPARE(extras(0).articulations, articulation::kFermata);
        whenModal<QInputDialog>([](QInputDialog* d) {
            d->setTextValue(QStringLiteral("56"));
            d->accept();
        });
        ed.frame->commands().action("addGraceBefore")->trigger();
        QCOMPARE(int(extras(0).graces.size()), 2);
        // Chord symbols, note after note from the caret: typed into the status bar, Tab puts
        // it on and goes on; a wrong one is refused and stays to be mended; Esc ends.
        ed.view()->goToMeasure(0, 0);
        ed.frame->commands().action("chordSymbols")->trigger();
        QVERIFY(ed.view()->chordEntryActive());
        QTest::keyClicks(ed.view(), QStringLiteral("Am7"));
        key(ed, Qt::Key_Tab);
        QCOMPARE(extras(0).chordSymbol, std::u16string(u"Am7"));
        QTest::keyClicks(ed.view(), QStringLiteral("H7"));
        key(ed, Qt::Key_Tab);
        QVERIFY(extras(1).chordSymbol.empty());  // refused: nothing stored, still at the 3
        QVERIFY(ed.frame->statusBar()->currentMessage().contains(QStringLiteral("无法识别")));
        key(ed, Qt::Key_Backspace);
        key(ed, Qt::Key_Backspace);
        QTest::keyClicks(ed.view(), QStringLiteral("G/B"));
        key(ed, Qt::Key_Tab);
        QCOMPARE(extras(1).chordSymbol, std::u16string(u"G/B"));
        key(ed, Qt::Key_Tab);  // nothing typed: the 5 keeps none
        QTest::keyClicks(ed.view(), QStringLiteral("F"));
        key(ed, Qt::Key_Escape);  // not put on
        QVERIFY(!ed.view()->chordEntryActive());
        QVERIFY(extras(3).chordSymbol.empty());
        // Undo takes back one step at a time: the last chord symbol, then the first.
        ed.frame->commands().action("editUndo")->trigger();
        QVERIFY(extras(1).chordSymbol.empty());
        QCOMPARE(extras(0).chordSymbol, std::u16string(u"Am7"));

        // Shift+Right over three notes, then 三连音.
        ed.view()->goToMeasure(0, 0);
        for (int i = 0; i < 3; ++i)
            key(ed, Qt::Key_Right, Qt::ShiftModifier);
        ed.frame->commands().action("addTriplet")->trigger();
        QCOMPARE(extras(1).tuplets[0], (TupletMark{3, 2, false}));
        QCOMPARE(extras(0).tuplets[0], (TupletMark{3, 2, true}));
        // The key guide names the chord keys.
        bool listed = false;
        for (const KeyGuideRow& row : keyGuideRows(ed.frame->commands()))
            listed = listed || row.keys == QStringLiteral("Alt + 1～7");
        QVERIFY(listed);
    }

    void titleDialogChoosesFreeMeterAndTheOctaveOfOne() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        QStringList octaves;
        whenModal<TitleSettingsDialog>([&octaves](TitleSettingsDialog* dlg) {
            for (int i = 0; i < dlg->tonicList()->count(); ++i)
                octaves << dlg->tonicList()->itemText(i);
            dlg->tonicList()->setCurrentIndex(2);
            dlg->freeMeterBox()->setChecked(true);
            dlg->accept();
        });
        ed.frame->commands().action("titleSettings")->trigger();
        // A new score is in 1=G, whose 1 sounds at G3 unless chosen otherwise.
        QCOMPARE(octaves, (QStringList{"G2", "G3（通常）", "G4"}));
        QCOMPARE(doc->score().header().tonicShift, 1);
        QVERIFY(doc->score().header().freeMeter);
        ed.frame->commands().action("editUndo")->trigger();
        QCOMPARE(doc->score().header().tonicShift, 0);
        QVERIFY(!doc->score().header().freeMeter);
    }

    void aFileThatDoesNotOpenIsNamedInTheMessage() {
        EditorWindow ed;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("坏的.qe"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a score");
        }
        QString text;
        QString detail;
        int width = 0;
        int captionWidth = 0;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            text = box->text();
            detail = box->informativeText();
            width = box->width();
            captionWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
            box->accept();
        });
        QVERIFY(!ed.frame->openDocument(path));
        QCOMPARE(text, QStringLiteral("无法识别的文档。"));
        QVERIFY2(detail.contains(QStringLiteral("坏的.qe")), qPrintable(detail));
        QVERIFY(width > captionWidth + 100);
    }
};

}  // namespace

QObject* makeWorkbenchTests() {
    return new WorkbenchTests;
}

}  // namespace qe::gui

#include "workbench_tests.moc"
