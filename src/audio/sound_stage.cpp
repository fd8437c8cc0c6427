#include "audio/sound_stage.h"

#include <cstdlib>
#include <vector>

#include "audio/fluid_synth.h"
#include "audio/score_player.h"
#include "audio/soundfont.h"

namespace qe {

namespace {

// A hold on the stage's one synthesizer.
class SharedSynth final : public sound::Synth {
public:
    explicit SharedSynth(std::shared_ptr<sound::Synth> synth) : synth_(std::move(synth)) {}
    void programChange(int channel, int program) override {
        synth_->programChange(channel, program);
    }
    void noteOn(int channel, int key, int velocity) override {
        synth_->noteOn(channel, key, velocity);
    }
    void noteOff(int channel, int key) override { synth_->noteOff(channel, key); }
    void allNotesOff() override { synth_->allNotesOff(); }

private:
    std::shared_ptr<sound::Synth> synth_;
};

}  // namespace

PlaybackThread::SynthFactory SoundStage::desktopSynth() {
    return [this](std::string& error) { return sharedSynth(error); };
}

std::unique_ptr<sound::Synth> SoundStage::sharedSynth(std::string& error) {
    // One synthesizer and one audio device for every window, however many play: only one
    // plays at a time.
    const std::lock_guard lock(mutex_);
    std::shared_ptr<sound::FluidSynth> synth = shared_.lock();
    if (!synth) {
        const std::string soundFont = sound::findSoundFont();
        if (soundFont.empty()) {
            error =
                "no General MIDI SoundFont is installed (the package timgm6mb-soundfont has one)";
            return nullptr;
        }
        synth = sound::FluidSynth::create(soundFont, 44100, error);
        if (!synth)
            return nullptr;
        const char* chosen = std::getenv("QE_AUDIO_DRIVER");
        const std::vector<std::string> drivers = chosen && *chosen
                                                     ? std::vector<std::string>{chosen}
                                                     : sound::FluidSynth::desktopDrivers();
        if (!synth->startAudio(drivers, error))
            return nullptr;
        shared_ = synth;
    }
    return std::make_unique<SharedSynth>(std::move(synth));
}

void SoundStage::starting(ScorePlayer& player) {
    if (playing_ && playing_ != &player)
        playing_->stop();
    playing_ = &player;
}

void SoundStage::leaving(ScorePlayer& player) {
    if (playing_ == &player)
        playing_ = nullptr;
}

}  // namespace qe
