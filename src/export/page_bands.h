#pragma once

#include "export/row_source.h"

namespace qe {

class FontBook;
class PageView;

// A page of a laid-out page view at 288 dots per inch, drawn as it is written: in two bands,
// the upper and the lower half, each on a surface of its own. A band is drawn like the whole
// page, moved up by the rows above it, so the bands join into exactly the page renderPage
// draws; an export holds at most one page of pixels however it shares the work.
//
// Drawing only reads the layout, so the bands of one page, or of many, may be drawn on any
// threads at once, each on a surface of its own.
class PageBands : public RowSource {
public:
    PageBands(FontBook& fonts, const PageView& view, int index, bool watermark);

    // Empty when the page is too large to draw (see kLargestExportPixels).
    QSize size() const override { return size_; }
    int bandRows() const override { return (size_.height() + 1) / 2; }
    bool fill(int band, QImage& buffer) const override;

private:
    FontBook& fonts_;
    const PageView& view_;
    const int index_;
    const bool watermark_;
    QSize size_;
};

}  // namespace qe
