// Page export: pages per second written in each format for a 1-page and a 20-page score, the
// split of one page's time between layout, drawing and encoding, the PNG encoders compared,
// and the whole program exporting a 16-measure melody against LilyPond engraving the same
// melody (bench/ode_to_joy.ly) in the same run. Target: at least 20x faster end to end.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include "base/task_pool.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "cli/headless_host.h"
#include "document/score_file.h"
#include "edit/score_session.h"
#include "engrave/page_view.h"
#include "export/bmp_writer.h"
#include "export/export_registry.h"
#include "export/gif_writer.h"
#include "export/image_encoder.h"
#include "export/jpeg_writer.h"
#include "export/page_bands.h"
#include "export/page_export.h"
#include "export/page_palette.h"
#include "export/png_writer.h"
#include "export/vector_export.h"
#include "qt_benchmarks.h"
#include "records/qe_document.h"
#include "support/notation.h"

namespace {

constexpr double kTargetRatio = 20.0;

// The melody of bench/ode_to_joy.ly, 16 measures in 4/4.
const char* const kMelody =
    "3 3 4 5 | 5 4 3 2 | 1 1 2 3 | 3 . 2_ 2 - | 3 3 4 5 | 5 4 3 2 | 1 1 2 3 | 2 . 1_ 1 - | "
    "2 2 3 1 | 2 3_ 4_ 3 1 | 2 3_ 4_ 3 2 | 1 2 5, - | 3 3 4 5 | 5 4 3 2 | 1 1 2 3 | 2 . 1_ 1 - ";

// The melody `repeats` times over, closed by the final bar line, in 1=C.
std::unique_ptr<qe::QeDocument> melodyScore(int repeats) {
    auto doc = std::make_unique<qe::QeDocument>();
    doc->initNew(u"欢乐颂");
    doc->header.keyLetter = 2;
    std::string text;
    for (int i = 0; i < repeats; ++i)
        text += kMelody;
    text += "|]";
    doc->firstNoteTrack().content.items = qe::test::parseTrack(text);
    return doc;
}

// A score laid out in page mode, as the command line lays it out.
struct LaidOut {
    explicit LaidOut(int repeats) : doc(melodyScore(repeats)) {
        score.load(*doc);
        layout.update(*host.layoutSurface());
    }
    std::unique_ptr<qe::QeDocument> doc;
    qe::HeadlessHost host{qe::bench::QtBenchmarks::fonts()};
    qe::ScoreSession score;
    qe::ScoreLayout& layout = score.layout(qe::ScoreLayout::kPageMode);
    qe::PageView& view = *layout.pages();
};

// The score of `pages` pages, found once.
LaidOut& scoreOfPages(int pages) {
    static std::map<int, std::unique_ptr<LaidOut>> scores;
    auto& score = scores[pages];
    if (score)
        return *score;
    int repeats = 1;
    score = std::make_unique<LaidOut>(repeats);
    while (score->view.childCount() < pages) {
        repeats = std::max(repeats + 1, repeats * pages / score->view.childCount());
        score = std::make_unique<LaidOut>(repeats);
    }
    while (score->view.childCount() > pages)
        score = std::make_unique<LaidOut>(--repeats);
    return *score;
}

// Overwrites whatever an earlier iteration wrote.
class Overwrite : public qe::ExportPrompts {
public:
    bool confirmOverwrite(const QString&) override { return true; }
    QString chooseOtherPath(const QString&, const QString&, const QString&) override { return {}; }
    void reportFailure(const QString& path) override { failures << path; }
    QStringList failures;
};

const std::map<int, const char*> kFormats = {{0, "png"}, {1, "jpg"}, {2, "gif"},
                                             {3, "bmp"}, {4, "pdf"}, {5, "svg"}};
// The encoders of the image formats, as kFormats numbers them.
const qe::ImageEncoder kEncoders[] = {qe::writePng, qe::writeJpeg, qe::writeGif, qe::writeBmp};

void Layout(benchmark::State& state) {
    LaidOut& score = scoreOfPages(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        qe::PageView view;
        view.build(&score.score.score);
        view.rebuild(*score.host.layoutSurface());
        benchmark::DoNotOptimize(view.childCount());
    }
    state.counters["pages"] = score.view.childCount();
}
BENCHMARK(Layout)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// Drawing one page as an export draws it: two bands through one buffer.
void DrawPage(benchmark::State& state) {
    LaidOut& score = scoreOfPages(static_cast<int>(state.range(0)));
    const qe::PageBands page(qe::bench::QtBenchmarks::fonts(), score.view, 0, true);
    QImage buffer;
    for (auto _ : state)
        for (int band = 0; band < page.bands(); ++band) {
            page.fill(band, buffer);
            benchmark::DoNotOptimize(buffer.constBits());
        }
}
BENCHMARK(DrawPage)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// Encoding one drawn page (the first of the 20-page score, a full one) on one thread.
void EncodePage(benchmark::State& state) {
    const char* extension = kFormats.at(static_cast<int>(state.range(0)));
    state.SetLabel(extension);
    const QImage page = qe::renderPage(qe::bench::QtBenchmarks::fonts(), scoreOfPages(20).view, 0);
    const qe::ImageEncoder encoder = kEncoders[state.range(0)];
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        qe::encodeImage(page, encoder, buffer);
        bytes = buffer.size();
    }
    state.counters["kB"] = static_cast<double>(bytes) / 1024;
}
BENCHMARK(EncodePage)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

