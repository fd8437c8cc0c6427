#include <QByteArray>
#include <QtGlobal>

#include <algorithm>
#include <memory>
#include <vector>

#include "audio/sound_file.h"
#include "export/export_host.h"
#include "export/export_registry.h"
#include "files/atomic_file.h"
#include "perform/performance.h"
#include "perform/smf_writer.h"

namespace qe {

namespace {

// The score as it sounds, at the tempo chosen, else at its own metronome mark (within the
// tempi a performance takes), else at kDefaultTempo; every track on the program chosen.
sound::Performance performed(const music::Score& score, const ExportOptions& options) {
    sound::PerformanceOptions performance;
    const int marked = score.header().tempo.quartersPerMinute();
    performance.tempo = options.tempo ? *options.tempo
                        : marked > 0  ? std::clamp(marked, sound::kMinTempo, sound::kMaxTempo)
                                      : sound::kDefaultTempo;
    performance.program = options.program;
    return sound::perform(score, performance);
}

// A standard MIDI file of the performance.
class MidiFormat : public ExportFormat {
public:
    MidiFormat()
        : ExportFormat({QStringLiteral("mid"), QStringLiteral("midi")},
                       QT_TRANSLATE_NOOP("qanoredit", "MIDI 文件 (*.mid *.midi)"),
                       {ExportOption::kTempo, ExportOption::kProgram}) {}

    ExportResult write(const music::Score& score, const ExportOptions& options, const QString& path,
                       ExportHost& host) const override {
        ExportResult result;
        if (!mayWrite(path, host.prompts(), result))
            return result;
        const std::vector<unsigned char> bytes = sound::writeSmf(performed(score, options));
        const Result written =
            writeAtomically(path, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<qsizetype>(bytes.size())));
        if (!written.ok()) {
            result.fileFailed(written.message);
            host.prompts().reportFailure(path);
            return result;
        }
        wrote(path, result);
        return result;
    }
};

// The performance rendered offline through a General MIDI SoundFont into a WAV file.
class WavFormat : public ExportFormat {
public:
    WavFormat()
        : ExportFormat({QStringLiteral("wav")}, QT_TRANSLATE_NOOP("qanoredit", "WAV 音频 (*.wav)"),
                       {ExportOption::kTempo, ExportOption::kProgram}) {}

    ExportResult write(const music::Score& score, const ExportOptions& options, const QString& path,
                       ExportHost& host) const override {
        ExportResult result;
        if (!mayWrite(path, host.prompts(), result))
            return result;
        const sound::SoundFileResult written =
            sound::writeSoundFile(path, performed(score, options));
        switch (written.status) {
            case sound::SoundFileResult::kOk:
                wrote(path, result);
                return result;
            case sound::SoundFileResult::kNoSoundFont:
                return stopped(ExportProblem::kNoSoundFont);
            case sound::SoundFileResult::kTooLong:
                return stopped(ExportProblem::kSoundTooLong);
            case sound::SoundFileResult::kBadSoundFont:
                return stopped(ExportProblem::kBadSoundFont, written.soundFont, written.message);
            case sound::SoundFileResult::kWriteFailed:
                break;
        }
        result.fileFailed(written.message);
        host.prompts().reportFailure(path);
        return result;
    }
};

}  // namespace

void addSoundFormats(ExportRegistry& registry) {
    registry.add(std::make_unique<MidiFormat>());
    registry.add(std::make_unique<WavFormat>());
}

}  // namespace qe
