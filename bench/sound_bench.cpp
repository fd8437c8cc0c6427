// How fast the score is heard: rendering a three-minute song to WAV against its playing time
// (target: under a tenth of it), and writing the 200-page score as MIDI against laying it out
// in page mode with the real drawing surface measuring text (target: less than the layout).
// Both are measured in the same run; the ratios are printed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "audio/fluid_renderer.h"
#include "audio/soundfont.h"
#include "cli/headless_host.h"
#include "edit/score_session.h"
#include "engrave/page_view.h"
#include "long_score.h"
#include "perform/smf_writer.h"
#include "qt_benchmarks.h"

namespace {

constexpr int kSongMeasures = 68;    // 272 quarters at 90 a minute: three minutes
constexpr int kLongMeasures = 4200;  // 200 pages
constexpr double kWavShare = 0.1;

// Counts the bytes it is given and keeps none.
class CountingSink : public qe::sound::ByteSink {
public:
    bool write(const unsigned char*, std::size_t size) override {
        bytes += size;
        return true;
    }
    std::size_t bytes = 0;
};

double g_songSeconds = 0;
int g_pages = 0;

void RenderWavOfASong(benchmark::State& state) {
    qe::ScoreSession session;
    session.load(qe::bench::longScore(kSongMeasures));
    qe::sound::RenderOptions options;
    options.soundFont = qe::sound::findSoundFont();
    if (options.soundFont.empty()) {
        state.SkipWithError("no General MIDI SoundFont installed");
        return;
    }
    for (auto _ : state) {
        const qe::sound::Performance performance = qe::sound::perform(session.score);
        CountingSink sink;
        const qe::sound::RenderResult result = qe::sound::renderWav(performance, options, sink);
        if (!result.ok())
            state.SkipWithError(result.detail.c_str());
        g_songSeconds = performance.seconds(performance.length);
        benchmark::DoNotOptimize(sink.bytes);
    }
    state.counters["seconds of sound"] = g_songSeconds;
}

void MidiOfTheLongScore(benchmark::State& state) {
    qe::ScoreSession session;
    session.load(qe::bench::longScore(kLongMeasures));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<unsigned char> midi = qe::sound::writeSmf(qe::sound::perform(session.score));
        bytes = midi.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void PageLayoutOfTheLongScore(benchmark::State& state) {
    qe::QeDocument doc = qe::bench::longScore(kLongMeasures);
    qe::HeadlessHost host{qe::bench::QtBenchmarks::fonts()};
    std::unique_ptr<qe::ScoreSession> session;
    for (auto _ : state) {
        // Taking the last score down is not part of the layout.
        state.PauseTiming();
        session = std::make_unique<qe::ScoreSession>();
        state.ResumeTiming();
        session->load(doc);
        const std::unique_ptr<qe::Surface> g = host.layoutSurface();
        qe::ScoreLayout& layout = session->layout(qe::ScoreLayout::kPageMode);
        layout.update(*g);
        g_pages = layout.pages()->childCount();
    }
    state.counters["pages"] = g_pages;
}

BENCHMARK(RenderWavOfASong)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(MidiOfTheLongScore)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(PageLayoutOfTheLongScore)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

class TimesReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;  // milliseconds
};

}  // namespace

int main(int argc, char** argv) {
    qe::bench::QtBenchmarks benchmarks(argc, argv);
    TimesReporter reporter;
    if (!benchmarks.run(reporter))
        return 1;

    bool met = true;
    const auto wav = reporter.times.find("RenderWavOfASong");
    if (wav != reporter.times.end() && g_songSeconds > 0) {
        const double share = wav->second / (1000 * g_songSeconds);
        std::printf("WAV of a %.0f s song: %.0f ms, %.3f of its playing time (target < %.1f)%s\n",
                    g_songSeconds, wav->second, share, kWavShare,
                    share < kWavShare ? "" : "  ABOVE TARGET");
        met = met && share < kWavShare;
    }
    const auto midi = reporter.times.find("MidiOfTheLongScore");
    const auto layout = reporter.times.find("PageLayoutOfTheLongScore");
    if (midi != reporter.times.end() && layout != reporter.times.end()) {
        const double share = midi->second / layout->second;
        std::printf(
            "MIDI of the %d-page score: %.1f ms against its page layout's %.1f ms, "
            "%.3f of it (target < 1)%s\n",
            g_pages, midi->second, layout->second, share, share < 1 ? "" : "  ABOVE TARGET");
        met = met && share < 1;
    }
    return met ? 0 : 1;
}
