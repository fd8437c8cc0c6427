#include "audio/fluid_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/fluid_synth.h"

namespace qe::sound {

namespace {

struct Event {
    std::uint64_t frame = 0;
    bool on = false;
    int channel = 0;
    int key = 0;
    int velocity = 0;
};

std::uint64_t frameOf(const Performance& p, Ticks time, int rate) {
    return static_cast<std::uint64_t>(std::llround(p.seconds(time) * rate));
}

// The events in the order they happen; at one frame a note ends before the next one starts.
std::vector<Event> eventsOf(const Performance& p, int rate) {
    std::vector<Event> events;
    for (const PerformedTrack& track : p.tracks) {
        for (const SoundedNote& n : track.notes) {
            events.push_back(
                Event{frameOf(p, n.start, rate), true, track.channel, n.key, n.velocity});
            events.push_back(
                Event{frameOf(p, n.start + n.length, rate), false, track.channel, n.key, 0});
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.frame != b.frame ? a.frame < b.frame : !a.on && b.on;
    });
    return events;
}

std::int16_t toSample(float value) {
    const float scaled = std::round(std::clamp(value, -1.0f, 1.0f) * 32767.0f);
    return static_cast<std::int16_t>(scaled);
}

}  // namespace

RenderResult renderWav(const Performance& performance, const RenderOptions& options,
                       ByteSink& sink) {
    const WavFormat format{std::clamp(options.sampleRate, 8000, 192000), 2};
    const int rate = format.sampleRate;
    const std::uint64_t frames =
        frameOf(performance, performance.length, rate) +
        static_cast<std::uint64_t>(std::llround(std::max(0.0, options.tailSeconds) * rate));
    if (!format.fits(frames))
        return RenderResult{RenderResult::kTooLong, {}};
    std::string error;
    const std::unique_ptr<FluidSynth> synth =
        FluidSynth::create(options.soundFont, static_cast<double>(rate), error);
    if (!synth)
        return RenderResult{RenderResult::kNoSoundFont, error};

    const auto head = format.head(frames);
    if (!sink.write(head.data(), head.size()))
        return RenderResult{RenderResult::kWriteFailed, {}};
    for (const PerformedTrack& track : performance.tracks)
        synth->programChange(track.channel, track.program);

    constexpr std::size_t kBlock = 4096;  // frames rendered at a time
    std::vector<float> block(2 * kBlock);
    std::vector<unsigned char> bytes(4 * kBlock);
    const std::vector<Event> events = eventsOf(performance, rate);
    std::size_t next = 0;
    for (std::uint64_t frame = 0; frame < frames;) {
        while (next < events.size() && events[next].frame <= frame) {
            const Event& e = events[next++];
            if (e.on)
                synth->noteOn(e.channel, e.key, e.velocity);
            else
                synth->noteOff(e.channel, e.key);
        }
        std::uint64_t until = std::min<std::uint64_t>(frames, frame + kBlock);
        if (next < events.size())
            until = std::min(until, events[next].frame);
        const auto count = static_cast<std::size_t>(until - frame);
        synth->render(block.data(), static_cast<int>(count));
        for (std::size_t i = 0; i < 2 * count; ++i) {
            const auto sample = static_cast<std::uint16_t>(toSample(block[i]));
            bytes[2 * i] = static_cast<unsigned char>(sample);
            bytes[2 * i + 1] = static_cast<unsigned char>(sample >> 8);
        }
        if (!sink.write(bytes.data(), 4 * count))
            return RenderResult{RenderResult::kWriteFailed, {}};
        frame = until;
    }
    return RenderResult{};
}

}  // namespace qe::sound
