#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "document/recovery_entry.h"
#include "document/recovery_store.h"
#include "gui/autosave_keeper.h"
#include "gui/document_window.h"
#include "gui/recovery_dialog.h"
#include "gui_suites.h"
#include "gui_support.h"
#include "records/memory_io.h"
#include "support/notation.h"

namespace qe::gui {

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray bytesOf(QeDocument doc) {
    MemoryIO io;
    doc.serialize(io, true);
    return QByteArray(reinterpret_cast<const char*>(io.bytes().data()),
                      static_cast<qsizetype>(io.bytes().size()));
}

RecoveryStore store() {
    return RecoveryStore(RecoveryStore::defaultFolder());
}

// The recovery documents and records in the folder (locks and damaged ones aside).
QStringList recoveryFiles() {
    return QDir(RecoveryStore::defaultFolder())
        .entryList({QStringLiteral("*.qe"), QStringLiteral("*.json")}, QDir::Files);
}

// What an editor that was killed leaves: an entry written once and no editor holding it.
QString leaveBehind(const QByteArray& bytes, const QString& file, const QString& title,
                    const QDateTime& when) {
    auto entry = store().createEntry();
    if (!entry || !entry->write(bytes, file, title, when).ok())
        return {};
    return entry->documentPath();
}

// What the recovery dialog showed: the rows' texts, cell by cell.
struct Shown {
    QList<QStringList> rows;
    bool recoverIsDefault = false;
};

// Answers the next recovery dialog: unticks the rows in `untick`, then presses `key` on it or
// clicks the button of `choice`.
void answerRecovery(Shown* shown, std::optional<RecoveryDialog::Choice> choice,
                    QList<int> untick = {}) {
    whenModal<RecoveryDialog>([shown, choice, untick](RecoveryDialog* dialog) {
        QTreeWidget* list = dialog->list();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < list->columnCount(); ++c)
                cells << list->topLevelItem(i)->text(c);
            shown->rows << cells;
        }
        shown->recoverIsDefault = dialog->button(RecoveryDialog::Recover)->isDefault();
        for (int row : untick)
            list->topLevelItem(row)->setCheckState(0, Qt::Unchecked);
        if (choice)
            dialog->button(*choice)->click();
        else
            QTest::keyClick(dialog, Qt::Key_Return);  // the default
    });
}

