#pragma once

#include <cstdint>
#include <vector>

namespace qe::test {

// A 16-bit stereo WAV file read back for tests; throws std::runtime_error when its head is
// not the one expected.
struct Wav {
    int sampleRate = 0;
    std::vector<float> mono;  // left and right averaged, full scale ±1
};
Wav readWav(const std::vector<unsigned char>& bytes);

// The strongest frequency in `count` samples from `first`, in hertz: a Hann-windowed FFT
// over the next power of two, refined between bins.
double strongestFrequency(const std::vector<float>& samples, std::size_t first, std::size_t count,
                          int sampleRate);

// The largest absolute sample.
float peak(const std::vector<float>& samples);

// The MIDI key nearest to a frequency.
int keyOfFrequency(double hertz);

}  // namespace qe::test
