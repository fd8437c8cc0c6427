#pragma once

#include <QImage>
#include <QSize>

namespace qe {

class FontBook;
class LinearView;
class PageView;

// Pages are exported at 288 dots per inch: one pixel covers 5 logical units.
constexpr int kExportDotsPerInch = 288;
constexpr int kUnitsPerExportPixel = 5;
// The largest bitmap an export draws, in pixels: an A0 sheet fits. Stored page sizes can
// reach 100 inches a side, which would ask for gigabytes per page.
constexpr long long kLargestExportPixels = 64LL * 1024 * 1024;

// The sheet of a view in logical units; an A4 sheet (11906 x 16838) when the view has not
// taken a page size from a document.
constexpr int kA4Width = 11906;
constexpr int kA4Height = 16838;
QSize paperSize(const PageView& view);

// The bitmap size of a page of the view: its page width / 5 by page height / 5 pixels (the
// remainder is lost), an A4 sheet when the view has no page size. Empty when it is larger
// than kLargestExportPixels.
QSize exportPageSize(const PageView& view);

// Drawing takes its fonts from `fonts`.

// Renders one page, with its paper and (unless `watermark` is false) its watermark, as the
// screen shows it. A null image when the page is too large to draw; a page whose drawing
// fails stays blank paper.
QImage renderPage(FontBook& fonts, const PageView& view, int index, bool watermark = true);

// Draws the rows of page `index` from row `top` on into `rows` (Format_RGB32, as wide as the
// page): the page moved up by `top` rows, so that bands drawn this way join into the page
// renderPage draws.
void drawPageRows(FontBook& fonts, const PageView& view, int index, bool watermark, int top,
                  QImage& rows);

// Renders a laid-out scroll-mode strip on white at the export resolution; a null image when
// the strip is too large for one image.
QImage renderStrip(FontBook& fonts, const LinearView& view);

}  // namespace qe
