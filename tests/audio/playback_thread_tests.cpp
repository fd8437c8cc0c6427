#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <mutex>

#include "audio/playback_thread.h"
#include "audio/sound_stage.h"
#include "audio/soundfont.h"
#include "support/notation.h"
#include "support/perform_records.h"

namespace qe {
namespace {

// Writes down what it is told, from whichever thread tells it.
class RecordingSynth : public sound::Synth {
public:
    struct Log {
        std::mutex mutex;
        std::vector<std::string> calls;
        void add(std::string call) {
            const std::lock_guard lock(mutex);
            calls.push_back(std::move(call));
        }
        std::vector<std::string> taken() {
            const std::lock_guard lock(mutex);
            return calls;
        }
    };
    explicit RecordingSynth(std::shared_ptr<Log> log) : log_(std::move(log)) {}
    void programChange(int, int) override {}
    void noteOn(int channel, int key, int) override {
        log_->add("on " + std::to_string(channel) + "/" + std::to_string(key));
    }
    void noteOff(int channel, int key) override {
        log_->add("off " + std::to_string(channel) + "/" + std::to_string(key));
    }
    void allNotesOff() override { log_->add("silence"); }

private:
    std::shared_ptr<Log> log_;
};

// Runs the window's event loop until `done` or five seconds have passed.
template <typename Done>
bool waitFor(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

std::shared_ptr<const sound::Performance> performanceOf(const std::string& track, int tempo) {
    QeDocument doc = test::scoreOf({track});
    doc.header.keyLetter = 2;  // 1=C
    sound::PerformanceOptions options;
    options.tempo = tempo;
    return std::make_shared<const sound::Performance>(test::performRecords(doc, options));
}

struct Session {
    explicit Session(bool withAudio = true) : log(std::make_shared<RecordingSynth::Log>()) {
        player = std::make_unique<PlaybackThread>(
            [log = log, withAudio, this](std::string& error) -> std::unique_ptr<sound::Synth> {
                ++synthsMade;
                if (!withAudio) {
                    error = "no device";
                    return nullptr;
                }
                return std::make_unique<RecordingSynth>(log);
            });
        QObject::connect(player.get(), &PlaybackThread::cueChanged, [this](int track, int item) {
            cues.emplace_back(track, item);
            cuesOnWindowThread = cuesOnWindowThread && QThread::currentThread() == qApp->thread();
        });
        QObject::connect(player.get(), &PlaybackThread::stateChanged,
                         [this](PlaybackThread::State s) { states.push_back(s); });
        QObject::connect(player.get(), &PlaybackThread::audioUnavailable,
                         [this](const QString& why) { unavailable << why; });
    }
    bool stoppedAfterPlaying() const {
        return states.size() >= 2 && states.back() == PlaybackThread::Stopped;
    }

    std::shared_ptr<RecordingSynth::Log> log;
    std::atomic<int> synthsMade = 0;
    std::unique_ptr<PlaybackThread> player;
    std::vector<std::pair<int, int>> cues;
    bool cuesOnWindowThread = true;
    std::vector<PlaybackThread::State> states;
    QStringList unavailable;
};

TEST(PlaybackThread, PlaysOnItsOwnThreadAndTheHighlightComesBackQueued) {
    Session s;
    // 1_ 2_ 3_ at 400 a minute: 75 ms each.
    s.player->play(performanceOf("1_ 2_ 3_", 400));
    ASSERT_TRUE(waitFor([&] { return s.stoppedAfterPlaying(); }));
    EXPECT_EQ(s.states, (std::vector<PlaybackThread::State>{PlaybackThread::Playing,
                                                            PlaybackThread::Stopped}));
    EXPECT_EQ(s.log->taken(), (std::vector<std::string>{"on 0/60", "off 0/60", "on 0/62",
                                                        "off 0/62", "on 0/64", "off 0/64"}));
    EXPECT_EQ(s.cues, (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 2}, {0, -1}}));
    EXPECT_TRUE(s.cuesOnWindowThread);
    EXPECT_TRUE(s.unavailable.isEmpty());
}

TEST(PlaybackThread, TakesAboutThePerformancesTime) {
    Session s;
    QElapsedTimer timer;
    timer.start();
    s.player->play(performanceOf("1_ 2_ 3_ 4_", 240));  // 125 ms each: half a second
    ASSERT_TRUE(waitFor([&] { return s.stoppedAfterPlaying(); }));
    EXPECT_GE(timer.elapsed(), 490);
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST(PlaybackThread, EditingStopsPlayingAtOnce) {
    // Given a long score playing
    Session s;
    s.player->play(performanceOf("1 - - - | 2 - - -", 60));
    ASSERT_TRUE(waitFor([&] { return !s.cues.empty(); }));
    // When the score is edited
    s.player->documentEdited();
    // Then the sound stops and the highlight goes, long before the score would end.
    ASSERT_TRUE(waitFor([&] { return s.stoppedAfterPlaying(); }));
    EXPECT_EQ(s.log->taken(), (std::vector<std::string>{"on 0/60", "silence"}));
    EXPECT_EQ(s.cues.back(), std::make_pair(0, -1));
    // and resuming has nothing to play.
    s.player->resume();
    QThread::msleep(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(s.states.back(), PlaybackThread::Stopped);
}

TEST(PlaybackThread, PauseAndResumeFromTheWindow) {
    Session s;
    s.player->play(performanceOf("1 2", 60));
    ASSERT_TRUE(waitFor([&] { return !s.cues.empty(); }));
    s.player->pause();
    ASSERT_TRUE(waitFor([&] { return s.states.back() == PlaybackThread::Paused; }));
    s.player->resume();
    ASSERT_TRUE(waitFor([&] { return s.states.back() == PlaybackThread::Playing; }));
    s.player->stop();
    ASSERT_TRUE(waitFor([&] { return s.states.back() == PlaybackThread::Stopped; }));
    EXPECT_EQ(s.states, (std::vector<PlaybackThread::State>{
                            PlaybackThread::Playing, PlaybackThread::Paused,
                            PlaybackThread::Playing, PlaybackThread::Stopped}));
}

TEST(PlaybackThread, WithoutAnAudioDeviceItSaysSoOnceAndPlaysInSilence) {
    Session s(false);
    s.player->play(performanceOf("1_ 2_", 400));
    ASSERT_TRUE(waitFor([&] { return s.stoppedAfterPlaying(); }));
    s.player->play(performanceOf("3_", 400));
    ASSERT_TRUE(waitFor([&] { return s.states.size() == 4; }));
    EXPECT_EQ(s.unavailable, QStringList{QStringLiteral("no device")});
    EXPECT_EQ(s.synthsMade, 1);
    // The highlight ran both times.
    EXPECT_EQ(s.cues, (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {0, -1}, {0, 0}, {0, -1}}));
}

TEST(PlaybackThread, EndingWhilePlayingSilencesAndJoins) {
    Session s;
    s.player->play(performanceOf("1 - - -", 60));
    ASSERT_TRUE(waitFor([&] { return !s.cues.empty(); }));
    QElapsedTimer timer;
    timer.start();
    s.player.reset();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(s.log->taken().back(), "silence");
}

TEST(PlaybackThread, TheDesktopSynthPlaysThroughTheNullDriver) {
    qputenv("QE_AUDIO_DRIVER", "null");
    SoundStage stage;
    PlaybackThread player(stage.desktopSynth());
    QStringList unavailable;
    std::vector<PlaybackThread::State> states;
    QObject::connect(&player, &PlaybackThread::audioUnavailable,
                     [&](const QString& why) { unavailable << why; });
    QObject::connect(&player, &PlaybackThread::stateChanged,
                     [&](PlaybackThread::State st) { states.push_back(st); });
    player.play(performanceOf("1_ 5_", 400));
    ASSERT_TRUE(waitFor([&] { return states.size() == 2; }));
    qunsetenv("QE_AUDIO_DRIVER");
    // Without a SoundFont the message says so; with one, the null driver opens.
    if (sound::findSoundFont().empty())
        EXPECT_EQ(unavailable.size(), 1);
    else
        EXPECT_TRUE(unavailable.isEmpty()) << unavailable.join(' ').toStdString();
}

}  // namespace
}  // namespace qe
