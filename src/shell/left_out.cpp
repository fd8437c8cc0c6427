#include "shell/left_out.h"

#include <QString>

#include "layout/linear_view.h"
#include "shell/cli_actions.h"

namespace qe {

void reportLeftOut(const LinearView& tree, bool saving) {
    const QString outcome =
        saving ? QStringLiteral("are not saved") : QStringLiteral("are left out");
    if (tree.droppedShapes > 0)
        printError(QStringLiteral("qanoredit: %1 tie(s) or volta bracket(s) whose notes or "
                                  "measures cannot be found in the score %2.")
                       .arg(tree.droppedShapes)
                       .arg(outcome));
    if (tree.droppedItems > 0)
        printError(QStringLiteral("qanoredit: %1 note record(s) of a kind this editor does not "
                                  "know %2.")
                       .arg(tree.droppedItems)
                       .arg(outcome));
    if (tree.droppedFormats > 0)
        printError(QStringLiteral("qanoredit: %1 format record(s) of a kind this editor does not "
                                  "know %2.")
                       .arg(tree.droppedFormats)
                       .arg(outcome));
}

}  // namespace qe
