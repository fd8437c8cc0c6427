#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

#include "export/export_format.h"

namespace qe {

// --tempo and --program, which go with a sound export.
QList<QCommandLineOption> soundOptions();

// Why the sound options are misused (given with an export to a format that takes neither,
// `format` null when there is none, or out of range), or an empty text.
QString soundOptionMisuse(const QCommandLineParser& parser, const ExportFormat* format);

// Puts the tempo given (none plays the score's own) and the program given or its default
// into the options.
void readSoundOptions(const QCommandLineParser& parser, ExportOptions& options);

}  // namespace qe
