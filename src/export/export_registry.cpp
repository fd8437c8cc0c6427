#include "export/export_registry.h"

namespace qe {

const ExportRegistry& ExportRegistry::standard() {
    static const ExportRegistry registry = [] {
        ExportRegistry formats;
        addPageFormats(formats);
        addMusicXmlFormats(formats);
        addSoundFormats(formats);
        return formats;
    }();
    return registry;
}

void ExportRegistry::add(std::unique_ptr<ExportFormat> format) {
    formats_.push_back(std::move(format));
}

const ExportFormat* ExportRegistry::formatFor(const QString& path) const {
    for (const std::unique_ptr<ExportFormat>& format : formats_)
        if (format->names(path))
            return format.get();
    return nullptr;
}

QStringList ExportRegistry::extensions() const {
    QStringList all;
    for (const std::unique_ptr<ExportFormat>& format : formats_)
        all << format->extensions();
    return all;
}

}  // namespace qe
