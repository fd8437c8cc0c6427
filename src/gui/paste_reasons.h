#pragma once

#include <QString>
#include <string>

namespace qe {

// Why a clipboard text does not paste, as the window says it: the editing layer gives its
// reason in plain words ("not jianpu at character 3"); in Chinese the window says the same
// ("第 3 个字符处不是简谱"), so that no English stands inside a Chinese message. A reason
// the window does not know is said as damaged content.
QString pasteReason(const std::string& given);

}  // namespace qe
