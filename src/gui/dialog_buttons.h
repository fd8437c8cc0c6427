#pragma once

class QDialog;
class QDialogButtonBox;

namespace qe {

// The 确定 and 取消 buttons of a dialog, in the window's language: 确定 accepts it (through the
// dialog's own accept, which may check what was entered) and 取消 rejects it.
QDialogButtonBox* okCancelButtons(QDialog* dialog);

}  // namespace qe