// Autosaving in the window, and the documents a crashed editor leaves offered back at start.
class RecoveryTests : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QSettings().clear();
        QSettings().setValue(QString::fromLatin1(AutosaveKeeper::kIntervalKey), 0.05);
        QDir(RecoveryStore::defaultFolder()).removeRecursively();
    }
    void cleanup() { QDir(RecoveryStore::defaultFolder()).removeRecursively(); }

    void typingIsAutosavedUntilTheScoreIsSavedAndQuittingLeavesNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("song.qe"));
        QeDocument score = test::scoreOf({"1 2 3 |]"});
        QVERIFY(saveScore(path, score).ok());
        const QByteArray original = readAll(path);

        EditorWindow ed;
        ScoreDocument* doc = ed.frame->openDocument(path);
        QVERIFY(doc);
        ed.type("55");
        QTRY_COMPARE(recoveryFiles().size(), 2);
        // The whole score as typed, beside nothing of the person's own.
        const auto left = store().takeLeftovers();  // the running editor's: not offered
        QVERIFY(left.entries.empty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("song.qe")});
        QCOMPARE(readAll(path), original);

        // Ctrl+S writes the score and takes the recovery file away.
        QTest::keyClick(ed.view(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!doc->isModified());
        QCOMPARE(recoveryFiles(), QStringList());
        QCOMPARE(readAll(path), bytesOf(doc->records()));

        // Typed again and quit without saving: nothing is left behind.
        ed.type("6");
        QTRY_COMPARE(recoveryFiles().size(), 2);
        answerMessage(QStringLiteral("不保存"));
        QVERIFY(ed.frame->close());
        QTRY_COMPARE(recoveryFiles(), QStringList());
    }

    void recoveringOpensTheScoresModifiedUnderTheirOwnFiles() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("茉莉花.qe"));
        QeDocument saved = test::scoreOf({"1 2 3 |]"}, u"茉莉花");
        QVERIFY(saveScore(path, saved).ok());
        QeDocument typed = test::scoreOf({"1 2 3 5 6 |]"}, u"茉莉花");
        QeDocument untitled = test::scoreOf({"5 5 6 |]"}, u"Qanor简谱3");
        const QDateTime earlier = QDateTime::currentDateTimeUtc().addSecs(-600);
        const QDateTime later = earlier.addSecs(300);
        QVERIFY(!leaveBehind(bytesOf(typed), path, QStringLiteral("茉莉花"), earlier).isEmpty());
        QVERIFY(!leaveBehind(bytesOf(untitled), QString(), QStringLiteral("Qanor简谱3"), later)
                     .isEmpty());

        EditorWindow ed;
        Shown shown;
        answerRecovery(&shown, std::nullopt);
        QCOMPARE(ed.frame->offerRecovery(), 2);
        // Newest first, with the time of the last autosave; Enter recovers.
        const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
        QCOMPARE(shown.rows,
                 QList<QStringList>({{QStringLiteral("未命名"), QStringLiteral("Qanor简谱3"),
                                      later.toLocalTime().toString(format)},
                                     {QStringLiteral("茉莉花.qe"), QStringLiteral("茉莉花"),
                                      earlier.toLocalTime().toString(format)}}));
        QVERIFY(shown.recoverIsDefault);

        QCOMPARE(ed.frame->documents().size(), 2);
        ScoreDocument* mine = nullptr;
        for (ScoreDocument* doc : ed.frame->documents()) {
            QVERIFY(doc->isModified());
            QVERIFY(!doc->history().canUndo());
            if (!doc->path().isEmpty())
                mine = doc;
        }
        QVERIFY(mine);
        QCOMPARE(mine->path(), path);
        QCOMPARE(mine->title(), QStringLiteral("茉莉花"));
        DocumentWindow* frame = ed.frame->framesOf(mine).value(0);
        QVERIFY(frame && frame->isWindowModified());
        QCOMPARE(readAll(path), bytesOf(saved));
        // The recovered files stay until the scores are saved.
        QCOMPARE(recoveryFiles().size(), 4);

        // Ctrl+S writes the score where it came from, asking nothing.
        ed.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(ed.frame.get()));
        ed.frame->mdiArea()->setActiveSubWindow(frame);
        QTest::keyClick(ed.view(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!mine->isModified());
        QCOMPARE(readAll(path), bytesOf(typed));
        QCOMPARE(recoveryFiles().size(), 2);
        // Opening the same file again shows the recovered score, not a second copy.
        QCOMPARE(ed.frame->openDocument(path), mine);
    }

    void discardedScoresGoAndThoseLeftForLaterComeBack() {
        QeDocument first = test::scoreOf({"1 |]"}, u"一");
        QeDocument second = test::scoreOf({"2 |]"}, u"二");
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QString one = leaveBehind(bytesOf(first), QString(), QStringLiteral("一"), now);
        const QString two =
            leaveBehind(bytesOf(second), QString(), QStringLiteral("二"), now.addSecs(-60));

        EditorWindow ed;
        // The first row (the newer, 一) discarded; the second unticked, so kept.
        Shown shown;
        answerRecovery(&shown, RecoveryDialog::Discard, {1});
        QCOMPARE(ed.frame->offerRecovery(), 0);
        QCOMPARE(shown.rows.size(), 2);
        QVERIFY(!QFile::exists(one));
        QVERIFY(QFile::exists(two));
        QVERIFY(ed.frame->documents().isEmpty());

        Shown later;
        answerRecovery(&later, RecoveryDialog::Later);
        QCOMPARE(ed.frame->offerRecovery(), 0);
        QCOMPARE(later.rows.size(), 1);
        QCOMPARE(later.rows.first().value(1), QStringLiteral("二"));
        QVERIFY(QFile::exists(two));

        // Escape is 以后再说 too.
        whenModal<RecoveryDialog>(
            [](RecoveryDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        QCOMPARE(ed.frame->offerRecovery(), 0);
        QVERIFY(QFile::exists(two));
    }

    void damagedFilesAreReportedByNameAndSkipped() {
        QeDocument good = test::scoreOf({"1 2 |]"}, u"好的");
        QeDocument cut = test::scoreOf({"3 4 |]"}, u"截断");
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QVERIFY(!leaveBehind(bytesOf(good), QString(), QStringLiteral("好的"), now).isEmpty());
        const QString cutPath = leaveBehind(bytesOf(cut), QStringLiteral("/scores/截断.qe"),
                                            QStringLiteral("截断"), now);
        QFile::resize(cutPath, QFileInfo(cutPath).size() / 2);

        EditorWindow ed;
        Shown shown;
        answerRecovery(&shown, std::nullopt);
        // The report comes after the question, and the start goes on.
        QString reported;
        whenModal<QMessageBox>([&reported](QMessageBox* box) {
            reported = box->text() + QLatin1Char('\n') + box->informativeText();
            box->accept();
        });
        QCOMPARE(ed.frame->offerRecovery(), 1);
        QCOMPARE(shown.rows.size(), 1);
        QCOMPARE(shown.rows.first().value(1), QStringLiteral("好的"));
        QVERIFY2(reported.contains(QStringLiteral("已损坏")), qPrintable(reported));
        QVERIFY2(reported.contains(QStringLiteral("截断.qe")), qPrintable(reported));
        QCOMPARE(ed.frame->documents().size(), 1);
        QCOMPARE(ed.doc()->title(), QStringLiteral("好的"));
        // Moved aside, not offered or reported again.
        QVERIFY(!QFile::exists(cutPath));
        QVERIFY(QDir(store().damagedFolder()).exists(QFileInfo(cutPath).fileName()));
        QCOMPARE(ed.frame->offerRecovery(), 0);
    }
};

}  // namespace

QObject* makeRecoveryTests() {
    return new RecoveryTests;
}

}  // namespace qe::gui

#include "recovery_tests.moc"
