// MusicXML import and export of a 200-page score (8,000 measures in two tracks), against
// loading the same score from its .qe file and laying it out in page mode with the real
// drawing surface, in the same run. Each of import and export must take less time than
// that; the ratios of the medians (CPU and wall time) are printed after the run, and the
// program fails when a CPU time ratio is 1 or more. QXmlStreamReader merely reading the
// file, token by token, is measured too: no import can take less than that.
//
//   musicxml_bench [--benchmark_repetitions=N] [other Google Benchmark flags]

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "cli/headless_host.h"
#include "document/score_file.h"
#include "edit/score_session.h"
#include "engrave/page_view.h"
#include "musicxml/musicxml_file.h"
#include "qt_benchmarks.h"
#include "records/qe_document.h"

namespace {

constexpr int kMeasuresPerTrack = 4000;

// Two tracks of a song-like score: eighths with octave dots and sharps here and there, and
// slurs, in the upper track, quarters in the lower, a syllable under every note of the upper
// track (as far as a location can name it).
qe::QeDocument scoreOf(int measures) {
    qe::QeDocument doc;
    doc.initNew(u"MusicXML");
    doc.noteTracks().clear();
    doc.noteTracks().resize(2);
    auto& upper = doc.noteTracks()[0].content.items;
    auto& lower = doc.noteTracks()[1].content.items;
    auto& verse = doc.content.lyrics.items.emplace_back().content.items;
    for (int m = 0; m < measures; ++m) {
        for (int i = 0; i < 7; ++i) {
            const int index = static_cast<int>(upper.size());
            upper.emplace_back((m + i) % 11 == 0 ? 1 : 0, 1 + (m + i) % 7, (m + i) % 5 == 0 ? 1 : 0,
                               1);
            if (index < 32000) {
                qe::lyrics& syllable = verse.emplace_back();
                syllable.text = (m + i) % 3 == 0 ? u"啊-" : u"la";
                syllable.place = qe::location(1, 0, static_cast<std::int16_t>(index));
            }
        }
        upper.emplace_back(0, 1 + m % 7, 0, 1);
        upper.push_back(qe::note::barLine(m % 8 == 7 ? 2 : 0));
        for (int i = 0; i < 3; ++i)
            lower.emplace_back(0, 1 + (m * 3 + i) % 7, -1, 0);
        lower.emplace_back(0, 1 + m % 7, 0, 0);
        lower.push_back(qe::note::barLine(0));
    }
    for (int m = 0; m + 1 < measures && 9 * m + 9 < 32000; m += 4) {
        qe::Format& arc = doc.formatRecords().emplace_back();
        arc.type = qe::Format::kArc;
        arc.from = qe::location(1, 0, static_cast<std::int16_t>(9 * m + 1));
        arc.to = qe::location(1, 0, static_cast<std::int16_t>(9 * m + 4));
    }
    return doc;
}

struct Files {
    Files() {
        qe::QeDocument doc = scoreOf(kMeasuresPerTrack);
        score = dir.filePath(QStringLiteral("score.qe"));
        musicxml = dir.filePath(QStringLiteral("score.musicxml"));
        qe::ScoreSession session;
        session.load(doc);
        if (!qe::saveScore(score, doc).ok() ||
            !qe::musicxml::exportMusicXmlFile(session.score, musicxml).ok())
            std::fprintf(stderr, "musicxml_bench: cannot write the score\n");
    }
    QTemporaryDir dir;
    QString score;
    QString musicxml;
};

Files& files() {
    static Files f;
    return f;
}

int g_pages = 0;

void LoadAndLayOut(benchmark::State& state) {
    for (auto _ : state) {
        qe::QeDocument doc;
        qe::loadScore(files().score, doc);
        qe::HeadlessHost host{qe::bench::QtBenchmarks::fonts()};
        const std::unique_ptr<qe::Surface> g = host.layoutSurface();
        qe::ScoreSession session;
        session.load(doc);
        qe::ScoreLayout& layout = session.layout(qe::ScoreLayout::kPageMode);
        layout.update(*g);
        g_pages = layout.pages()->childCount();
        benchmark::DoNotOptimize(g_pages);
    }
    state.counters["pages"] = g_pages;
}

void Import(benchmark::State& state) {
    for (auto _ : state) {
        qe::QeDocument doc;
        const qe::musicxml::Outcome outcome =
            qe::musicxml::importMusicXmlFile(files().musicxml, doc);
        if (!outcome.ok())
            state.SkipWithError(outcome.message.toStdString().c_str());
        benchmark::DoNotOptimize(doc.noteTracks().data());
    }
}

// What the import cannot do without: every token of the file read, through a buffer device as
// the import reads it, and nothing done with it.
void Tokenize(benchmark::State& state) {
    QFile file(files().musicxml);
    if (!file.open(QIODevice::ReadOnly))
        state.SkipWithError("cannot read the MusicXML file");
    const QByteArray bytes = file.readAll();
    for (auto _ : state) {
        QBuffer device;
        device.setData(bytes);
        device.open(QIODevice::ReadOnly);
        QXmlStreamReader xml(&device);
        xml.setNamespaceProcessing(false);
        long long tokens = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            ++tokens;
        }
        if (xml.hasError())
            state.SkipWithError(xml.errorString().toStdString().c_str());
        benchmark::DoNotOptimize(tokens);
    }
}

void Export(benchmark::State& state) {
    qe::QeDocument doc;
    qe::loadScore(files().score, doc);
    qe::ScoreSession session;
    session.load(doc);
    const QString out = files().dir.filePath(QStringLiteral("out.musicxml"));
    for (auto _ : state) {
        if (!qe::musicxml::exportMusicXmlFile(session.score, out).ok())
            state.SkipWithError("the export failed");
    }
}

BENCHMARK(LoadAndLayOut)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Import)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Export)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Tokenize)->Unit(benchmark::kMillisecond)->UseRealTime();

struct Times {
    double cpu = 0;
    double wall = 0;
};

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            times[run.run_name.function_name] = {run.GetAdjustedCPUTime(),
                                                 run.GetAdjustedRealTime()};
        }
    }
    std::map<std::string, Times> times;
};

}  // namespace

int main(int argc, char** argv) {
    qe::bench::QtBenchmarks benchmarks(argc, argv);
    MedianReporter reporter;
    if (!benchmarks.run(reporter))
        return 1;

    const auto& t = reporter.times;
    for (const char* name : {"LoadAndLayOut", "Import", "Export"})
        if (!t.count(name))
            return 0;
    const Times base = t.at("LoadAndLayOut");
    std::printf("score: %d measures in 2 tracks, %d pages; MusicXML file %lld bytes\n",
                2 * kMeasuresPerTrack, g_pages,
                static_cast<long long>(QFile(files().musicxml).size()));
    const auto ratio = [&](const char* name, const char* what, bool target) {
        const Times& time = t.at(name);
        std::printf("%s / (load + page layout) = %.2f CPU, %.2f wall%s\n", what,
                    time.cpu / base.cpu, time.wall / base.wall,
                    !target                   ? ""
                    : time.cpu / base.cpu < 1 ? " (target < 1)"
                                              : " (target < 1)  ABOVE TARGET");
        return time.cpu / base.cpu;
    };
    const double importRatio = ratio("Import", "import", true);
    const double exportRatio = ratio("Export", "export", true);
    if (t.count("Tokenize"))
        ratio("Tokenize", "QXmlStreamReader alone", false);
    return importRatio < 1 && exportRatio < 1 ? 0 : 1;
}
