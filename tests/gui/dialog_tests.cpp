#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include "gui/document_window.h"
#include "gui/font_chooser.h"
#include "gui/font_settings_dialog.h"
#include "gui/text_input_dialog.h"
#include "gui/title_settings_dialog.h"
#include "gui_suites.h"
#include "gui_support.h"

namespace qe::gui {

namespace {

// The title, font and bracket-label dialogs, opened through their commands.
class DialogTests : public QObject {
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void titleDialogShowsTheHeaderAndOkWithoutChangesChangesNothing() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        QStringList shown;
        whenModal<TitleSettingsDialog>([&shown](TitleSettingsDialog* dlg) {
            shown << dlg->titleEdit()->text() << dlg->accidentalList()->currentText()
                  << dlg->keyLetterList()->currentText() << dlg->numeratorList()->currentText()
                  << dlg->denominatorList()->currentText();
            dlg->accept();
        });
        ed.frame->commands().action("titleSettings")->trigger();
        QCOMPARE(shown, (QStringList{"Qanor简谱1", " ", "G", "4", "4"}));
        QVERIFY(!doc->isModified());
    }

    void titleDialogStoresItsChoicesAndRenamesTheWindow() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        // A stored value no list holds: the denominator shows as "4", the numerator as none.
        doc_header stored = doc->score().header();
        stored.timeDenominator = 3;
        stored.timeNumerator = 40;
        doc->session().score.setHeader(stored);
        QStringList lists;
        whenModal<TitleSettingsDialog>([&lists](TitleSettingsDialog* dlg) {
            lists << dlg->numeratorList()->currentText() << dlg->denominatorList()->currentText();
            dlg->titleEdit()->setText(QStringLiteral("茉莉花"));
            dlg->accidentalList()->setCurrentIndex(1);
            dlg->keyLetterList()->setCurrentIndex(5);
            dlg->accept();
        });
        ed.frame->commands().action("titleSettings")->trigger();
        QCOMPARE(lists, (QStringList{"", "4"}));
        const doc_header& h = doc->score().header();
        QVERIFY(h.title == u"茉莉花");
        QCOMPARE(int(h.keyAccidental), 1);
        QCOMPARE(int(h.keyLetter), 5);
        QCOMPARE(int(h.timeNumerator), 40);  // no selection: kept
        QCOMPARE(int(h.timeDenominator), 4);
        QVERIFY(doc->isModified());
        QVERIFY(ed.frame->activeFrame()->windowTitle().startsWith(QStringLiteral("茉莉花")));
        // Cancel changes nothing.
        whenModal<TitleSettingsDialog>([](TitleSettingsDialog* dlg) {
            dlg->titleEdit()->setText(QStringLiteral("别的"));
            dlg->reject();
        });
        ed.frame->commands().action("titleSettings")->trigger();
        QVERIFY(h.title == u"茉莉花");
    }

    void fontDialogStoresPointsAsTwipsAndCancelUndoesIt() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        const FontRecord before = doc->score().format().fonts[kNoteFont];
        QStringList categories;
        const auto chooseTwentyPoints = [&categories](FontSettingsDialog* dlg, bool ok) {
            for (int i = 0; i < dlg->categoryList()->count(); ++i)
                categories << dlg->categoryList()->itemText(i);
            dlg->categoryList()->setCurrentIndex(4);  // 普通音符
            whenModal<FontChooser>([dlg, ok](FontChooser* chooser) {
                QFont font = FontChooser::dialogFont(dlg->format->fonts[kNoteFont].logFont);
                font.setPointSize(20);
                chooser->setCurrentFont(font);
                chooser->setCurrentColor(QColor(0x12, 0x34, 0x56));
                chooser->accept();
                QTimer::singleShot(0, dlg, [dlg, ok] { ok ? dlg->accept() : dlg->reject(); });
            });
            dlg->chooseFontButton()->click();
        };
        whenModal<FontSettingsDialog>([&](FontSettingsDialog* dlg) { chooseTwentyPoints(dlg, false); });
        ed.frame->commands().action("fontSettings")->trigger();
        QCOMPARE(categories, (QStringList{"大标题", "小标题", "普通文字", "小号文字", "普通音符",
                                          "小节线等", "倚音/赠音", "歌词"}));
        QVERIFY(doc->score().format().fonts[kNoteFont] == before);
        QVERIFY(!doc->isModified());

        whenModal<FontSettingsDialog>([&](FontSettingsDialog* dlg) { chooseTwentyPoints(dlg, true); });
        ed.frame->commands().action("fontSettings")->trigger();
        const FontRecord& chosen = doc->score().format().fonts[kNoteFont];
        QCOMPARE(chosen.logFont.height, -400);
        QVERIFY(chosen.logFont.face() == u"QanorEditSymbol");
        QCOMPARE(chosen.color, 0x123456u);
        QVERIFY(doc->isModified());
    }

    void fontChooserLeftAsItOpenedKeepsTheRecord() {
        // A title font in a face this system does not have.
        FontRecord title = defaultFont(kTitleFont);
        title.logFont.setFace(u"NoSuchFaceAnywhere");
        FontChooser chooser(title);
        QFont shown = FontChooser::dialogFont(title.logFont);
        QVERIFY(shown.bold());
        QVERIFY(!shown.italic());
        QCOMPARE(shown.pointSize(), 24);
        QVERIFY(chooser.chosenRecord() == title);
        // A change of size alone keeps the face and weight.
        shown.setPointSize(30);
        chooser.setCurrentFont(shown);
        const FontRecord resized = chooser.chosenRecord();
        QCOMPARE(resized.logFont.height, -600);
        QCOMPARE(resized.logFont.weight, 700);
    }

    void bracketCommandAsksForItsLabel() {
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        ed.type("12\n34\n");
        ed.doc()->setModifiedFlag(false);
        // From the first measure to the start of the third: a bracket over the first two.
        ed.drag(ed.at(0, 0), ed.at(2, 0));
        QString prompt;
        whenModal<TextInputDialog>([&prompt](TextInputDialog* dlg) {
            prompt = dlg->prompt;
            QCOMPARE(dlg->valueEdit()->text(), QStringLiteral("1"));
            dlg->valueEdit()->setText(QStringLiteral("1.2."));
            dlg->accept();
        });
        ed.frame->commands().action("addVolta")->trigger();
        QCOMPARE(prompt, QStringLiteral("请输入说明文字"));
        QCOMPARE(int(ed.controller().score().voltas().size()), 1);
        QVERIFY(doc->isModified());
        // Cancelled, the command does nothing.
        doc->setModifiedFlag(false);
        whenModal<TextInputDialog>([](TextInputDialog* dlg) { dlg->reject(); });
        ed.frame->commands().action("addVolta")->trigger();
        QCOMPARE(int(ed.controller().score().voltas().size()), 1);
        QVERIFY(!doc->isModified());
    }
};

}  // namespace

QObject* makeDialogTests() {
    return new DialogTests;
}

}  // namespace qe::gui

#include "dialog_tests.moc"
