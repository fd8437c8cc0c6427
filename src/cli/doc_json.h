#pragma once

#include <QJsonObject>

#include "records/qe_document.h"

namespace qe {

// The whole document as one JSON object: header, page, fonts, tempo, formats, tracks, lyrics.
QJsonObject documentToJson(const QeDocument& doc);

}  // namespace qe
