#include "cli/cli_sound.h"

#include <QFileInfo>
#include <QIODevice>
#include <algorithm>
#include <optional>

#include "audio/sound_file.h"
#include "audio/soundfont.h"
#include "cli/cli.h"
#include "cli/cli_actions.h"
#include "document/score_file.h"
#include "edit/score_session.h"

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

int saveFailed(const QString& out) {
    printError(QStringLiteral("%1: 保存失败，请检查文件路径与扩展名。").arg(out));
    return kExitFailure;
}

}  // namespace

bool isSoundExport(const QString& out) {
    return sound::isSoundFile(out);
}

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

QString soundOptionMisuse(const QCommandLineParser& parser, bool soundExport) {
    if ((parser.isSet(kTempo) || parser.isSet(kProgram)) && !soundExport)
        return QStringLiteral("--tempo and --program go with --export to .mid or .wav");
    if (!tempoOf(parser))
        return QStringLiteral("--tempo is a whole number of quarter notes per minute, %1..%2")
            .arg(sound::kMinTempo)
            .arg(sound::kMaxTempo);
    if (!programOf(parser))
        return QStringLiteral("--program is a General MIDI program, 0..127");
    return {};
}

void readSoundOptions(const QCommandLineParser& parser, ExportRequest& request) {
    request.tempo = tempoOf(parser).value_or(sound::kDefaultTempo);
    request.tempoGiven = parser.isSet(kTempo);
    request.program = programOf(parser).value_or(sound::kDefaultProgram);
}

int exportSound(const ExportRequest& request) {
    ScoreSession session;
    int status = kExitOk;
    if (!openScore(request.document, session, false, status))
        return status;
    const doc_header& header = session.score.header();
    if (QFileInfo::exists(request.out) && !request.force) {
        printError(QStringLiteral("qanoredit: %1 exists; left as it is (--force overwrites it).")
                       .arg(request.out));
        return kExitFailure;
    }
    sound::PerformanceOptions options;
    // The score's own metronome mark, unless --tempo chooses another.
    options.tempo = request.tempo;
    if (!request.tempoGiven && header.tempo.quartersPerMinute() > 0)
        options.tempo = std::clamp(header.tempo.quartersPerMinute(), sound::kMinTempo,
                                   sound::kMaxTempo);
    options.program = request.program;
    const sound::Performance performance = sound::perform(session.score, options);
    const sound::SoundFileResult written = sound::writeSoundFile(request.out, performance);
    switch (written.status) {
        case sound::SoundFileResult::kOk:
            break;
        case sound::SoundFileResult::kNoSoundFont:
            printError(QStringLiteral(
                "qanoredit: no General MIDI SoundFont was found in /usr/share/sounds; install the "
                "package timgm6mb-soundfont (or fluid-soundfont-gm) to export WAV files."));
            return kExitFailure;
        case sound::SoundFileResult::kTooLong:
            printError(
                QStringLiteral("qanoredit: the score sounds too long for a WAV file (over "
                               "4 GiB); export it as MIDI, or at a faster tempo."));
            return kExitFailure;
        case sound::SoundFileResult::kBadSoundFont:
            printError(QStringLiteral("qanoredit: the SoundFont %1 could not be used: %2")
                           .arg(written.soundFont, written.detail));
            return kExitFailure;
        case sound::SoundFileResult::kWriteFailed:
            return saveFailed(request.out);
    }
    writeStdout((request.out + QLatin1Char('\n')).toLocal8Bit());
    return kExitOk;
}

}  // namespace qe
