#pragma once

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>

#include "painter/resources.h"

namespace qe::bench {

// What a benchmark that draws or measures text through Qt needs around it: the offscreen
// screen unless another is named, an application, and the music symbol font. The application
// lives as long as this object, so summaries printed after the runs may still lay out scores.
class QtBenchmarks {
public:
    QtBenchmarks(int& argc, char** argv) : app_((useOffscreen(), argc), argv) {
        if (!registerApplicationFonts())
            std::fprintf(stderr, "the music symbol font was not found\n");
        benchmark::Initialize(&argc, argv);
        unrecognized_ = benchmark::ReportUnrecognizedArguments(argc, argv);
    }

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
    bool unrecognized_ = false;
};

}  // namespace qe::bench
