#include <gtest/gtest.h>

#include <ostream>
#include <sstream>

#include "perform/playback_controller.h"
#include "support/notation.h"
#include "support/perform_records.h"

namespace qe::sound {

void PrintTo(const CueChange& c, std::ostream* out) {
    *out << "{track " << c.track << ", item " << c.item << "}";
}

namespace {

class FakeClock : public Clock {
public:
    std::chrono::nanoseconds elapsed() const override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::duration<double>(time));
    }
    std::chrono::system_clock::time_point wallTime() const override { return {}; }
    double time = 100.0;  // the clock's origin is not the performance's
};

// Writes down what it is told, with the clock's time.
class FakeSynth : public Synth {
public:
    explicit FakeSynth(const FakeClock& clock) : clock_(clock) {}
    void programChange(int channel, int program) override { log("program", channel, program); }
    void noteOn(int channel, int key, int velocity) override {
        log("on", channel, key);
        EXPECT_EQ(velocity, kVelocity);
    }
    void noteOff(int channel, int key) override { log("off", channel, key); }
    void allNotesOff() override { calls.push_back(stamp() + " silence"); }

    std::vector<std::string> calls;

private:
    std::string stamp() const {
        std::ostringstream out;
        out << clock_.time - 100.0;
        return out.str();
    }
    void log(const char* what, int channel, int value) {
        calls.push_back(stamp() + " " + what + " " + std::to_string(channel) + "/" +
                        std::to_string(value));
    }
    const FakeClock& clock_;
};

// A controller on a score at 60 quarters a minute: a quarter is a second.
struct Player {
    explicit Player(std::initializer_list<std::string> tracks)
        : synth(clock), controller(clock, synth) {
        QeDocument doc = test::scoreOf(tracks);
        doc.header.keyLetter = 2;  // 1=C
        performance = std::make_shared<const Performance>(test::performRecords(doc, {.tempo = 60}));
        controller.load(performance);
    }

    // Drives the controller as the playback thread does, with the clock jumping to each due
    // time, until `until` or the end.
    void runUntil(double until) {
        while (const std::optional<double> due = controller.nextDue()) {
            if (*due > until + 100.0)
                break;
            clock.time = *due;
            controller.advance();
            for (const CueChange& c : controller.takeCueChanges())
                cues.push_back(c);
        }
        clock.time = std::max(clock.time, until + 100.0);
    }
    void takeCues() {
        for (const CueChange& c : controller.takeCueChanges())
            cues.push_back(c);
    }

    FakeClock clock;
    FakeSynth synth;
    PlaybackController controller;
    std::shared_ptr<const Performance> performance;
    std::vector<CueChange> cues;
};

using Calls = std::vector<std::string>;

TEST(Playback, EveryNoteSoundsAtItsTimeAndTheHighlightFollows) {
    Player p({"1 2 | 3 - |]", "0 5, | 1, 0 |]"});
    p.controller.play();
    p.takeCues();
    p.runUntil(1000);
    EXPECT_EQ(p.synth.calls, (Calls{"0 program 0/0", "0 program 1/0", "0 on 0/60", "1 off 0/60",
                                    "1 on 0/62", "1 on 1/55", "2 off 0/62", "2 off 1/55",
                                    "2 on 0/64", "2 on 1/48", "3 off 1/48", "4 off 0/64"}));
    EXPECT_EQ(p.cues,
              (std::vector<CueChange>{
                  {0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 3}, {1, 3}, {1, 4}, {0, -1}, {1, -1}}));
    // The performance over, playing stops by itself.
    EXPECT_EQ(p.controller.state(), PlaybackController::State::Stopped);
    EXPECT_EQ(p.controller.nextDue(), std::nullopt);
}

TEST(Playback, ALateCallSendsEverythingDueInOrder) {
    Player p({"1_ 2_ 3_ 4_"});
    p.controller.play();
    p.clock.time += 1.2;  // the thread woke late
    p.controller.advance();
    EXPECT_EQ(p.synth.calls, (Calls{"0 program 0/0", "1.2 on 0/60", "1.2 off 0/60", "1.2 on 0/62",
                                    "1.2 off 0/62", "1.2 on 0/64"}));
    EXPECT_EQ(p.controller.nextDue(), 101.5);  // the 3 ends on time all the same
}

