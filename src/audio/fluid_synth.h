#pragma once

#include <memory>
#include <string>
#include <vector>

#include "perform/synth.h"

namespace qe::sound {

// A FluidSynth synthesizer with one General MIDI SoundFont. It either renders on request
// (render, for files, faster than real time) or, once startAudio succeeded, plays through
// an audio driver of the desktop on the driver's own thread; its calls may come from any
// thread.
class FluidSynth final : public Synth {
public:
    // Nothing when FluidSynth cannot start or cannot read the SoundFont; `error` says why.
    static std::unique_ptr<FluidSynth> create(const std::string& soundFont, double sampleRate,
                                              std::string& error);
    ~FluidSynth() override;
    FluidSynth(const FluidSynth&) = delete;
    FluidSynth& operator=(const FluidSynth&) = delete;

    void programChange(int channel, int program) override;
    void noteOn(int channel, int key, int velocity) override;
    void noteOff(int channel, int key) override;
    void allNotesOff() override;

    // Renders `frames` frames of stereo samples, left and right interleaved, full scale ±1.
    void render(float* interleaved, int frames);

    // Starts playing through the first audio driver of `drivers` that opens (FluidSynth's
    // names: "pulseaudio", which PipeWire desktops also serve, "pipewire", "alsa"; "null"
    // plays to no device at all). False, with `error` saying why, when none opens.
    bool startAudio(const std::vector<std::string>& drivers, std::string& error);

    // The drivers tried for a desktop, in order.
    static const std::vector<std::string>& desktopDrivers();

private:
    struct Parts;
    explicit FluidSynth(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

}  // namespace qe::sound
