#pragma once

namespace qe::sound {

// Where a performance is played: a General MIDI synthesizer, real or not. Channels are
// 0..15, keys and programs 0..127.
class Synth {
public:
    virtual ~Synth() = default;
    virtual void programChange(int channel, int program) = 0;
    virtual void noteOn(int channel, int key, int velocity) = 0;
    virtual void noteOff(int channel, int key) = 0;
    // Silences every channel at once.
    virtual void allNotesOff() = 0;
};

// A synthesizer that sounds nothing: playback goes on, with its highlight, on a machine
// without an audio device.
class SilentSynth final : public Synth {
public:
    void programChange(int, int) override {}
    void noteOn(int, int, int) override {}
    void noteOff(int, int) override {}
    void allNotesOff() override {}
};

}  // namespace qe::sound
