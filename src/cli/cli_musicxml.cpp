#include <QFileInfo>
#include <QString>

#include "cli/cli.h"
#include "cli/cli_actions.h"
#include "document/score_file.h"
#include "edit/score_session.h"
#include "musicxml/musicxml_file.h"

namespace qe {

namespace {

void printReport(const QStringList& lines) {
    for (const QString& line : lines)
        printError(QStringLiteral("qanoredit: ") + line);
}

}  // namespace

int actionImport(const QString& in, const QString& out) {
    QeDocument doc;
    const musicxml::Outcome imported = musicxml::importMusicXmlFile(in, doc);
    if (!imported.ok) {
        printError(QStringLiteral("qanoredit: %1: %2").arg(in, imported.error));
        return kExitFailure;
    }
    printReport(imported.report);
    const FileResult saved = saveScore(out, doc);
    if (!saved.ok)
        return reportFileFailure(saved);
    return kExitOk;
}

int exportMusicXml(const ExportRequest& request) {
    ScoreSession session;
    int status = kExitOk;
    if (!openScore(request.document, session, false, status))
        return status;
    // As for pictures, the command line never asks: an existing file stays without --force.
    if (QFileInfo::exists(request.out) && !request.force) {
        printError(QStringLiteral("qanoredit: %1 exists; left as it is (--force overwrites it).")
                       .arg(request.out));
        return kExitFailure;
    }
    const musicxml::Outcome exported = musicxml::exportMusicXmlFile(session.score, request.out);
    printReport(exported.report);
    if (!exported.ok) {
        printError(QStringLiteral("qanoredit: %1: %2").arg(request.out, exported.error));
        return kExitFailure;
    }
    writeStdout((request.out + QLatin1Char('\n')).toLocal8Bit());
    return kExitOk;
}

}  // namespace qe
