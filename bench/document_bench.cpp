// Load and save of a large score through a real file, against reading and writing the same
// number of bytes as one block through the same kind of file. Loading or saving a document
// should cost at most a small multiple of moving its bytes; the ratios are printed after the
// run and the program fails when one is above the target.
//
//   document_bench [--benchmark_repetitions=N] [other Google Benchmark flags]

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "base/exception.h"
#include "records/file_io.h"
#include "records/qe_document.h"

namespace {

constexpr int kTracks = 8;
constexpr int kItemsPerTrack = 125000;  // bar lines and marks included: 1,000,000 items in all
constexpr int kArcs = 10000;
constexpr double kTargetRatio = 4.0;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "document_bench: %s\n", what.c_str());
    std::exit(2);
}

// One track of a plausible tune: mostly digits of the middle octave in quarters and eighths,
// some sharps and flats, other octaves, rests, dashes and dots, a bar line every 4 to 8 items,
// and the closing bar line last.
qe::note_track makeTrack(std::mt19937& random) {
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    qe::note_track track;
    auto& items = track.content.items;
    items.reserve(kItemsPerTrack);
    int untilBar = 4 + pick(5);
    while (static_cast<int>(items.size()) < kItemsPerTrack - 1) {
        if (--untilBar == 0) {
            items.push_back(qe::note::barLine(1));
            untilBar = 4 + pick(5);
            continue;
        }
        const int kind = pick(100);
        if (kind < 70) {
            const int accidental = pick(10) == 0 ? 1 + pick(2) : 0;
            const int octave = pick(8) == 0 ? (pick(2) ? 1 : -1) : 0;
            const int duration = pick(4) == 0 ? 2 : pick(2);
            items.emplace_back(accidental, 1 + pick(7), octave, duration);
        } else if (kind < 78) {
            items.push_back(qe::note::rest(pick(3)));
        } else if (kind < 92) {
            items.push_back(qe::note::mark(qe::note::kDash));
        } else {
            items.push_back(qe::note::mark(qe::note::kAugmentationDot));
        }
    }
    items.push_back(qe::note::barLine(6));
    return track;
}

qe::QeDocument makeLargeDocument() {
    std::mt19937 random(20240607);
    qe::QeDocument doc;
    doc.initNew(u"Large score");
    doc.header.subtitle = u"Eight parts";
    doc.header.comment1 = u"Moderato";
    doc.noteTracks().clear();
    for (int t = 0; t < kTracks; ++t)
        doc.noteTracks().push_back(makeTrack(random));
    // Arcs and jump lines over short spans. An item index is 16 bits in a file, so the spans
    // stay in the first 32,000 items of a track.
    auto& arcs = doc.formatRecords();
    arcs.reserve(kArcs);
    for (int i = 0; i < kArcs; ++i) {
        qe::Format f;
        f.type = random() % 4 == 0 ? qe::Format::kVolta : qe::Format::kArc;
        const auto track = static_cast<std::int32_t>(random() % kTracks);
        const auto from = static_cast<std::int16_t>(random() % 32000);
        f.from = qe::location(1, track, from);
        f.to = qe::location(1, track, static_cast<std::int16_t>(from + 1 + random() % 8));
        arcs.push_back(f);
    }
    return doc;
}

// Everything the benchmarks share, made once before they run.
struct Setup {
    std::filesystem::path dir;
    std::string documentPath;  // the saved large document: Load and ReadBlock read it
    std::string savePath;      // Save writes here
    std::string blockPath;     // WriteBlock writes here
    std::unique_ptr<qe::QeDocument> document;
    std::vector<unsigned char> block;  // as many bytes as the document's file
};

Setup* setup = nullptr;

void saveTo(qe::QeDocument& doc, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        fail("cannot create " + path);
    qe::FileIO io(file);
    doc.serialize(io, true);
    if (std::fclose(file) != 0)
        fail("cannot write " + path);
}

std::unique_ptr<qe::QeDocument> loadFrom(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        fail("cannot open " + path);
    auto doc = std::make_unique<qe::QeDocument>();
    qe::FileIO io(file);
    doc->serialize(io, false);
    std::fclose(file);
    return doc;
}

void prepare() {
    setup = new Setup;
    std::string folder =
        (std::filesystem::temp_directory_path() / "qe_document_bench.XXXXXX").string();
    if (!mkdtemp(folder.data()))
        fail("cannot make a temporary folder");
    setup->dir = folder;
    setup->documentPath = (setup->dir / "large.qe").string();
    setup->savePath = (setup->dir / "saved.qe").string();
    setup->blockPath = (setup->dir / "block.bin").string();

    setup->document = std::make_unique<qe::QeDocument>(makeLargeDocument());
    saveTo(*setup->document, setup->documentPath);
    const auto bytes = std::filesystem::file_size(setup->documentPath);
    if (bytes != setup->document->size())
        fail("the saved file is not as long as the document says");
    setup->block.assign(bytes, 0x5A);

    // The benchmark is only worth its numbers if the load really reads the whole score.
    auto loaded = loadFrom(setup->documentPath);
    std::size_t items = 0;
    for (const auto& track : loaded->noteTracks())
        items += track.content.items.size();
    if (loaded->noteTracks().size() != kTracks || items != std::size_t{kTracks} * kItemsPerTrack ||
        loaded->formatRecords().size() != kArcs ||
        loaded->noteTracks().back().content.items !=
            setup->document->noteTracks().back().content.items)
        fail("the large document does not load back as saved");
    std::printf("document: %d tracks, %zu items, %d arcs, %ju bytes\n", kTracks, items, kArcs,
                static_cast<std::uintmax_t>(bytes));
}

