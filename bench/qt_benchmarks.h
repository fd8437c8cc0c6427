#pragma once

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>

#include "painter/font_book.h"

namespace qe::bench {

// What a benchmark that draws or measures text through Qt needs around it: the offscreen
// screen unless another is named, an application, and the fonts with the music symbol font. The
// application lives as long as this object, so summaries printed after the runs may still lay out
// scores.
class QtBenchmarks {
public:
    QtBenchmarks(int& argc, char** argv) : app_((useOffscreen(), argc), argv) {
        current_ = &fonts_;
        if (!fonts_.hasSymbolFont())
            std::fprintf(stderr, "the music symbol font was not found\n");
        benchmark::Initialize(&argc, argv);
        unrecognized_ = benchmark::ReportUnrecognizedArguments(argc, argv);
    }

    ~QtBenchmarks() { current_ = nullptr; }

    // The fonts of the running benchmarks, for whatever draws or lays out.
    static FontBook& fonts() { return *current_; }

    // Runs the benchmarks chosen on the command line into `reporter`; false when the command
    // line had arguments nothing knows.
    bool run(benchmark::BenchmarkReporter& reporter) {
        if (unrecognized_)
            return false;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        benchmark::Shutdown();
        return true;
    }

private:
    static void useOffscreen() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QGuiApplication app_;
    FontBook fonts_;  // after the application, gone before it
    static inline FontBook* current_ = nullptr;
    bool unrecognized_ = false;
};

}  // namespace qe::bench
