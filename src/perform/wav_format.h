#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qe::sound {

// 16-bit PCM in a RIFF WAVE file: the 44-byte head before the samples.
struct WavFormat {
    static constexpr std::size_t kHeadSize = 44;
    // The RIFF sizes are 32-bit: the most sample bytes a file can hold after its head.
    static constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - (kHeadSize - 8);

    int sampleRate = 44100;
    int channels = 2;

    std::uint64_t bytesPerFrame() const { return 2ull * static_cast<std::uint64_t>(channels); }
    // Whether `frames` frames fit in one file.
    bool fits(std::uint64_t frames) const { return frames <= kMaxDataBytes / bytesPerFrame(); }
    // The head of a file of `frames` frames; they must fit.
    std::array<unsigned char, kHeadSize> head(std::uint64_t frames) const;
};

}  // namespace qe::sound
