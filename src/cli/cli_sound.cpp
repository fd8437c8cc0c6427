#include "cli/cli_sound.h"

#include <optional>

#include "perform/performance.h"

namespace qe {

namespace {

const QString kTempo = QStringLiteral("tempo");
const QString kProgram = QStringLiteral("program");

// The value of an integer option within its range, its fallback when it is not given, or
// nothing.
std::optional<int> intValue(const QCommandLineParser& parser, const QString& name, int low,
                            int high, int fallback) {
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<int> tempoOf(const QCommandLineParser& parser) {
    return intValue(parser, kTempo, sound::kMinTempo, sound::kMaxTempo, sound::kDefaultTempo);
}

std::optional<int> programOf(const QCommandLineParser& parser) {
    return intValue(parser, kProgram, 0, 127, sound::kDefaultProgram);
}

}  // namespace

QList<QCommandLineOption> soundOptions() {
    return {
        QCommandLineOption(
            kTempo,
            QStringLiteral("With --export to .mid or .wav: the tempo in quarter notes per minute, "
                           "whatever the time signature (%1..%2; default the score's metronome "
                           "mark, else %3).")
                .arg(sound::kMinTempo)
                .arg(sound::kMaxTempo)
                .arg(sound::kDefaultTempo),
            QStringLiteral("bpm")),
        QCommandLineOption(
            kProgram,
            QStringLiteral("With --export to .mid or .wav: the General MIDI program of every "
                           "track, 0..127 (default 0, acoustic grand piano; 40 violin, 73 flute)."),
            QStringLiteral("n")),
    };
}

QString soundOptionMisuse(const QCommandLineParser& parser, const ExportFormat* format) {
    const bool sounds =
        format && (format->takes(ExportOption::kTempo) || format->takes(ExportOption::kProgram));
    if ((parser.isSet(kTempo) || parser.isSet(kProgram)) && !sounds)
        return QStringLiteral("--tempo and --program go with --export to .mid or .wav");
    if (!tempoOf(parser))
        return QStringLiteral("--tempo is a whole number of quarter notes per minute, %1..%2")
            .arg(sound::kMinTempo)
            .arg(sound::kMaxTempo);
    if (!programOf(parser))
        return QStringLiteral("--program is a General MIDI program, 0..127");
    return {};
}

void readSoundOptions(const QCommandLineParser& parser, ExportOptions& options) {
    if (parser.isSet(kTempo))
        options.tempo = tempoOf(parser).value_or(sound::kDefaultTempo);
    options.program = programOf(parser).value_or(sound::kDefaultProgram);
}

}  // namespace qe
