#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

#include "cli/cli_actions.h"

namespace qe {

// Whether an export target is a sound file: .mid (or .midi) or .wav.
bool isSoundExport(const QString& out);

// --tempo and --program, which go with a sound export.
QList<QCommandLineOption> soundOptions();

// Why the sound options are misused (given without a sound export, or out of range), or an
// empty text.
QString soundOptionMisuse(const QCommandLineParser& parser, bool soundExport);

// Puts the tempo and program given (or their defaults) into the request.
void readSoundOptions(const QCommandLineParser& parser, ExportRequest& request);

// The export table's writer of sound: the performance of the document as a MIDI file, or
// rendered as a WAV file. An existing file is replaced only with --force.
int exportSound(const ExportRequest& request);

}  // namespace qe
