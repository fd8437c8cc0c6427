#pragma once

#include "export/export_format.h"

namespace qe {

class FontBook;
class PageView;
class TaskPool;

// What the pages of an export are drawn from. Drawing only reads it, from any thread.
struct PageDrawing {
    FontBook& fonts;
    const PageView& view;
    bool watermark = true;
};

// A format that draws the pages of a score: by default every page as a file of its own.
class PageFormat : public ExportFormat {
public:
    using ExportFormat::ExportFormat;

    // Writes page `index` (from 0) as the file `path`. Runs on any thread; `helpers` lend
    // threads to the bands of this one page. False when the page could not be written.
    virtual bool writePage(const PageDrawing& drawing, int index, const QString& path,
                           TaskPool* helpers) const = 0;

    // Every page of the host's page layout through exportPageFiles.
    ExportResult write(const music::Score& score, const ExportOptions& options, const QString& path,
                       ExportHost& host) const override;
};

// The page format of a file named `path`, by its extension: a page renamed in the second save
// dialog is written in the format of its new name. Null when no page format has it.
const PageFormat* pageFormatFor(const QString& path);

}  // namespace qe
