#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QSettings>
#include <QStatusBar>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "gui_suites.h"
#include "gui_support.h"
#include "audio/soundfont.h"
#include "gui/export_command.h"

namespace qe::gui {

namespace {

const char* const kSample = QE_SOURCE_DIR "/resources/samples/jasmine.qe";

// The files a test wrote: everything in its folder but the score.
QStringList filesIn(const QTemporaryDir& dir) {
    QStringList files = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    files.removeAll(QStringLiteral("jasmine.qe"));
    return files;
}

// The sample score, opened from a folder of its own: the export dialog starts there.
ScoreDocument* openSample(EditorWindow& ed, const QTemporaryDir& dir) {
    const QString copy = dir.filePath(QStringLiteral("jasmine.qe"));
    QFile::copy(QString::fromUtf8(kSample), copy);
    return ed.frame->openDocument(copy);
}

// The export command of the window: its save dialog, then the page export with the window's
// questions.
class ExportTests : public QObject {
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    // The one test that goes through the real save dialog.
    void theDialogsChoiceWritesEveryPageAndSaysSo() {
        EditorWindow ed;
        QTemporaryDir dir;
        QVERIFY(openSample(ed, dir));
        chooseFile(dir.filePath(QStringLiteral("jasmine.png")));
        ed.frame->commands().action("fileExport")->trigger();
        QCOMPARE(filesIn(dir), (QStringList{"jasmine_2-1.png", "jasmine_2-2.png"}));
        const QImage page(dir.filePath(QStringLiteral("jasmine_2-1.png")));
        QCOMPARE(page.size(), QSize(2381, 3367));
        QVERIFY2(ed.frame->statusBar()->currentMessage().startsWith(QStringLiteral("已导出 2 个文件")),
                 qPrintable(ed.frame->statusBar()->currentMessage()));
    }

    void everyFormatOfTheCommandLineIsWrittenFromTheWindow() {
        EditorWindow ed;
        QTemporaryDir dir;
        QVERIFY(openSample(ed, dir));
        const QStringList types = exportFileTypes();
        for (const char* name : {"p.jpg", "p.gif", "p.png", "p.bmp", "p.svg", "p.pdf", "s.musicxml",
                                 "s.mxl", "s.mid", "s.wav"}) {
            const QString file = QString::fromLatin1(name);
            const QString suffix = QFileInfo(file).suffix();
            bool offered = false;
            for (const QString& type : types)
                offered = offered || type.contains(QStringLiteral("*.") + suffix);
            QVERIFY2(offered, name);
            if (suffix == QStringLiteral("wav") && sound::findSoundFont().empty())
                continue;  // no SoundFont on this machine
            const QString said = exportFromWindow(*ed.view(), dir.filePath(file), 120);
            QVERIFY2(said.startsWith(QStringLiteral("已导出")), qPrintable(file + ": " + said));
        }
        const QStringList written = filesIn(dir);
        for (const char* name : {"p_2-1.jpg", "p_2-2.gif", "p_2-1.png", "p_2-2.bmp", "p_2-1.svg",
                                 "p.pdf", "s.musicxml", "s.mxl", "s.mid"})
            QVERIFY2(written.contains(QString::fromLatin1(name)), name);
        // MIDI takes the tempo of the playback box: 120 quarters a minute is 500000 µs.
        QFile midi(dir.filePath(QStringLiteral("s.mid")));
        QVERIFY(midi.open(QIODevice::ReadOnly));
        QVERIFY(midi.readAll().contains(QByteArray::fromHex("ff510307a120")));
        // The MusicXML file is a score.
        QFile xml(dir.filePath(QStringLiteral("s.musicxml")));
        QVERIFY(xml.open(QIODevice::ReadOnly));
        QVERIFY(xml.readAll().contains("<score-partwise"));
    }

    void anExistingPageAnsweredNoThenCancelledWritesNothing() {
        EditorWindow ed;
        QTemporaryDir dir;
        QVERIFY(openSample(ed, dir));
        const QString first = dir.filePath(QStringLiteral("out_2-1.png"));
        {
            QFile file(first);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("old");
        }
        QString asked;
        QString caption;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            asked = box->text();
            caption = box->windowTitle();
            // No, then Cancel in the dialog for another name: the export stops.
            whenModal<QFileDialog>([](QFileDialog* other) { other->reject(); });
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(exportFromWindow(*ed.view(), dir.filePath(QStringLiteral("out.png")), 90).isEmpty());
        QCOMPARE(caption, QStringLiteral("文件已经存在"));
        QCOMPARE(asked, QStringLiteral("文件 %1 已存在，\n您要覆盖该文件么？")
                            .arg(QDir::toNativeSeparators(first)));
        QCOMPARE(filesIn(dir), QStringList{QStringLiteral("out_2-1.png")});
        QFile file(first);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old"));
    }

    void pagesFollowTheWatermarkSwitch() {
        EditorWindow ed;
        QTemporaryDir dir;
        QVERIFY(openSample(ed, dir));
        exportFromWindow(*ed.view(), dir.filePath(QStringLiteral("marked.png")), 90);
        ed.frame->commands().action("viewWatermark")->trigger();
        exportFromWindow(*ed.view(), dir.filePath(QStringLiteral("clean.png")), 90);
        // Low on the second page is empty paper but for the watermark.
        const QImage marked(dir.filePath(QStringLiteral("marked_2-2.png")));
        const QImage clean(dir.filePath(QStringLiteral("clean_2-2.png")));
        QVERIFY2(!marked.isNull() && !clean.isNull(), qPrintable(filesIn(dir).join(" ")));
        const auto inked = [](const QImage& page) {
            int count = 0;
            for (int y = page.height() * 13 / 20; y < page.height() * 16 / 20; y += 3)
                for (int x = page.width() / 4; x < page.width() * 3 / 4; x += 3)
                    count += page.pixelColor(x, y) != QColor(Qt::white);
            return count;
        };
        QVERIFY(inked(marked) > 1000);
        QCOMPARE(inked(clean), 0);
    }

    void scrollModeSaysThereIsNothingToExport() {
        EditorWindow ed;
        QVERIFY(ed.frame->openDocument(QString::fromUtf8(kSample)));
        ed.frame->commands().action("viewScrollMode")->trigger();
        QTemporaryDir dir;
        QString said;
        answerMessage(QStringLiteral("确定"), &said);
        QVERIFY(exportFromWindow(*ed.view(), dir.filePath(QStringLiteral("strip.png")), 90).isEmpty());
        QVERIFY(said.startsWith(QStringLiteral("滚动视图没有分页")));
        QVERIFY(filesIn(dir).isEmpty());
    }
};

}  // namespace

QObject* makeExportTests() {
    return new ExportTests;
}

}  // namespace qe::gui

#include "export_tests.moc"
