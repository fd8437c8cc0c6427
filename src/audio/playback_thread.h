#pragma once

#include <QObject>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "perform/performance.h"
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

    // FluidSynth with the system's General MIDI SoundFont, playing through the desktop's
    // audio (PulseAudio, PipeWire or ALSA); one for the whole editor, shared by every thread

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

    void post(Command command);
    void run();
    // Emits signals on the thread this object lives in, the window's.
    void onWindowThread(std::function<void()> signal);

    SynthFactory makeSynth_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Command> commands_;
    bool quit_ = false;
    std::thread thread_;  // last: it starts once everything above is ready
};

}  // namespace qe
