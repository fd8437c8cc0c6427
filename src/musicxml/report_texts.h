#pragma once

#include <QString>

namespace qe::musicxml {

// The Chinese text of a kind of the conversion report (ReportKind::what), as the window
// shows it; the English text itself for a kind this table does not know.
QString chineseReportText(const QString& what);

// Whether the table knows the kind.
bool hasChineseReportText(const QString& what);

}  // namespace qe::musicxml
