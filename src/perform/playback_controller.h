#pragma once

#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "base/clock.h"
#include "perform/performance.h"
#include "perform/synth.h"

namespace qe::sound {

// A track's current note changed: the digit or rest at item index `item` of note track
// `track` sounds now (-1: none of its notes does).
struct CueChange {
    int track = 0;
    int item = -1;
    friend bool operator==(const CueChange&, const CueChange&) = default;
};

// Plays a performance on a synthesizer in the time of a clock, and says which note of each
// track is sounding. It does not wait: whoever drives it calls advance() when nextDue() comes
// (a playback thread, or a test with a clock of its own), and every call returns at once.
// Not thread-safe: one thread at a time.
class PlaybackController {
public:
    enum class State { Stopped, Playing, Paused };

    // Neither is owned; both outlive the controller.
    PlaybackController(const Clock& clock, Synth& synth);
    ~PlaybackController();
    PlaybackController(const PlaybackController&) = delete;
    PlaybackController& operator=(const PlaybackController&) = delete;

    // Takes the performance to play next, stopping what is playing.
    void load(std::shared_ptr<const Performance> performance);
    bool loaded() const { return performance_ != nullptr; }

    // Plays from a time in ticks of the performance. Notes that started before it and still
    // sound at it are struck at once, so that playing from the middle of a long note is heard.
    void play(Ticks from = 0);
    // Silences the synthesizer and keeps the place and the cues; resume() plays on from there.
    void pause();
    void resume();
    // Silences the synthesizer, clears the cues and goes back to the start.
    void stop();
    // The score was edited: the performance no longer matches it, so playing stops and the
    // performance is dropped until another is loaded.
    void documentEdited();

    // Sends every event due by now to the synthesizer. When the performance is over, playing
    // stops by itself.
    void advance();
    // The clock time of the next event, while playing.
    std::optional<double> nextDue() const;

    // The cue changes since the last call, in order.
    std::vector<CueChange> takeCueChanges();

    State state() const { return state_; }
    // The place in the performance: where playing is (or paused), in ticks.
    Ticks position() const;

private:
    struct Event {
        enum Kind { kOff, kCue, kOn };  // at one time: ends, then cues, then starts
        Ticks at = 0;
        Kind kind = kOff;
        int track = 0;
        int value = 0;  // a key, or a cue's item
        int velocity = 0;
    };

    void silence();
    void setCue(int track, int item);
    void apply(const Event& e);

    const Clock& clock_;
    Synth& synth_;
    std::shared_ptr<const Performance> performance_;
    std::vector<Event> events_;
    std::size_t next_ = 0;
    State state_ = State::Stopped;
    Ticks startTicks_ = 0;   // the place playing started from
    double startClock_ = 0;  // the clock time it started at
    Ticks pausedAt_ = 0;
    std::vector<int> cues_;  // per track
    std::vector<CueChange> changes_;
    std::set<std::pair<int, int>> sounding_;  // channel and key of each note on
};

}  // namespace qe::sound
