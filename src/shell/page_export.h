#pragma once

#include <QImage>
#include <QString>

namespace qe {

class LinearView;
class PageView;

// Pages are exported at 288 dots per inch: one pixel covers 5 logical units.
constexpr int kExportDotsPerInch = 288;
constexpr int kUnitsPerExportPixel = 5;

// The name of page `page` (from 1) of `pages` for an export chosen as `chosen`: the chosen
// name's folder, then "<base>_<pages>-<page>.<extension>". song.png, 3 pages: song_3-1.png ...
QString exportPagePath(const QString& chosen, int pages, int page);

// Renders one page, with its paper, into an image of page width / 5 by page height / 5 pixels.
QImage renderPage(PageView& view, int index);

// Renders a laid-out scroll-mode strip on white at the export resolution; a null image when
// the strip is too large for one image.
QImage renderStrip(LinearView& view);

}  // namespace qe
