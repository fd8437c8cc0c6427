#include <QString>

#include "cli/cli.h"
#include "cli/cli_actions.h"
#include "document/score_file.h"
#include "music/measure_check.h"
#include "music/measure_numbers.h"
#include "music/score_records.h"

namespace qe {

int actionCheck(const QString& path) {
    QeDocument doc;
    const FileResult loaded = loadScore(path, doc);
    if (!loaded.ok()) {
        printError(loaded.message);
        // A file that cannot be read is neither clean nor flagged.
        return kExitUsage;
    }
    music::Score score;
    music::scoreFromRecords(doc, score);
    const std::vector<music::MeasureMisfit> misfits = music::checkMeasures(score);
    QByteArray out;
    for (const music::MeasureMisfit& f : misfits) {
        const music::Meter& meter = f.meter;
        const music::Ticks beat = music::countedBeat(meter);
        const bool over = f.length > f.expected;
        const music::Ticks by = over ? f.length - f.expected : f.expected - f.length;
        out += QStringLiteral("measure %1 (track %2): %3 in %4/%5, %6 %7\n")
                   .arg(music::measureNumber(score, f.measure))
                   .arg(f.track + 1)
                   .arg(QString::fromStdString(music::beatsInEnglish(f.length, beat)))
                   .arg(meter.numerator)
                   .arg(meter.denominator)
                   .arg(QString::fromStdString(music::beatsInEnglish(by, beat)),
                        over ? QStringLiteral("too many") : QStringLiteral("too few"))
                   .toUtf8();
    }
    writeStdout(out);
    return misfits.empty() ? kExitOk : kExitFailure;
}

}  // namespace qe
