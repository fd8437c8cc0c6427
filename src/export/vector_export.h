#pragma once

class QIODevice;

namespace qe {

class FontBook;
class PageView;

// Writes pages `first` to `last` (from 0) of a laid-out page view as one PDF, one sheet per
// page at the paper's real size. Texts stay text in their embedded fonts, so titles can be
// selected and searched; the watermark is the one image every sheet shares.
bool writePdf(FontBook& fonts, const PageView& view, int first, int last, QIODevice& device,
              bool watermark = true);

// Writes page `index` (from 0) as an SVG drawing as large as the page's 288-dpi bitmap,
// whose width and height give the paper's real size.
bool writeSvgPage(FontBook& fonts, const PageView& view, int index, QIODevice& device,
                  bool watermark = true);

}  // namespace qe
