#include "perform/wav_format.h"

namespace qe::sound {

namespace {

void put(unsigned char*& at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        *at++ = static_cast<unsigned char>(value >> (8 * i));
}

void tag(unsigned char*& at, const char (&text)[5]) {
    for (int i = 0; i < 4; ++i)
        *at++ = static_cast<unsigned char>(text[i]);
}

}  // namespace

std::array<unsigned char, WavFormat::kHeadSize> WavFormat::head(std::uint64_t frames) const {
    const auto dataBytes = static_cast<std::uint32_t>(frames * bytesPerFrame());
    const auto blockAlign = static_cast<std::uint32_t>(bytesPerFrame());
    std::array<unsigned char, kHeadSize> bytes{};
    unsigned char* at = bytes.data();
    tag(at, "RIFF");
    put(at, static_cast<std::uint32_t>(kHeadSize - 8) + dataBytes, 4);
    tag(at, "WAVE");
    tag(at, "fmt ");
    put(at, 16, 4);  // the size of a PCM format chunk
    put(at, 1, 2);   // PCM
    put(at, static_cast<std::uint32_t>(channels), 2);
    put(at, static_cast<std::uint32_t>(sampleRate), 4);
    put(at, static_cast<std::uint32_t>(sampleRate) * blockAlign, 4);
    put(at, blockAlign, 2);
    put(at, 16, 2);  // bits per sample
    tag(at, "data");
    put(at, dataBytes, 4);
    return bytes;
}

}  // namespace qe::sound
