#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "audio/score_player.h"
#include "gui/playback_controls.h"
#include "gui_suites.h"
#include "gui_support.h"

namespace qe::gui {

namespace {

const char* const kSample = QE_SOURCE_DIR "/resources/samples/jasmine.qe";

// Pixels of the viewport in the tint of the notes sounding.
int tintedPixels(ScoreView* view) {
    const QImage shot = view->viewport()->grab().toImage();
    const QColor tint = ScoreView::soundingColor();
    int count = 0;
    for (int y = 0; y < shot.height(); y += 2)
        for (int x = 0; x < shot.width(); x += 2)
            count += shot.pixelColor(x, y) == tint;
    return count;
}

// The 播放 menu in the window: the score in front plays through the audio device (the null
// driver here), the notes sounding are tinted and followed, and an edit stops it.
class PlaybackTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("QE_AUDIO_DRIVER", "null"); }
    void cleanupTestCase() { qunsetenv("QE_AUDIO_DRIVER"); }
    void init() { QSettings().clear(); }

    void theMenuIsThereOnlyWithAScore() {
        EditorWindow ed;
        QMenu* menu = ed.frame->menu(CommandMenu::Play);
        QVERIFY(ed.frame->menuBar()->actions().contains(menu->menuAction()));
        QVERIFY(!menu->menuAction()->isVisible());
        ed.frame->onFileNew();
        QVERIFY(menu->menuAction()->isVisible());
        QVERIFY(ed.frame->playback().playFromStart->isEnabled());
    }

    void playingTintsTheSoundingNoteAndAnEditStopsIt() {
        EditorWindow ed;
        QVERIFY(ed.frame->openDocument(QString::fromUtf8(kSample)));
        ScorePlayer* player = ed.view()->player();
        QVERIFY(player);
        ed.frame->playback().tempo->setValue(400);
        QTest::keyClick(ed.view(), Qt::Key_F5, Qt::ShiftModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!ed.view()->soundingRects().empty(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(tintedPixels(ed.view()) > 20, 5000);
        QCOMPARE(player->state(), PlaybackThread::Playing);

        // Pause holds the note shown; going on plays further.
        ed.frame->playback().pause->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(player->state(), PlaybackThread::Paused, 5000);
        ed.frame->playback().pause->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(player->state(), PlaybackThread::Playing, 5000);

        // A note typed changes what would sound: playing stops and the tint goes.
        QTest::mouseClick(ed.view()->viewport(), Qt::LeftButton, {}, ed.pixelOf(ed.at(0, 0)));
        ed.type("1");
        QTRY_COMPARE_WITH_TIMEOUT(player->state(), PlaybackThread::Stopped, 5000);
        QVERIFY(ed.view()->soundingRects().empty());
        QTRY_COMPARE_WITH_TIMEOUT(tintedPixels(ed.view()), 0, 5000);
    }

    void theTempoIsRememberedForTheFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("song.qe"));
        QVERIFY(QFile::copy(QString::fromUtf8(kSample), path));
        {
            EditorWindow ed;
            QVERIFY(ed.frame->openDocument(path));
            ed.frame->playback().tempo->setValue(132);
        }
        EditorWindow ed;
        ed.frame->onFileNew();
        QCOMPARE(ed.frame->playback().tempo->value(), 90);
        QVERIFY(ed.frame->openDocument(path));
        QCOMPARE(ed.frame->playback().tempo->value(), 132);
        // A new mark is taken up at once, and undoing it gives the old one back.
        ScoreDocument* doc = ed.view()->document();
        doc_header header = doc->score().header();
        header.tempo.perMinute = 72;
        doc->changeTitleBlock(header);
        QCOMPARE(ed.frame->playback().tempo->value(), 72);
        ed.frame->commands().action("editUndo")->trigger();
        QCOMPARE(ed.frame->playback().tempo->value(), 90);
        // Other edits leave the box as the player set it.
        ed.frame->playback().tempo->setValue(100);
        ed.type("5");
        QCOMPARE(ed.frame->playback().tempo->value(), 100);
    }
};

}  // namespace

QObject* makePlaybackTests() {
    return new PlaybackTests;
}

}  // namespace qe::gui

#include "playback_tests.moc"
