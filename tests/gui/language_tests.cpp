#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTest>

#include "gui/interface_language.h"
#include "gui/key_guide.h"
#include "gui/measure_check_dialog.h"
#include "gui/playback_controls.h"
#include "gui/ui_text.h"
#include "gui_suites.h"
#include "gui_support.h"

namespace qe::gui {

namespace {

QStringList menuTitles(MainWindow& frame) {
    QStringList titles;
    for (QAction* action : frame.menuBar()->actions())
        if (action->isVisible())
            titles << action->text();
    return titles;
}

// A picture of the window for a person to look at, beside the test program.
void keepScreenshot(QWidget& window, const QString& name) {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    QVERIFY(window.grab().save(folder + u'/' + name));
}

// The window in Chinese and in English, and the choice of language in 视图 > 语言.
class LanguageTests : public QObject {
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }
    void cleanup() { installLanguage(InterfaceLanguage::Chinese); }

    void theDesktopsLocaleChoosesEnglishOnlyForEnglish() {
        QCOMPARE(languageOfLocale(QLocale(QLocale::English, QLocale::UnitedStates)),
                 InterfaceLanguage::English);
        QCOMPARE(languageOfLocale(QLocale(QLocale::English, QLocale::UnitedKingdom)),
                 InterfaceLanguage::English);
        QCOMPARE(languageOfLocale(QLocale(QLocale::Chinese, QLocale::China)),
                 InterfaceLanguage::Chinese);
        QCOMPARE(languageOfLocale(QLocale(QLocale::German, QLocale::Germany)),
                 InterfaceLanguage::Chinese);
        // A machine without a locale shows the editor's own texts.
        QCOMPARE(languageOfLocale(QLocale::c()), InterfaceLanguage::Chinese);
    }

    void theWindowSpeaksChinese() {
        installLanguage(InterfaceLanguage::Chinese);
        EditorWindow ed;
        ed.frame->onFileNew();
        QCOMPARE(menuTitles(*ed.frame).first(), QStringLiteral("文件(&F)"));
        QCOMPARE(ed.frame->commands().action("fileSave")->text(), QStringLiteral("保存(&S)"));
        keepScreenshot(*ed.frame, QStringLiteral("chinese_main_window.png"));
    }

    void theWindowSpeaksEnglishKeyGuideAndDialogsIncluded() {
        installLanguage(InterfaceLanguage::English);
        QCOMPARE(currentLanguage(), InterfaceLanguage::English);
        EditorWindow ed;
        ed.frame->onFileNew();
        const QStringList titles = menuTitles(*ed.frame);
        QCOMPARE(titles.first(), QStringLiteral("&File"));
        QVERIFY2(titles.contains(QStringLiteral("&Score")), qPrintable(titles.join(u' ')));
        QCOMPARE(ed.frame->commands().action("fileSave")->text(), QStringLiteral("&Save"));
        QCOMPARE(ed.frame->commands().action("fileSave")->statusTip(),
                 QStringLiteral("Save the active document"));
        // The key guide's rows come from the editing layer's own table, translated too.
        bool rest = false;
        for (const KeyGuideRow& row : keyGuideRows(ed.frame->commands())) {
            rest = rest || (row.keys == u"0" && row.meaning == u"Rest");
            QVERIFY2(
                !row.meaning.contains(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]"))),
                qPrintable(row.meaning));
        }
        QVERIFY(rest);
        // Texts the document layer composes, and a dialog Qt makes, follow the language.
        QCOMPARE(QCoreApplication::translate(kUiContext, "%1: 文件不存在。"),
                 QStringLiteral("%1: the file does not exist."));
        QCOMPARE(QLocale().language(), QLocale::English);
        keepScreenshot(*ed.frame, QStringLiteral("english_main_window.png"));
    }

    // A measure half a beat or one beat off, as the measure check lists it in either language.
    void theMeasureCheckCountsBeatsInWordsOfEachLanguage() {
        const music::Meter meter{3, 4};
        const music::Ticks beat = music::countedBeat(meter);
        const music::MeasureMisfit half{0, 2, 7 * beat / 2, 3 * beat, meter};
        const music::MeasureMisfit one{1, 4, 2 * beat, 3 * beat, meter};
        installLanguage(InterfaceLanguage::Chinese);
        QCOMPARE(MeasureCheckDialog::lineText(half, meter, 3),
                 QStringLiteral("第3小节（第1声部）：多了半拍（3/4 拍中有 3½ 拍）"));
        QCOMPARE(MeasureCheckDialog::lineText(one, meter, 5),
                 QStringLiteral("第5小节（第2声部）：少了1拍（3/4 拍中有 2 拍）"));
        installLanguage(InterfaceLanguage::English);
        QCOMPARE(MeasureCheckDialog::lineText(half, meter, 3),
                 QStringLiteral("Measure 3 (part 1): half a beat too many (3½ beats in 3/4)"));
        QCOMPARE(MeasureCheckDialog::lineText(one, meter, 5),
                 QStringLiteral("Measure 5 (part 2): 1 beat too few (2 beats in 3/4)"));
    }

    void theChosenLanguageIsRemembered() {
        EditorWindow ed;
        QCOMPARE(chosenLanguage(), std::optional<InterfaceLanguage>());
        auto* menu = ed.frame->findChild<QMenu*>(QStringLiteral("languageMenu"));
        QVERIFY(menu);
        auto* english = menu->findChild<QAction*>(QStringLiteral("english"));
        QVERIFY(english);
        // The window is Chinese now: the change is said to come with the next start.
        QString said;
        answerMessage(QStringLiteral("确定"), &said);
        english->trigger();
        QCOMPARE(said, QStringLiteral("界面语言将在下次启动编辑器时改变。"));
        QVERIFY(english->isChecked());
        QCOMPARE(QSettings().value(QStringLiteral("interface/language")).toString(),
                 QStringLiteral("en"));
        QCOMPARE(startingLanguage(), InterfaceLanguage::English);
        // Following the desktop again forgets the choice.
        menu->findChild<QAction*>(QStringLiteral("followDesktop"))->trigger();
        dropPendingAnswers();
        QCOMPARE(chosenLanguage(), std::optional<InterfaceLanguage>());
    }
};

}  // namespace

QObject* makeLanguageTests() {
    return new LanguageTests;
}

}  // namespace qe::gui

#include "language_tests.moc"
