#pragma once

#include <QString>

namespace qe {

// The kinds of file a page export writes, told by the file name's extension in any case:
// jpg/jpeg, gif, png and bmp images, one per page; svg, one per page; pdf, one document.
enum class ExportFormat { Unknown, Jpeg, Gif, Png, Bmp, Svg, Pdf };

ExportFormat exportFormatOf(const QString& path);

// Whether the format is a bitmap drawn at 288 dots per inch.
bool isImageFormat(ExportFormat format);

}  // namespace qe
