#pragma once

#include <vector>

#include "layout/linear_view.h"
#include "layout/page.h"

namespace qe {

namespace music {
class Score;
}

// The page-mode root: sheets laid one below the other. It holds the edit tree of page mode,
// `linear`, and cuts every rebuild's pages from it: lines chosen for 65 % of the content
// width, justified to all of it, stacked on pages under the title block.
class PageView : public Node {
public:
    static constexpr int kPadding = 100;

    PageView();
    PageView(const PageView&) = delete;
    PageView& operator=(const PageView&) = delete;

    void build(const music::Score* score);
    // Lays the score out into pages. Throws kLayoutOverflow for a measure wider than the
    // break width (no page is left attached) or a line taller than a page (the pages
    // finished so far stay).
    void rebuild(BaseGDI& g);
    // Deletes the pages and shape copies, then empties `linear`.
    void clearChildren() override;
    void arrange(BaseGDI& g) override;
    void draw(BaseGDI&) override {}
    void paint(BaseGDI& g) override;
    // Draws one page with its top-left corner at the surface origin, with the arcs and jump
    // lines that fall on it. Throws kOutOfRange for a page that does not exist.
    void paintPage(int index, BaseGDI& g);

    Page* page(int index) const { return static_cast<Page*>(child(index)); }

    const music::Score* score = nullptr;
    LinearView linear;
    int pageWidth = 0;
    int pageHeight = 0;
    int marginLeft = 0;
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
    std::vector<SusArc> arcs;
    std::vector<JumpLine> jumpLines;

private:
    // Places the title block on the first page from `y` down; returns where it ends.
    int placeTitleBlock(Page& page, int y, BaseGDI& g);
    void paintShapes(BaseGDI& g);
};

}  // namespace qe
