// What autosaving costs on the 200-page score, against one typed note's relayout in the same
// run: the part on the window's thread (the edit tree written into the score, the score into
// bytes, the write handed to its thread), which must stay within a frame (16 ms) so that
// typing never visibly stops, and the disk write itself (a temporary file, synced, renamed
// into place, then the record), which runs on its own thread. Set TMPDIR to measure another
// disk than the temporary folder's.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "base/clock.h"
#include "cli/headless_host.h"
#include "document/document_autosave.h"
#include "document/recovery_entry.h"
#include "document/recovery_store.h"
#include "document/score_document.h"
#include "edit/score_editor.h"
#include "long_score.h"
#include "qt_benchmarks.h"
#include "records/memory_io.h"

namespace {

constexpr double kFrameMs = 16.0;
constexpr int kMeasures = 4200;

// An editor window's document on the 200-page score, with unsaved changes and its autosave,
// the caret in the middle of the score.
struct Session {
    Session() : view(&host), autosave(nullptr) {
        doc.session().load(qe::bench::longScore(kMeasures));
        doc.addView(&view);
        view.attach(&doc.session());
        view.relayout();
        for (int i = 0; i < kMeasures * 9 / 2; ++i)
            view.caretRight();
        pages = view.layout().pages()->childCount();
        doc.history().markUnsaved();
        doc.setModifiedFlag(true);
        autosave =
            new qe::DocumentAutosave(&doc, qe::RecoveryStore(folder.path()),
                                     std::make_shared<qe::SystemClock>(), std::chrono::hours(1));
    }
    ~Session() { doc.removeView(&view); }

    QTemporaryDir folder;
    qe::ScoreDocument doc;
    qe::HeadlessHost host{qe::bench::QtBenchmarks::fonts()};
    qe::ScoreEditor view;
    qe::DocumentAutosave* autosave;  // a child of the document
    int pages = 0;
};

int g_pages = 0;
qint64 g_bytes = 0;

void TypeNote(benchmark::State& state) {
    Session session;
    g_pages = session.pages;
    for (auto _ : state) {
        session.view.onChar(U'5');
        state.PauseTiming();
        session.view.onChar(8);
        state.ResumeTiming();
    }
}

// The window's share: commit, bytes, and the write handed over.
void AutosaveOnWindowThread(benchmark::State& state) {
    Session session;
    for (auto _ : state) {
        session.autosave->writeNow();
        state.PauseTiming();
        session.autosave->waitForWrite();
        state.ResumeTiming();
    }
}

// The disk's share, on the write's own thread.
void AutosaveDiskWrite(benchmark::State& state) {
    Session session;
    qe::MemoryIO io;
    qe::QeDocument records = session.doc.records();
    records.serialize(io, true);
    const QByteArray bytes(reinterpret_cast<const char*>(io.bytes().data()),
                           static_cast<qsizetype>(io.bytes().size()));
    g_bytes = bytes.size();
    const auto entry = qe::RecoveryStore(session.folder.path()).createEntry();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (auto _ : state)
        if (!entry->write(bytes, QString(), QStringLiteral("Typing"), now).ok())
            state.SkipWithError("the recovery file could not be written");
}

// Both, as if the write ran on the window's thread.
void AutosaveWhole(benchmark::State& state) {
    Session session;
    for (auto _ : state) {
        session.autosave->writeNow();
        session.autosave->waitForWrite();
    }
}

BENCHMARK(TypeNote)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(AutosaveOnWindowThread)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(AutosaveDiskWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(AutosaveWhole)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

class TimesReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred &&
                (run.run_type != Run::RT_Aggregate || run.aggregate_name == "median"))
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    qe::bench::QtBenchmarks benchmarks(argc, argv);
    TimesReporter reporter;
    if (!benchmarks.run(reporter))
        return 1;

    const auto& t = reporter.times;
    if (!t.count("TypeNote") || !t.count("AutosaveOnWindowThread"))
        return 0;
    const double note = t.at("TypeNote");
    const double window = t.at("AutosaveOnWindowThread");
    std::printf("score: %d pages, %lld bytes as a document\n", g_pages,
                static_cast<long long>(g_bytes));
    std::printf("typed note (baseline): %.2f ms\n", note);
    std::printf(
        "autosave on the window's thread: %.2f ms = %.2f x a typed note (target < %.0f "
        "ms)%s\n",
        window, window / note, kFrameMs, window < kFrameMs ? "" : "  ABOVE TARGET");
    for (const char* name : {"AutosaveDiskWrite", "AutosaveWhole"})
        if (t.count(name))
            std::printf("%s: %.2f ms = %.2f x a typed note\n", name, t.at(name), t.at(name) / note);
    return window < kFrameMs ? 0 : 1;
}
