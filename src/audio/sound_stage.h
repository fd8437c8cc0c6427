#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "audio/playback_thread.h"

namespace qe {

class ScorePlayer;

namespace sound {
class FluidSynth;
}

// Where the editor's scores are played: one synthesizer on the desktop's audio device for every
// window (a SoundFont is large, and there is one device), and one player playing at a time.
// The application makes one and hands it to every window; tests make their own.
class SoundStage {
public:
    SoundStage() = default;
    SoundStage(const SoundStage&) = delete;
    SoundStage& operator=(const SoundStage&) = delete;

    // Makes the desktop's synthesizer for a player's thread, shared with every other player:
    // FluidSynth with the largest General MIDI SoundFont found, on the desktop's audio driver
    // (or the one QE_AUDIO_DRIVER names). Callable from any thread.
    PlaybackThread::SynthFactory desktopSynth();

    // A player starts: the one that played before stops.
    void starting(ScorePlayer& player);
    // A player goes away.
    void leaving(ScorePlayer& player);

private:
    std::unique_ptr<sound::Synth> sharedSynth(std::string& error);

    std::mutex mutex_;
    std::weak_ptr<sound::FluidSynth> shared_;
    ScorePlayer* playing_ = nullptr;  // on the windows' thread
};

}  // namespace qe
