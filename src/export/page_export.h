#pragma once

#include <QString>

#include "export/export_format.h"
#include "export/export_host.h"
#include "export/page_formats.h"
#include "export/page_render.h"

namespace qe {

// Writes every page of a laid-out page view as a file of its own named from `chosenPath`,
// exportPagePath(chosenPath, pages, page), in the page format of the name's extension (see
// pageFormatFor); a page renamed through the prompts takes the format of its new name. A view
// without pages writes nothing and asks nothing. Files are written under a temporary name and
// renamed into place; `threads` pages are drawn at once, 0 for one per processor.
//
// Pages are drawn on worker threads while the prompts are asked here: the layout must not
// change until the export returns. Drawing only reads it, so a repaint of the same view
// meanwhile (a dialog's event loop) draws beside the workers.
ExportResult exportPageFiles(const PageDrawing& drawing, const QString& chosenPath,
                             ExportPrompts& prompts, int threads = 0);

// The name of page `page` (from 1) of `pages` for an export chosen as `chosen`: the chosen
// name's folder, then "<base>_<pages>-<page>.<extension>". song.png, 3 pages: song_3-1.png ...
QString exportPagePath(const QString& chosen, int pages, int page);

}  // namespace qe
