#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "gui/document_window.h"
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

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray bytesOf(QeDocument doc) {
    MemoryIO io;
    doc.serialize(io, true);
    return QByteArray(reinterpret_cast<const char*>(io.bytes().data()),
                      static_cast<qsizetype>(io.bytes().size()));
}

// Every write of this process past `bytes` fails while the guard lives: a full disk, which
// stops root as well as anyone.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    sighandler_t oldHandler_;
};

// Answers a run of message boxes in turn.
void answerMessages(QStringList answers, QStringList* said) {
    if (answers.isEmpty())
        return;
    const QString answer = answers.takeFirst();
    whenModal<QMessageBox>([answer, answers, said](QMessageBox* box) {
        if (said)
            *said << box->text();
        answerMessages(answers, said);
        for (QAbstractButton* button : box->buttons())
            if (button->text() == answer)
                return button->click();
        box->reject();
    });
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Opening, saving and closing documents, and the files the editor remembers.
class DocumentTests : public QObject {
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void savedScoreReopensWithTheSameRecords() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("小星星.qe"));
        QByteArray expected;
        {
            EditorWindow ed;
            ScoreDocument* doc = ed.frame->onFileNew();
            ed.type("1155665-\n4433221-\n");
            ed.drag(ed.at(0, 0), ed.at(0, 2));
            ed.frame->commands().action("addTie")->trigger();
            QVERIFY(doc->onSaveDocument(path).ok());
            QVERIFY(!doc->isModified());
            QCOMPARE(doc->path(), path);
            QVERIFY(!ed.frame->activeFrame()->isWindowModified());
            QCOMPARE(ed.frame->recentFiles().files().value(0), path);
            QeDocument saved = doc->records();
            expected = bytesOf(saved);
        }
        QCOMPARE(readAll(path), expected);
        EditorWindow again;
        ScoreDocument* reopened = again.frame->openDocument(path);
        QVERIFY(reopened);
        QVERIFY(!reopened->isModified());
        QeDocument records = reopened->records();
        QCOMPARE(records.noteTracks().at(0).content.items,
                 test::parseTrack("1 1 5 5 6 6 5 - | 4 4 3 3 2 2 1 - | |]"));
        QCOMPARE(int(records.formatRecords().size()), 1);
        QCOMPARE(bytesOf(records), expected);
    }

    void failedSaveKeepsTheDocumentModifiedAndTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("song.qe"));
        EditorWindow ed;
        ScoreDocument* doc = ed.frame->onFileNew();
        ed.type("123");
        QVERIFY(doc->onSaveDocument(path).ok());
        const QByteArray before = readAll(path);
        ed.type("4");
        QVERIFY(doc->isModified());
        {
            // The disk is full: the write fails part-way.
            FileSizeLimit full(64);
            QStringList said;
            answerMessages({QStringLiteral("确定")}, &said);
            QVERIFY(!ed.frame->onFileSave());
            QCOMPARE(said.size(), 1);
            QVERIFY(said.first().startsWith(QStringLiteral("保存失败")));
        }
        QVERIFY(doc->isModified());
        QVERIFY(ed.frame->activeFrame()->isWindowModified());
        QCOMPARE(readAll(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("song.qe")});
        if (::geteuid() != 0) {
            // A folder that may not be written to.
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            answerMessages({QStringLiteral("确定")}, nullptr);
            QVERIFY(!ed.frame->onFileSave());
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
            QVERIFY(doc->isModified());
            QCOMPARE(readAll(path), before);
        }
        // Once the file can be written, the edits are all there.
        QVERIFY(ed.frame->onFileSave());
        QVERIFY(!doc->isModified());
        QeDocument saved;
        QVERIFY(loadScore(path, saved).ok());
        QCOMPARE(saved.noteTracks().at(0).content.items, test::parseTrack("1 2 3 4 |]"));
    }

    void unreadableFileIsReportedAndNotOpened() {
        QTemporaryDir dir;
        const QString bad = dir.filePath(QStringLiteral("bad.qe"));
        writeAll(bad, QByteArray("this is not a score"));
        // A real score cut short: its start reads, the rest is missing.
        QeDocument doc = test::scoreOf({"1 2 3 | 4 5 6 |]"});
        const QByteArray whole = bytesOf(doc);
        const QString cut = dir.filePath(QStringLiteral("cut.qe"));
        writeAll(cut, whole.left(whole.size() - 7));

        // A score damaged inside: its note track's tag claims more bytes than the score holds.
        QByteArray broken = whole;
        const qsizetype track = broken.indexOf(QByteArray("NOTE", 4));
        QVERIFY(track > 0);
        broken[track + 11] = '\x7f';
        const QString damaged = dir.filePath(QStringLiteral("damaged.qe"));
        writeAll(damaged, broken);
        // A file of another kind gets one line; a score cut short or damaged a second one.
        const std::pair<QString, QString> cases[] = {
            {bad, QStringLiteral("无法识别的文档。")},
            {cut, QStringLiteral("无法识别的文档。\n文件已损坏：在第 %1 字节处截断。")
                      .arg(whole.size() - 7)},
            {damaged, QStringLiteral("无法识别的文档。\n文件已损坏：第 ")},
        };

        EditorWindow ed;
        for (const auto& [path, message] : cases) {
            const QByteArray before = readAll(path);
            QStringList said;
            answerMessages({QStringLiteral("确定")}, &said);
            QVERIFY(!ed.frame->openDocument(path));
            QCOMPARE(said.size(), 1);
            QVERIFY2(said.front().startsWith(message), qPrintable(said.front()));
            QVERIFY(ed.frame->documents().isEmpty());
            QVERIFY(!ed.frame->activeFrame());
            QCOMPARE(readAll(path), before);
        }
        QVERIFY(ed.frame->recentFiles().files().isEmpty());
    }

    void closingAModifiedDocumentAsksWhetherToSave() {
        EditorWindow ed;
        ed.frame->onFileNew();
        ed.type("1");
        QStringList buttons;
        whenModal<QMessageBox>([&buttons](QMessageBox* box) {
            for (QAbstractButton* button : box->buttons())
                buttons << button->text();
            box->reject();  // Escape is 取消
        });
        ed.frame->commands().action("fileClose")->trigger();
        buttons.sort();
        QStringList expected{"保存", "不保存", "取消"};
        expected.sort();
        QCOMPARE(buttons, expected);
        QCOMPARE(ed.frame->documents().size(), 1);
        // The window's own close button asks the same.
        answerMessages({QStringLiteral("取消")}, nullptr);
        ed.frame->activeFrame()->close();
        QCOMPARE(ed.frame->documents().size(), 1);
        answerMessages({QStringLiteral("不保存")}, nullptr);
        ed.frame->commands().action("fileClose")->trigger();
        flushDeletes();
        QVERIFY(ed.frame->documents().isEmpty());
        // Without a document, the menus are those of an empty editor.
        QVERIFY(!ed.frame->commands().action("fileSave")->isEnabled());
    }

    void quittingAsksAboutEveryModifiedDocument() {
        EditorWindow ed;
        ed.frame->onFileNew();
        ed.type("1");
        ed.frame->onFileNew();
        ed.frame->onFileNew();
        ed.type("2");
        QStringList said;
        answerMessages({QStringLiteral("不保存"), QStringLiteral("取消")}, &said);
        QVERIFY(!ed.frame->close());
        QCOMPARE(said.size(), 2);
        answerMessages({QStringLiteral("不保存"), QStringLiteral("不保存")}, nullptr);
        QVERIFY(ed.frame->close());
    }

    void openingAnOpenFileShowsItsWindow() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.qe"));
        QeDocument doc = test::scoreOf({"1 |]"});
        writeAll(path, bytesOf(doc));
        EditorWindow ed;
        ScoreDocument* first = ed.frame->openDocument(path);
        ed.frame->onFileNew();
        QCOMPARE(ed.frame->openDocument(dir.filePath(QStringLiteral("./a.qe"))), first);
        QCOMPARE(ed.frame->documents().size(), 2);
        QCOMPARE(ed.frame->activeDocument(), first);
    }

    // Two scores titled alike are told apart in the 窗口 menu by their files.
    void theWindowMenuNamesTheFilesOfScoresTitledAlike() {
        QTemporaryDir dir;
        QeDocument doc = test::scoreOf({"1 |]"}, u"茉莉花");
        writeAll(dir.filePath(QStringLiteral("a.qe")), bytesOf(doc));
        writeAll(dir.filePath(QStringLiteral("b.qe")), bytesOf(doc));
        doc.header.title = u"小星星";
        writeAll(dir.filePath(QStringLiteral("c.qe")), bytesOf(doc));
        EditorWindow ed;
        for (const char* name : {"a.qe", "b.qe", "c.qe"})
            QVERIFY(ed.frame->openDocument(dir.filePath(QString::fromUtf8(name))));
        QMenu* menu = ed.frame->menu(CommandMenu::Window);
        emit menu->aboutToShow();
        QStringList names;
        for (QAction* action : menu->actions())
            if (action->text().startsWith(u'&'))
                names << action->text();
        QCOMPARE(names, (QStringList{QStringLiteral("&1 茉莉花 (a.qe)"),
                                     QStringLiteral("&2 茉莉花 (b.qe)"),
                                     QStringLiteral("&3 小星星")}));
    }

    void droppedFilesOpenAndTheLastFourAreRemembered() {
        QTemporaryDir dir;
        QList<QUrl> urls;
        QStringList paths;
        for (int i = 1; i <= 5; ++i) {
            paths << dir.filePath(QStringLiteral("%1.qe").arg(i));
            QeDocument doc = test::scoreOf({"1 |]"}, u"曲");
            writeAll(paths.last(), bytesOf(doc));
            urls << QUrl::fromLocalFile(paths.last());
        }
        EditorWindow ed;
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(ed.frame.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(ed.frame.get(), &drop);
        QCOMPARE(ed.frame->documents().size(), 5);
        QCOMPARE(ed.frame->recentFiles().files(),
                 (QStringList{paths[4], paths[3], paths[2], paths[1]}));
        QVERIFY(QSettings().fileName().contains(QStringLiteral("OrmindoSoftware")));
    }

    void watermarkSwitchIsRememberedAndRedrawsTheViews() {
        EditorWindow ed;
        ed.frame->onFileNew();
        QVERIFY(ed.view()->watermarkShown());
        const QImage with = ed.view()->viewport()->grab().toImage();
        ed.frame->commands().action("viewWatermark")->trigger();
        QVERIFY(!ed.view()->watermarkShown());
        const QImage without = ed.view()->viewport()->grab().toImage();
        QVERIFY(with != without);
        EditorWindow later;
        QVERIFY(!later.frame->commands().action("viewWatermark")->isChecked());
        later.frame->onFileNew();
        QVERIFY(!later.view()->watermarkShown());
    }
};

}  // namespace

QObject* makeDocumentTests() {
    return new DocumentTests;
}

}  // namespace qe::gui

#include "document_tests.moc"
