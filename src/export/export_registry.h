#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "export/export_format.h"

namespace qe {

// The formats the program exports to, one row each. The window's export dialog offers them in
// the order they were added, and the window and the command line both write through them: a
// format joins by being added to the standard registry, with nothing to change in its callers.
class ExportRegistry {
public:
    // Every format of the program: JPEG, GIF, PNG and BMP images and SVG drawings of each page,
    // the pages as one PDF, MusicXML plain and compressed, MIDI and WAV.
    static const ExportRegistry& standard();

    ExportRegistry() = default;
    ExportRegistry(const ExportRegistry&) = delete;
    ExportRegistry& operator=(const ExportRegistry&) = delete;
    ExportRegistry(ExportRegistry&&) = default;

    // Adds a row after the others. An extension already taken stays with its first row.
    void add(std::unique_ptr<ExportFormat> format);

    const std::vector<std::unique_ptr<ExportFormat>>& formats() const { return formats_; }
    // The format of a file named `path`, by its extension in any case; null when no format
    // has it or the name has none.
    const ExportFormat* formatFor(const QString& path) const;
    // Every extension of every format, in the order of the rows.
    QStringList extensions() const;

private:
    std::vector<std::unique_ptr<ExportFormat>> formats_;
};

// The families of formats, each adding its rows in the order the window offers them.
void addPageFormats(ExportRegistry& registry);
void addMusicXmlFormats(ExportRegistry& registry);
void addSoundFormats(ExportRegistry& registry);

}  // namespace qe