// Vector formats draw and encode in one pass.
void VectorPage(benchmark::State& state) {
    const bool pdf = state.range(0) == 4;
    state.SetLabel(pdf ? "pdf" : "svg");
    LaidOut& score = scoreOfPages(20);
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        if (pdf)
            qe::writePdf(qe::bench::QtBenchmarks::fonts(), score.view, 0, 0, buffer);
        else
            qe::writeSvgPage(qe::bench::QtBenchmarks::fonts(), score.view, 0, buffer);
        bytes = buffer.size();
    }
    state.counters["kB"] = static_cast<double>(bytes) / 1024;
}
BENCHMARK(VectorPage)->Arg(4)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// The PNG choice, on a full page with its watermark: Qt's writer on the 32-bit page; the
// 8-bit palette page through Qt's writer, smaller and faster but not lossless here (the
// watermark over anti-aliased ink makes over a thousand colours); the fast lossless writer
// on one thread and on two.
void PngEncoder(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    static const char* const kLabels[] = {"Qt writer, 32-bit", "Qt writer, 8-bit palette (lossy)",
                                          "fast writer, 1 thread", "fast writer, 2 threads"};
    state.SetLabel(kLabels[which]);
    const QImage page = qe::renderPage(qe::bench::QtBenchmarks::fonts(), scoreOfPages(20).view, 0);
    qe::TaskPool helper(1);
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        if (which == 0) {
            QImageWriter(&buffer, "png").write(page);
        } else if (which == 1) {
            qe::PagePalette palette;
            palette.count(page, page.height());
            palette.choose();
            QImage indexed(page.size(), QImage::Format_Indexed8);
            indexed.setColorTable(palette.colours());
            for (int y = 0; y < page.height(); ++y)
                palette.map(reinterpret_cast<const QRgb*>(page.constScanLine(y)), page.width(),
                            indexed.scanLine(y));
            QImageWriter(&buffer, "png").write(indexed);
        } else {
            qe::encodeImage(page, qe::writePng, buffer, which == 3 ? &helper : nullptr);
        }
        bytes = buffer.size();
    }
    state.counters["kB"] = static_cast<double>(bytes) / 1024;
}
BENCHMARK(PngEncoder)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

