#pragma once

#include <QJsonObject>

#include "records/qanor_doc.h"

namespace qe {

// The whole document as one JSON object: header, page, fonts, tempo, formats, tracks, lyrics.
QJsonObject documentToJson(const QanorDoc& doc);

}  // namespace qe
