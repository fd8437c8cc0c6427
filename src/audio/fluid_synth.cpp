#include "audio/fluid_synth.h"

#include <fluidsynth.h>

#include <mutex>

namespace qe::sound {

namespace {

// FluidSynth reports its errors through a log function of the whole process, not to the
// call that failed. A call that wants them holds a capture while it runs: what FluidSynth logs
// on that thread meanwhile goes into it, and nothing is printed. Outside a capture the log is
// dropped.
class ErrorCapture {
public:
    ErrorCapture() : outer_(current_) { current_ = this; }
    ~ErrorCapture() { current_ = outer_; }
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    // The last error logged, or `fallback` when FluidSynth said nothing.
    std::string message(const std::string& fallback) const {
        return error_.empty() ? fallback : error_;
    }

    static void keep(int, const char* message, void*) {
        if (current_)
            current_->error_ = message ? message : "";
    }

private:
    static thread_local ErrorCapture* current_;
    ErrorCapture* outer_;
    std::string error_;
};

thread_local ErrorCapture* ErrorCapture::current_ = nullptr;

void ignore(int, const char*, void*) {}

void routeLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        fluid_set_log_function(FLUID_PANIC, ErrorCapture::keep, nullptr);
        fluid_set_log_function(FLUID_ERR, ErrorCapture::keep, nullptr);
        fluid_set_log_function(FLUID_WARN, ignore, nullptr);
        fluid_set_log_function(FLUID_INFO, ignore, nullptr);
        fluid_set_log_function(FLUID_DBG, ignore, nullptr);
    });
}

}  // namespace

struct FluidSynth::Parts {
    ~Parts() {
        if (driver)
            delete_fluid_audio_driver(driver);
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* driver = nullptr;
};

FluidSynth::FluidSynth(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

FluidSynth::~FluidSynth() = default;

std::unique_ptr<FluidSynth> FluidSynth::create(const std::string& soundFont, double sampleRate,
                                               std::string& error) {
    routeLog();
    const ErrorCapture capture;
    auto parts = std::make_unique<Parts>();
    parts->settings = new_fluid_settings();
    if (!parts->settings) {
        error = capture.message("FluidSynth could not start");
        return nullptr;
    }
    fluid_settings_setnum(parts->settings, "synth.sample-rate", sampleRate);
    // FluidSynth's own gain is quiet for one melody; this leaves room for a few tracks at once.
    fluid_settings_setnum(parts->settings, "synth.gain", 1.0);
    // The file driver, used for "null", writes where it is told: nowhere.
    fluid_settings_setstr(parts->settings, "audio.file.name", "/dev/null");
    fluid_settings_setstr(parts->settings, "audio.file.type", "raw");
    parts->synth = new_fluid_synth(parts->settings);
    if (!parts->synth) {
        error = capture.message("FluidSynth could not start");
        return nullptr;
    }
    if (soundFont.empty() ||
        fluid_synth_sfload(parts->synth, soundFont.c_str(), 1) == FLUID_FAILED) {
        error = capture.message("the SoundFont " + soundFont + " could not be read");
        return nullptr;
    }
    return std::unique_ptr<FluidSynth>(new FluidSynth(std::move(parts)));
}

void FluidSynth::programChange(int channel, int program) {
    fluid_synth_program_change(parts_->synth, channel, program);
}

void FluidSynth::noteOn(int channel, int key, int velocity) {
    fluid_synth_noteon(parts_->synth, channel, key, velocity);
}

void FluidSynth::noteOff(int channel, int key) {
    fluid_synth_noteoff(parts_->synth, channel, key);
}

void FluidSynth::allNotesOff() {
    for (int channel = 0; channel < 16; ++channel)
        fluid_synth_all_notes_off(parts_->synth, channel);
}

void FluidSynth::render(float* interleaved, int frames) {
    fluid_synth_write_float(parts_->synth, frames, interleaved, 0, 2, interleaved, 1, 2);
}

const std::vector<std::string>& FluidSynth::desktopDrivers() {
    static const std::vector<std::string> kDrivers = {"pulseaudio", "pipewire", "alsa"};
    return kDrivers;
}

bool FluidSynth::startAudio(const std::vector<std::string>& drivers, std::string& error) {
    routeLog();
    const ErrorCapture capture;
    for (const std::string& name : drivers) {
        const std::string driver = name == "null" ? "file" : name;
        if (fluid_settings_setstr(parts_->settings, "audio.driver", driver.c_str()) == FLUID_FAILED)
            continue;
        parts_->driver = new_fluid_audio_driver(parts_->settings, parts_->synth);
        if (parts_->driver)
            return true;
    }
    error = capture.message("no audio driver could be opened");
    return false;
}

}  // namespace qe::sound
