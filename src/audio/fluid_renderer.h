#pragma once

#include <string>

#include "perform/byte_sink.h"
#include "perform/performance.h"
#include "perform/wav_format.h"

namespace qe::sound {

struct RenderOptions {
    std::string soundFont;   // a General MIDI SoundFont (see findSoundFont)
    int sampleRate = 44100;  // the file is stereo
    // After the last measure the sound dies away for this long; the file is this much longer
    // than the performance.
    double tailSeconds = 1.5;
};

struct RenderResult {
    enum Status { kOk, kNoSoundFont, kTooLong, kWriteFailed };
    Status status = kOk;
    std::string detail;  // FluidSynth's own words, when it gave any
    bool ok() const { return status == kOk; }
};

// Renders a performance offline through FluidSynth, as fast as the machine allows and without
// a sound device, and writes it to `sink` as a 16-bit WAV file. Nothing is written when the
// SoundFont cannot be read or the sound would not fit a WAV file (4 GiB, about six and a half
// hours); a sink that fails stops the rendering.
RenderResult renderWav(const Performance& performance, const RenderOptions& options,
                       ByteSink& sink);

}  // namespace qe::sound
