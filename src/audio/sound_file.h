#pragma once

#include <QString>

#include "perform/performance.h"

namespace qe::sound {

// What writing a performance to a file came to.
struct SoundFileResult {
    enum Status { kOk, kNoSoundFont, kBadSoundFont, kTooLong, kWriteFailed };
    Status status = kOk;
    QString soundFont;  // the SoundFont a WAV file was rendered with, or tried
    QString detail;     // why the SoundFont could not be used
    bool ok() const { return status == kOk; }
};

// Whether `path` names a sound file by its extension: .mid, .midi or .wav in any case.
bool isSoundFile(const QString& path);

// Writes a performance as a standard MIDI file, or renders it offline into a WAV file (by the
// extension of `path`), through one atomic write: a failure leaves no file behind and an
// existing one as it was.
SoundFileResult writeSoundFile(const QString& path, const Performance& performance);

}  // namespace qe::sound
