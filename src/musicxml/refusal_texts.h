#pragma once

#include <QString>

namespace qe::musicxml {

// The Chinese text of the reason an import or export was refused (Outcome::message), as the
// window shows it: the reason's words in Chinese with its numbers, names and places kept. A
// reason this table does not know gives a general one ("文件内容无法读取"), never English.
QString chineseRefusalText(const QString& message);

}  // namespace qe::musicxml