TEST(Playback, PauseSilencesAndResumePlaysOnFromThePlace) {
    Player p({"1 2 - 3"});
    p.controller.play();
    p.runUntil(1.5);  // in the middle of the held 2
    p.controller.pause();
    EXPECT_EQ(p.controller.state(), PlaybackController::State::Paused);
    EXPECT_EQ(p.controller.position(), 3 * 1920 / 2);
    EXPECT_EQ(p.controller.nextDue(), std::nullopt);
    p.clock.time += 10;  // a long pause
    p.takeCues();
    EXPECT_EQ(p.cues, (std::vector<CueChange>{{0, 0}, {0, 1}}));  // the highlight stays
    p.controller.resume();
    p.runUntil(1000);
    EXPECT_EQ(
        p.synth.calls,
        (Calls{"0 program 0/0", "0 on 0/60", "1 off 0/60", "1 on 0/62", "1.5 silence",
               // resumed 10 s later, the 2 is struck again for what is left of it
               "11.5 program 0/0", "11.5 on 0/62", "13 off 0/62", "13 on 0/64", "14 off 0/64"}));
}

TEST(Playback, PlayingFromTheMiddleOfANoteStrikesIt) {
    Player p({"1 2 - 3", "5, - - -"});
    p.controller.play(1920 * 2);  // the middle of the 2 and of the 5,
    p.takeCues();
    EXPECT_EQ(p.cues, (std::vector<CueChange>{{0, 1}, {1, 0}}));
    p.runUntil(1000);
    EXPECT_EQ(p.synth.calls, (Calls{"0 program 0/0", "0 program 1/0", "0 on 0/62", "0 on 1/55",
                                    "1 off 0/62", "1 on 0/64", "2 off 0/64", "2 off 1/55"}));
    // Playing from a note's start strikes it once.
    Player q({"1 2"});
    q.controller.play(1920);
    q.runUntil(1000);
    EXPECT_EQ(q.synth.calls, (Calls{"0 program 0/0", "0 on 0/62", "1 off 0/62"}));
}

TEST(Playback, StopSilencesClearsTheHighlightAndGoesBackToTheStart) {
    Player p({"1 2 3"});
    p.controller.play();
    p.runUntil(1.5);
    p.controller.stop();
    p.takeCues();
    EXPECT_EQ(p.cues, (std::vector<CueChange>{{0, 0}, {0, 1}, {0, -1}}));
    EXPECT_EQ(p.synth.calls.back(), "1.5 silence");
    EXPECT_EQ(p.controller.position(), 0);
    EXPECT_EQ(p.controller.nextDue(), std::nullopt);
    // Resuming a stopped player does nothing; playing again starts over.
    p.controller.resume();
    EXPECT_EQ(p.controller.state(), PlaybackController::State::Stopped);
    p.controller.play();
    p.runUntil(1000);
    EXPECT_EQ(p.synth.calls.size(), 12u);
}

TEST(Playback, EditingStopsPlaybackAndDropsTheOldPerformance) {
    // Given a score playing
    Player p({"1 2 3"});
    p.controller.play();
    p.runUntil(0.5);
    // When the score is edited
    p.controller.documentEdited();
    // Then nothing sounds, nothing is highlighted, and nothing plays until the new score is
    // performed and loaded.
    p.takeCues();
    EXPECT_EQ(p.cues, (std::vector<CueChange>{{0, 0}, {0, -1}}));
    EXPECT_EQ(p.synth.calls.back(), "0.5 silence");
    EXPECT_FALSE(p.controller.loaded());
    p.controller.play();
    EXPECT_EQ(p.controller.state(), PlaybackController::State::Stopped);
    p.controller.load(std::make_shared<const Performance>(test::performRecords(test::scoreOf({"1"}))));
    p.controller.play();
    p.controller.advance();
    EXPECT_EQ(p.synth.calls.back(), "0.5 on 0/55");  // 1=G
}

TEST(Playback, AnEmptyScoreEndsAtOnce) {
    Player p({"0 0 |]"});
    p.controller.play();
    p.runUntil(1000);
    EXPECT_EQ(p.controller.state(), PlaybackController::State::Stopped);
    EXPECT_EQ(p.synth.calls, (Calls{"0 program 0/0"}));
    Player none(std::initializer_list<std::string>{});
    none.controller.play();
    none.controller.advance();
    EXPECT_EQ(none.controller.state(), PlaybackController::State::Stopped);
}

}  // namespace
}  // namespace qe::sound
