#include "export/export_format.h"

#include <QFileInfo>

namespace qe {

ExportFormat exportFormatOf(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg"))
        return ExportFormat::Jpeg;
    if (extension == QLatin1String("gif"))
        return ExportFormat::Gif;
    if (extension == QLatin1String("png"))
        return ExportFormat::Png;
    if (extension == QLatin1String("bmp"))
        return ExportFormat::Bmp;
    if (extension == QLatin1String("svg"))
        return ExportFormat::Svg;
    if (extension == QLatin1String("pdf"))
        return ExportFormat::Pdf;
    return ExportFormat::Unknown;
}

bool isImageFormat(ExportFormat format) {
    return format == ExportFormat::Jpeg || format == ExportFormat::Gif ||
           format == ExportFormat::Png || format == ExportFormat::Bmp;
}

}  // namespace qe
