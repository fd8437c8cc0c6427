#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <mutex>

#include "audio/score_player.h"
#include "audio/sound_stage.h"
#include "music/score_records.h"
#include "support/fake_host.h"
#include "gui/played_editor.h"
#include "support/notation.h"

namespace qe {
namespace {

// Keeps the keys struck, from whichever thread strikes them.
struct Keys {
    std::mutex mutex;
    std::vector<int> struck;
    int silenced = 0;
};

class KeySynth : public sound::Synth {
public:
    explicit KeySynth(std::shared_ptr<Keys> keys) : keys_(std::move(keys)) {}
    void programChange(int, int) override {}
    void noteOn(int, int key, int) override {
        const std::lock_guard lock(keys_->mutex);
        keys_->struck.push_back(key);
    }
    void noteOff(int, int) override {}
    void allNotesOff() override {
        const std::lock_guard lock(keys_->mutex);
        ++keys_->silenced;
    }

private:
    std::shared_ptr<Keys> keys_;
};

template <typename Done>
bool waitFor(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// The place of a caret position's entry.
ScorePlace placeOf(const Position& at) {
    return ScorePlace{at.track, {at.measure, at.entry}};
}

// A score open in a view, with a player on it.
struct Playing {
    // Players on one stage play one at a time.
    explicit Playing(const std::string& track, bool audio = true,
                     std::shared_ptr<SoundStage> on = std::make_shared<SoundStage>())
        : editor(score(track)), played(editor.view), keys(std::make_shared<Keys>()),
          stage(std::move(on)) {
        player = std::make_unique<ScorePlayer>(
            played, *stage,
            [keys = keys, audio](std::string& error) -> std::unique_ptr<sound::Synth> {
                if (!audio) {
                    error = "no device";
                    return nullptr;
                }
                return std::make_unique<KeySynth>(keys);
            });
        QObject::connect(player.get(), &ScorePlayer::highlightChanged, [this] {
            if (!player->soundingPlaces().empty())
                highlighted.push_back(player->soundingPlaces().front());
        });
        QObject::connect(player.get(), &ScorePlayer::audioUnavailable,
                         [this](const QString& message) { messages << message; });
    }
    static QeDocument score(const std::string& track) {
        QeDocument doc = test::scoreOf({track});
        doc.header.keyLetter = 2;  // 1=C
        return doc;
    }
    std::vector<int> struck() {
        const std::lock_guard lock(keys->mutex);
        return keys->struck;
    }
    bool stopped() const { return player->state() == PlaybackThread::Stopped; }

    test::Editor editor;
    PlayedEditor played;
    std::shared_ptr<Keys> keys;
    std::shared_ptr<SoundStage> stage;
    std::unique_ptr<ScorePlayer> player;
    std::vector<ScorePlace> highlighted;
    QStringList messages;
};

TEST(ScorePlayer, PlaysWhatTheViewShowsFromItsCaretAndHighlightsEachNote) {
    // Given 1 2 3 with the caret moved before the 2 and a 5 typed there, not yet saved
    Playing p("1_ 2_ 3_ |]");
    p.editor.view.caretRight();
    p.editor.type(U"k5");
    // When it plays from the caret (before the 2, after the typed 5) at 400 a minute
    p.player->play(400, true);
    ASSERT_TRUE(waitFor([&] { return p.struck().size() == 2 && p.stopped(); }));
    // Then the 2 and the 3 sound, each shown in turn, and the highlight goes at the end.
    EXPECT_EQ(p.struck(), (std::vector<int>{62, 64}));
    EXPECT_EQ(p.highlighted, (std::vector<ScorePlace>{placeOf(p.editor.at(0, 2)),
                                                      placeOf(p.editor.at(0, 3))}));
    EXPECT_TRUE(p.player->soundingPlaces().empty());
    // From the start, the typed 5 sounds too.
    p.player->play(400, false);
    ASSERT_TRUE(waitFor([&] { return p.struck().size() == 6 && p.stopped(); }));
    EXPECT_EQ(p.struck(), (std::vector<int>{62, 64, 60, 67, 62, 64}));
}

TEST(ScorePlayer, EditingStopsPlayingAndTakesTheHighlightAtOnce) {
    Playing p("1 - - - | 2 - - - |]");
    p.player->play(60, false);
    ASSERT_TRUE(waitFor([&] { return !p.player->soundingPlaces().empty(); }));
    EXPECT_EQ(p.player->soundingPlaces().size(), 1u);
    p.player->scoreEdited();
    EXPECT_TRUE(p.player->soundingPlaces().empty());
    ASSERT_TRUE(waitFor([&] { return p.stopped(); }));
    EXPECT_EQ(p.struck(), std::vector<int>{60});
    EXPECT_GE(p.keys->silenced, 1);
}

TEST(ScorePlayer, OnePlayerPlaysAtATime) {
    const auto stage = std::make_shared<SoundStage>();
    Playing a("1 - - - |]", true, stage);
    Playing b("5_ |]", true, stage);
    a.player->play(60, false);
    ASSERT_TRUE(waitFor([&] { return a.player->state() == PlaybackThread::Playing; }));
    b.player->play(400, false);
    ASSERT_TRUE(waitFor([&] { return a.stopped() && b.struck().size() == 1; }));
    EXPECT_EQ(a.struck(), std::vector<int>{60});
}

TEST(ScorePlayer, NoAudioDeviceIsSaidOnceAndTheHighlightStillRuns) {
    Playing p("1_ |]", false);
    p.player->play(400, false);
    ASSERT_TRUE(waitFor([&] { return !p.highlighted.empty() && p.stopped(); }));
    p.player->play(400, false);
    ASSERT_TRUE(waitFor([&] { return p.highlighted.size() == 2 && p.stopped(); }));
    ASSERT_EQ(p.messages.size(), 1);
    EXPECT_TRUE(p.messages[0].contains(QStringLiteral("no device")));
}

TEST(ScorePlayer, TheTempoIsRememberedForEachDocumentFile) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    const QString song = QStringLiteral("/home/user/乐谱/song.qe");
    EXPECT_EQ(ScorePlayer::rememberedTempo(settings, song), 90);
    ScorePlayer::rememberTempo(settings, song, 132);
    ScorePlayer::rememberTempo(settings, QStringLiteral("/other.qe"), 60);
    ScorePlayer::rememberTempo(settings, QString(), 200);  // an unsaved score keeps nothing
    EXPECT_EQ(ScorePlayer::rememberedTempo(settings, song), 132);
    EXPECT_EQ(ScorePlayer::rememberedTempo(settings, QStringLiteral("/other.qe")), 60);
    EXPECT_EQ(ScorePlayer::rememberedTempo(settings, QString()), 90);
    // A value edited out of range by hand reads as the default.
    ScorePlayer::rememberTempo(settings, song, 5000);
    EXPECT_EQ(ScorePlayer::rememberedTempo(settings, song), 90);
}

}  // namespace
}  // namespace qe
