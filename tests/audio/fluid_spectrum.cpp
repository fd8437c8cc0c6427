#include "audio/fluid_spectrum.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <stdexcept>

namespace qe::test {

namespace {

std::uint32_t little(const std::vector<unsigned char>& b, std::size_t at, int count) {
    std::uint32_t v = 0;
    for (int i = count - 1; i >= 0; --i)
        v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
    return v;
}

void fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2 * std::numbers::pi / static_cast<double>(len);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w(1);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> u = a[i + k];
                const std::complex<double> v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

}  // namespace

Wav readWav(const std::vector<unsigned char>& b) {
    const auto tag = [&](std::size_t at) {
        return std::string(b.begin() + static_cast<long>(at),
                           b.begin() + static_cast<long>(at) + 4);
    };
    if (b.size() < 44 || tag(0) != "RIFF" || tag(8) != "WAVE" || tag(12) != "fmt " ||
        tag(36) != "data")
        throw std::runtime_error("not the WAV head expected");
    if (little(b, 4, 4) != b.size() - 8 || little(b, 40, 4) != b.size() - 44)
        throw std::runtime_error("the sizes in the head do not match the file");
    if (little(b, 20, 2) != 1 || little(b, 22, 2) != 2 || little(b, 34, 2) != 16 ||
        little(b, 32, 2) != 4 || little(b, 28, 4) != 4 * little(b, 24, 4))
        throw std::runtime_error("not 16-bit stereo PCM");
    Wav wav;
    wav.sampleRate = static_cast<int>(little(b, 24, 4));
    for (std::size_t at = 44; at + 4 <= b.size(); at += 4) {
        const auto left = static_cast<std::int16_t>(little(b, at, 2));
        const auto right = static_cast<std::int16_t>(little(b, at + 2, 2));
        wav.mono.push_back((static_cast<float>(left) + static_cast<float>(right)) / 65536.0f);
    }
    return wav;
}

double strongestFrequency(const std::vector<float>& samples, std::size_t first, std::size_t count,
                          int sampleRate) {
    std::size_t n = 1;
    while (n < count)
        n <<= 1;
    std::vector<std::complex<double>> a(n);
    for (std::size_t i = 0; i < count && first + i < samples.size(); ++i) {
        const double window = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) /
                                                   static_cast<double>(count - 1));
        a[i] = samples[first + i] * window;
    }
    fft(a);
    std::size_t best = 1;
    for (std::size_t k = 1; k < n / 2; ++k)
        if (std::abs(a[k]) > std::abs(a[best]))
            best = k;
    // A parabola through the log magnitudes of the peak and its neighbours.
    const double l = std::log(std::abs(a[best - 1]) + 1e-12);
    const double c = std::log(std::abs(a[best]) + 1e-12);
    const double r = std::log(std::abs(a[best + 1]) + 1e-12);
    const double shift = (l - r) / (2 * (l - 2 * c + r));
    return (static_cast<double>(best) + (std::isfinite(shift) ? shift : 0)) * sampleRate /
           static_cast<double>(n);
}

float peak(const std::vector<float>& samples) {
    float most = 0;
    for (float s : samples)
        most = std::max(most, std::abs(s));
    return most;
}

int keyOfFrequency(double hertz) {
    return static_cast<int>(std::lround(69 + 12 * std::log2(hertz / 440.0)));
}

}  // namespace qe::test
