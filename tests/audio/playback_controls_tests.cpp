#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMessageBox>
#include <QSpinBox>
#include <QTemporaryDir>

#include "gui/commands.h"
#include "gui/playback_controls.h"
#include "audio/sound_stage.h"
#include "audio/score_player.h"
#include "support/fake_host.h"
#include "gui/played_editor.h"
#include "support/notation.h"

namespace qe {
namespace {

template <typename Done>
bool waitFor(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

struct Window {
    Window()
        : settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat),
          commands(&window),
          controls(&window, settings, commands),
          editor(test::scoreOf({"1 2 3 4 |]"})),
          played(editor.view),
          player(played, stage, [](std::string& error) -> std::unique_ptr<sound::Synth> {
              error = "no device";
              return nullptr;
          }) {}

    QTemporaryDir dir;
    QSettings settings;
    QMainWindow window;
    Commands commands;
    PlaybackControls controls;
    test::Editor editor;
    PlayedEditor played;
    SoundStage stage;
    ScorePlayer player;
};

TEST(PlaybackControls, FollowTheScoreInFrontAndItsTempo) {
    Window w;
    EXPECT_FALSE(w.controls.playFromCaret->isEnabled());
    EXPECT_FALSE(w.controls.stopPlaying->isEnabled());
    // A saved score played at 120 before keeps its tempo; an unsaved one starts at 90.
    ScorePlayer::rememberTempo(w.settings, QStringLiteral("/a.qe"), 120);
    w.controls.setCurrent(&w.player, QStringLiteral("/a.qe"));
    EXPECT_TRUE(w.controls.playFromCaret->isEnabled());
    EXPECT_EQ(w.controls.tempo->value(), 120);
    w.controls.tempo->setValue(72);
    EXPECT_EQ(ScorePlayer::rememberedTempo(w.settings, QStringLiteral("/a.qe")), 72);
    w.controls.setCurrent(&w.player, QString());
    EXPECT_EQ(w.controls.tempo->value(), 90);
    w.controls.setCurrent(&w.player, QStringLiteral("/a.qe"));
    EXPECT_EQ(w.controls.tempo->value(), 72);
    w.controls.setCurrent(nullptr, QString());
    EXPECT_FALSE(w.controls.playFromStart->isEnabled());
}

TEST(PlaybackControls, PlayPauseGoOnAndStopWithoutAnAudioDevice) {
    Window w;
    w.controls.setCurrent(&w.player, QString());
    w.controls.tempo->setValue(60);
    w.controls.play(false);
    ASSERT_TRUE(waitFor([&] { return w.player.state() == PlaybackThread::Playing; }));
    EXPECT_TRUE(w.controls.pause->isEnabled());
    EXPECT_TRUE(w.controls.stopPlaying->isEnabled());
    // The missing device is said in a message that does not wait for an answer.
    ASSERT_TRUE(waitFor([&] { return w.window.findChild<QMessageBox*>() != nullptr; }));
    EXPECT_TRUE(w.window.findChild<QMessageBox*>()->text().contains(QStringLiteral("音频设备")));
    w.controls.pause->toggle();
    w.controls.setPaused(w.controls.pause->isChecked());
    ASSERT_TRUE(waitFor([&] { return w.player.state() == PlaybackThread::Paused; }));
    EXPECT_TRUE(w.controls.pause->isChecked());
    EXPECT_FALSE(w.player.soundingPlaces().empty());  // the paused note stays shown
    w.controls.pause->toggle();
    w.controls.setPaused(w.controls.pause->isChecked());
    ASSERT_TRUE(waitFor([&] { return w.player.state() == PlaybackThread::Playing; }));
    EXPECT_FALSE(w.controls.pause->isChecked());
    w.controls.stop();
    ASSERT_TRUE(waitFor([&] { return w.player.state() == PlaybackThread::Stopped; }));
    EXPECT_FALSE(w.controls.stopPlaying->isEnabled());
    EXPECT_TRUE(w.player.soundingPlaces().empty());
}

TEST(PlaybackControls, TheMissingAudioDeviceIsSaidOnceForAllScores) {
    Window w;
    test::Editor other(test::scoreOf({"5_ |]"}));
    const PlayedEditor played(other.view);
    ScorePlayer second(played, w.stage, [](std::string&) { return nullptr; });
    w.controls.setCurrent(&w.player, QString());
    w.controls.tempo->setValue(400);
    w.controls.play(false);
    ASSERT_TRUE(waitFor([&] { return w.window.findChild<QMessageBox*>() != nullptr; }));
    w.window.findChild<QMessageBox*>()->close();
    ASSERT_TRUE(waitFor([&] { return w.window.findChild<QMessageBox*>() == nullptr; }));
    int changes = 0;
    QObject::connect(&second, &ScorePlayer::stateChanged, [&] { ++changes; });
    w.controls.setCurrent(&second, QString());
    w.controls.play(false);
    ASSERT_TRUE(waitFor([&] { return changes == 2; }));  // played and stopped
    QCoreApplication::processEvents();
    EXPECT_EQ(w.window.findChild<QMessageBox*>(), nullptr);
}

}  // namespace
}  // namespace qe