void cleanUp() {
    std::error_code ignored;
    std::filesystem::remove_all(setup->dir, ignored);
    delete setup;
    setup = nullptr;
}

void Load(benchmark::State& state) {
    for (auto _ : state) {
        std::FILE* file = std::fopen(setup->documentPath.c_str(), "rb");
        if (!file)
            fail("cannot open the document");
        auto doc = std::make_unique<qe::QeDocument>();
        {
            qe::FileIO io(file);
            doc->serialize(io, false);
        }
        std::fclose(file);
        benchmark::DoNotOptimize(doc.get());
        // Freeing the score is not part of loading it.
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * setup->block.size()));
}

void ReadBlock(benchmark::State& state) {
    for (auto _ : state) {
        std::FILE* file = std::fopen(setup->documentPath.c_str(), "rb");
        if (!file)
            fail("cannot open the document");
        if (std::fread(setup->block.data(), 1, setup->block.size(), file) != setup->block.size())
            fail("short read");
        std::fclose(file);
        benchmark::DoNotOptimize(setup->block.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * setup->block.size()));
}

// The same read into memory the process has not touched yet, as a load's new document is:
// the first touch of each page costs a fault, which the warm buffer above never pays. The
// pages are mapped and unmapped directly, since the allocator may keep and reuse a block
// this size. Shown beside the ratio to tell the cost of fresh memory from that of decoding.
void ReadBlockNewBuffer(benchmark::State& state) {
    const std::size_t size = setup->block.size();
    for (auto _ : state) {
        std::FILE* file = std::fopen(setup->documentPath.c_str(), "rb");
        if (!file)
            fail("cannot open the document");
        void* buffer =
            mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (buffer == MAP_FAILED)
            fail("cannot map a buffer");
        if (std::fread(buffer, 1, size, file) != size)
            fail("short read");
        std::fclose(file);
        benchmark::DoNotOptimize(buffer);
        benchmark::ClobberMemory();
        state.PauseTiming();
        munmap(buffer, size);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void Save(benchmark::State& state) {
    for (auto _ : state) {
        std::FILE* file = std::fopen(setup->savePath.c_str(), "wb");
        if (!file)
            fail("cannot create the saved file");
        {
            qe::FileIO io(file);
            setup->document->serialize(io, true);
        }
        if (std::fclose(file) != 0)
            fail("cannot write the saved file");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * setup->block.size()));
}

void WriteBlock(benchmark::State& state) {
    for (auto _ : state) {
        std::FILE* file = std::fopen(setup->blockPath.c_str(), "wb");
        if (!file)
            fail("cannot create the block file");
        if (std::fwrite(setup->block.data(), 1, setup->block.size(), file) != setup->block.size())
            fail("short write");
        if (std::fclose(file) != 0)
            fail("cannot write the block file");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * setup->block.size()));
}

BENCHMARK(Load)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadBlock)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadBlockNewBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Save)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WriteBlock)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints as usual and keeps each benchmark's wall time: the median when repeated, else the
// one run. All four report in milliseconds, so the times divide directly.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that a log or a pipe gets plain text.
    RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }

    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    prepare();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    cleanUp();

    bool within = true;
    auto ratio = [&](const char* name, const char* baseline) {
        const auto a = reporter.times.find(name);
        const auto b = reporter.times.find(baseline);
        if (a == reporter.times.end() || b == reporter.times.end() || b->second <= 0)
            return;
        const double r = a->second / b->second;
        std::printf("%s/%s = %.2f (target <= %.1f)%s\n", name, baseline, r, kTargetRatio,
                    r <= kTargetRatio ? "" : "  ABOVE TARGET");
        if (r > kTargetRatio)
            within = false;
    };
    // A load builds a new document, so it is held against reading the same bytes into memory
    // just as new; reading into a buffer already in use is shown beside it for information.
    ratio("Load", "ReadBlockNewBuffer");
    ratio("Save", "WriteBlock");
    const auto load = reporter.times.find("Load");
    const auto warm = reporter.times.find("ReadBlock");
    if (load != reporter.times.end() && warm != reporter.times.end() && warm->second > 0)
        std::printf("Load/ReadBlock = %.2f (into a buffer already in use; for information)\n",
                    load->second / warm->second);
    return within ? 0 : 1;
}
