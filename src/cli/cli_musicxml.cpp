#include <QString>

#include "cli/cli.h"
#include "cli/cli_actions.h"
#include "document/score_file.h"
#include "musicxml/musicxml_file.h"

namespace qe {

void printReport(const QStringList& lines) {
    for (const QString& line : lines)
        printError(QStringLiteral("qanoredit: ") + line);
}

int actionImport(const QString& in, const QString& out) {
    QeDocument doc;
    const musicxml::Outcome imported = musicxml::importMusicXmlFile(in, doc);
    if (!imported.ok()) {
        printError(QStringLiteral("qanoredit: %1: %2").arg(in, imported.message));
        return kExitFailure;
    }
    printReport(imported.report);
    const FileResult saved = saveScore(out, doc);
    if (!saved.ok())
        return reportFileFailure(saved);
    return kExitOk;
}

}  // namespace qe
