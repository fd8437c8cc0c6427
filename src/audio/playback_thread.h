#pragma once

#include <QObject>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "perform/performance.h"
#include "perform/playback_controller.h"
#include "perform/synth.h"

namespace qe {

// Plays performances on a thread of its own, so that the window never waits for the sound.
// Every call returns at once; the note that sounds in each track comes back through signals
// queued to the thread this object lives in, the window's. The synthesizer is made on the playback
// thread the first time something is played; when it cannot be made (no audio device),
// audioUnavailable is sent once and playing goes on in silence, its highlight with it.
class PlaybackThread : public QObject {
    Q_OBJECT
public:
    enum State { Stopped, Playing, Paused };
    Q_ENUM(State)

    // Makes a synthesizer, or nothing with `error` saying why.
    using SynthFactory = std::function<std::unique_ptr<sound::Synth>(std::string& error)>;

    explicit PlaybackThread(SynthFactory makeSynth, QObject* parent = nullptr);
    // Stops playing and waits for the thread to end.
    ~PlaybackThread() override;
    PlaybackThread(const PlaybackThread&) = delete;
    PlaybackThread& operator=(const PlaybackThread&) = delete;

    // Plays a performance from a time in ticks of it.
    void play(std::shared_ptr<const sound::Performance> performance, sound::Ticks from = 0);
    void pause();
    void resume();
    void stop();
    // The score changed: playing stops before the edit shows, and the old performance is
    // dropped.
    void documentEdited();

signals:
    // From now on, `item` of note track `track` sounds (-1: none of its notes).
    void cueChanged(int track, int item);
    void stateChanged(qe::PlaybackThread::State state);
    void audioUnavailable(const QString& reason);

private:
    struct Command {
        enum Kind { kPlay, kPause, kResume, kStop, kEdited };
        Kind kind = kStop;
        std::shared_ptr<const sound::Performance> performance;
        sound::Ticks from = 0;
    };

    // What the playback thread has to tell the window: the notes that began to sound, a new
    // state, or why there is no sound.
    struct News {
        std::vector<sound::CueChange> cues;
        std::optional<State> state;
        std::optional<QString> unavailable;
    };

    void post(Command command);
    void run();
    // Hands news to the thread this object lives in, the window's. The news waits in a box
    // under a lock of its own, so the hand-over is ordered by the standard library, not only
    // by Qt's event queue.
    void tellWindow(News news);
    // Emits what the box holds, in the order it came; runs on the window's thread.
    void deliverNews();

    SynthFactory makeSynth_;
    std::mutex newsLock_;
    std::deque<News> news_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Command> commands_;
    bool quit_ = false;
    std::thread thread_;  // last: it starts once everything above is ready
};

}  // namespace qe