// Whole exports on both cores.
void ExportPages(benchmark::State& state) {
    const char* extension = kFormats.at(static_cast<int>(state.range(0)));
    LaidOut& score = scoreOfPages(static_cast<int>(state.range(1)));
    state.SetLabel(extension);
    QTemporaryDir dir;
    Overwrite prompts;
    const QString chosen = dir.filePath(QStringLiteral("out.") + extension);
    const qe::ExportFormat* format = qe::ExportRegistry::standard().formatFor(chosen);
    qe::LaidOutExportHost host(qe::bench::QtBenchmarks::fonts(), prompts, &score.view);
    for (auto _ : state)
        format->write(score.score.score, {}, chosen, host);
    if (!prompts.failures.isEmpty())
        state.SkipWithError("pages failed");
    state.counters["pages/s"] =
        benchmark::Counter(score.view.childCount(), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(ExportPages)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {1, 20}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Runs a program to its end; the wall-clock seconds it took, or -1 when it failed.
double secondsToRun(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1;
    return clock.nsecsElapsed() / 1e9;
}

double g_ratio = 0;

// The whole program against LilyPond, the same melody, one 288-dpi PNG page each.
void CommandLineAgainstLilyPond(benchmark::State& state) {
    const QString lilypond = QStandardPaths::findExecutable(QStringLiteral("lilypond"));
    if (lilypond.isEmpty()) {
        state.SkipWithError("lilypond is not installed (Debian package lilypond)");
        return;
    }
    QTemporaryDir dir;
    const QString score = dir.filePath(QStringLiteral("ode.qe"));
    if (!qe::saveScore(score, *melodyScore(1)).ok()) {
        state.SkipWithError("cannot write the score");
        return;
    }
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        const double a = secondsToRun(QStringLiteral(QE_CLI),
                                      {QStringLiteral("--export"), dir.filePath("ode.png"), score,
                                       QStringLiteral("--force")});
        const double b =
            secondsToRun(lilypond, {QStringLiteral("--png"), QStringLiteral("-dresolution=288"),
                                    QStringLiteral("-o"), dir.filePath(QStringLiteral("ly")),
                                    QStringLiteral(QE_BENCH_DIR "/ode_to_joy.ly")});
        if (a < 0 || b < 0) {
            state.SkipWithError("a run failed");
            return;
        }
        state.SetIterationTime(a);
        ours += a;
        theirs += b;
    }
    g_ratio = theirs / ours;
    state.counters["qanoredit ms"] = ours * 1e3 / static_cast<double>(state.iterations());
    state.counters["lilypond ms"] = theirs * 1e3 / static_cast<double>(state.iterations());
    state.counters["ratio"] = g_ratio;
}
BENCHMARK(CommandLineAgainstLilyPond)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Keeps each run's wall-clock time per iteration (ms) and counters, by run name.
class KeepingReporter : public benchmark::ConsoleReporter {
public:
    struct Kept {
        double ms = 0;
        std::map<std::string, double> counters;
    };
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type == Run::RT_Aggregate)
                continue;
            Kept& kept = runs_[run.benchmark_name()];
            kept.ms = run.GetAdjustedRealTime();
            for (const auto& [name, counter] : run.counters)
                kept.counters[name] = counter.value;
        }
    }
    const Kept* find(const std::string& name) const {
        const auto found = runs_.find(name);
        return found == runs_.end() ? nullptr : &found->second;
    }

private:
    std::map<std::string, Kept> runs_;
};

void printSummary(const KeepingReporter& runs) {
    const auto ms = [&](const std::string& name) {
        const KeepingReporter::Kept* kept = runs.find(name);
        return kept ? kept->ms : -1.0;
    };
    const auto rate = [&](const std::string& name) {
        const KeepingReporter::Kept* kept = runs.find(name);
        return kept && kept->counters.count("pages/s") ? kept->counters.at("pages/s") : -1.0;
    };
    const KeepingReporter::Kept* layout = runs.find("Layout/20/real_time");
    const double layoutPerPage =
        layout && layout->counters.count("pages") ? layout->ms / layout->counters.at("pages") : -1;
    const double draw = ms("DrawPage/20/real_time");
    std::printf("\none full page's time (ms, one thread): layout %.2f, drawing %.1f\n",
                layoutPerPage, draw);
    std::printf("%-6s %12s %12s %14s %16s\n", "format", "encode ms", "page total", "pages/s 1pp",
                "pages/s 20pp");
    const char* const extensions[] = {"png", "jpg", "gif", "bmp", "pdf", "svg"};
    for (int i = 0; i < 6; ++i) {
        const std::string arg = std::to_string(i);
        double encode = ms("EncodePage/" + arg + "/real_time");
        double total = layoutPerPage + draw + encode;
        if (i >= 4) {
            // Drawn and encoded in one pass.
            encode = ms("VectorPage/" + arg + "/real_time");
            total = layoutPerPage + encode;
        }
        std::printf("%-6s %12.1f %12.1f %14.1f %16.1f\n", extensions[i], encode, total,
                    rate("ExportPages/" + arg + "/1/real_time"),
                    rate("ExportPages/" + arg + "/20/real_time"));
    }
}

}  // namespace

int main(int argc, char** argv) {
    qe::bench::QtBenchmarks benchmarks(argc, argv);
    KeepingReporter reporter;
    if (!benchmarks.run(reporter))
        return 1;
    printSummary(reporter);
    if (g_ratio > 0) {
        std::printf(
            "qanoredit --export is %.1fx faster than lilypond --png end to end (target >= "
            "%.0fx)%s\n",
            g_ratio, kTargetRatio, g_ratio >= kTargetRatio ? "" : "  BELOW TARGET");
        return g_ratio >= kTargetRatio ? 0 : 1;
    }
    return 0;
}
