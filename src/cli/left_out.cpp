#include "cli/left_out.h"

#include <QString>

#include "cli/cli_actions.h"
#include "music/score_records.h"

namespace qe {

void reportLeftOut(const music::LoadReport& report, bool saving) {
    if (report.droppedShapes > 0)
        printError(
            QStringLiteral("qanoredit: %1 tie(s) or volta bracket(s) whose notes or "
                           "measures cannot be found in the score %2.")
                .arg(report.droppedShapes)
                .arg(saving ? QStringLiteral("are not saved") : QStringLiteral("are left out")));
    const QString kept = saving ? QStringLiteral("are not shown and are saved as they were")
                                : QStringLiteral("are left out");
    if (report.skippedRecords > 0)
        printError(QStringLiteral("qanoredit: %1 note record(s) of a kind this editor does not "
                                  "know %2.")
                       .arg(report.skippedRecords)
                       .arg(kept));
    if (report.otherFormats > 0)
        printError(QStringLiteral("qanoredit: %1 format record(s) of a kind this editor does not "
                                  "know %2.")
                       .arg(report.otherFormats)
                       .arg(kept));
}

}  // namespace qe
