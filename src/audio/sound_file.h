#pragma once

#include <QString>

#include <utility>

#include "files/result.h"
#include "perform/performance.h"

namespace qe::sound {

// What writing a performance to a file came to.
struct SoundFileResult : Result {
    enum Status { kOk, kNoSoundFont, kBadSoundFont, kTooLong, kWriteFailed };
    Status status = kOk;
    QString soundFont;  // the SoundFont a WAV file was rendered with, or tried

    // Fails for `why`, saying more where there is more to say: why the SoundFont could not be
    // used, in FluidSynth's words, or why the file could not be written.
    void fail(Status why, QString message = {}) {
        status = why;
        Result::fail(std::move(message));
    }
};

// Whether `path` names a sound file by its extension: .mid, .midi or .wav in any case.
bool isSoundFile(const QString& path);

// Writes a performance as a standard MIDI file, or renders it offline into a WAV file (by the
// extension of `path`), through one atomic write: a failure leaves no file behind and an
// existing one as it was.
SoundFileResult writeSoundFile(const QString& path, const Performance& performance);

}  // namespace qe::sound
