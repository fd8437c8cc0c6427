#pragma once

class QPrinter;

namespace qe {

class FontBook;
class PageView;

// Prints the pages of a view's page layout. Pages are placed from the paper's top-left
// corner, not from the corner of the printer's printable area, so a page prints where the
// screen shows it on its sheet; the paper outline is not printed.
class ScorePrinter {
public:
    // `pages` is the page layout, null for a view in scroll mode.
    ScorePrinter(FontBook& fonts, const PageView* pages, bool watermark)
        : fonts_(fonts), pages_(pages), watermark_(watermark) {}

    // The pages a print dialog offers: those of the page layout, and at least one (a view in
    // scroll mode has no pages and prints one empty sheet).
    int pageCount() const;
    // Prints the printer's page range, or every page when it has none or `allPages` is set.
    // False when the printer could not be started.
    bool print(QPrinter& printer, bool allPages = false);

private:
    FontBook& fonts_;
    const PageView* pages_;
    bool watermark_;
};

}  // namespace qe
