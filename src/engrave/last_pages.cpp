// How the pages end: a last page holding little is taken up by the pages before, first by
// standing their systems closer, else by breaking the lines of the last pages into fewer.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/exception.h"
#include "engrave/line_breaker.h"
#include "engrave/page_filler.h"
#include "engrave/page_view.h"
#include "engrave/system.h"
#include "music/score.h"

namespace qe {

namespace {

// A last page fuller than this, and of more than two systems, is left as it is.
constexpr double kLeastLastPage = 1.0 / 3.0;
// A score fitted to a number of pages is set smaller by this share of its size at a time.
constexpr double kScaleStep = 0.05;
// Breaking the last pages into fewer lines tries at most this many counts of lines.
constexpr int kRebreakTries = 6;

Rect boxOf(const Style& s) {
    return {s.x, s.y, s.x + s.width, s.y + s.height};
}

}  // namespace

PageView::LineRoom PageView::roomOf(const Node& line) {
    return {line.style.height,
            line.childCount() >= 2 || static_cast<const System&>(line).joinsTracks};
}

System* PageView::lineAt(int k) const {
    for (int p = 0; p < childCount(); ++p) {
        if (k < page(p)->childCount())
            return static_cast<System*>(page(p)->child(k));
        k -= page(p)->childCount();
    }
    throw Exception(kOutOfRange, "no such display line");
}

std::vector<PageView::LineRoom> PageView::naturalRooms() const {
    std::vector<LineRoom> rooms;
    const int shownUpTo = lastPages_.broken ? lastPages_.line : -1;
    for (int p = 0; p < childCount(); ++p)
        for (int k = 0; k < page(p)->childCount(); ++k) {
            if (shownUpTo >= 0 && static_cast<int>(rooms.size()) >= shownUpTo)
                break;
            rooms.push_back(roomOf(*page(p)->child(k)));
        }
    if (shownUpTo >= 0)
        rooms.insert(rooms.end(), lastPages_.natural.begin(), lastPages_.natural.end());
    return rooms;
}

int PageView::pagesFor(const std::vector<LineRoom>& rooms, double spacing, bool underTitle,
                       int* lastLines, double* lastShare) const {
    // As the page filler places them.
    const int H = pageHeight, T = marginTop, B = marginBottom;
    int y = contentTop_;
    bool fresh = !underTitle;
    int pages = 1;
    int onPage = 0;
    for (const LineRoom& room : rooms) {
        const int margin = lineMargin(room.system, spacing);
        if (fresh || y < (B - H) - room.height + 2 * margin) {
            pages += fresh ? 0 : 1;
            fresh = false;
            onPage = 0;
            y = -(margin + T);
        }
        y += room.height - 2 * margin;
        ++onPage;
    }
    if (lastLines)
        *lastLines = onPage;
    if (lastShare) {
        const int content = std::max(1, H - T - B);
        *lastShare = pages > 1 || !underTitle ? static_cast<double>(-T - y) / content : 1.0;
    }
    return pages;
}

bool PageView::tooEmpty(int lines, double share) {
    return lines <= 2 || share < kLeastLastPage;
}

double PageView::wantedSpacing() {
    const std::vector<LineRoom> rooms = naturalRooms();
    std::uint64_t heights = static_cast<std::uint32_t>(contentTop_);
    for (const LineRoom& room : rooms)
        heights = heights * 31 + static_cast<std::uint32_t>(room.height) * 2 + room.system;
    if (heights == balancedHeights_)
        return balancedSpacing_;
    balancedHeights_ = heights;
    int last = 0;
    double share = 1.0;
    const int natural = pagesFor(rooms, 1.0, true, &last, &share);
    double wanted = 1.0;
    if (natural > 1 && tooEmpty(last, share) &&
        pagesFor(rooms, kLeastSpacing, true, nullptr, nullptr) < natural) {
        double fits = kLeastSpacing;
        double over = 1.0;
        for (int i = 0; i < 12; ++i) {
            const double mid = (fits + over) / 2;
            (pagesFor(rooms, mid, true, nullptr, nullptr) < natural ? fits : over) = mid;
        }
        wanted = fits;
    }
    balancedSpacing_ = wanted;
    return wanted;
}

bool PageView::balance(Surface& g) {
    const double wanted = wantedSpacing();
    if (std::abs(wanted - spacing_) < 1e-9)
        return false;
    respace(wanted, g);
    return true;
}

void PageView::respace(double spacing, Surface& g) {
    if (lastPages_.broken)
        restoreNatural(g);
    lastPages_ = {};
    spacing_ = spacing;
    std::vector<std::unique_ptr<Node>> lines;
    for (int p = 0; p < childCount(); ++p)
        while (page(p)->childCount() > 0)
            lines.push_back(page(p)->removeChild(0));
    Node::clearChildren();
    fill(std::move(lines), g);
}

bool PageView::spaceToFit(int pages, Surface& g) {
    const std::vector<LineRoom> rooms = naturalRooms();
    if (pagesFor(rooms, kLeastSpacing, true, nullptr, nullptr) > pages)
        return false;
    double fits = kLeastSpacing;
    double over = 1.0;
    for (int i = 0; i < 12; ++i) {
        const double mid = (fits + over) / 2;
        (pagesFor(rooms, mid, true, nullptr, nullptr) <= pages ? fits : over) = mid;
    }
    respace(fits, g);
    return true;
}

void PageView::fitToPageCount(Surface& g) {
    fitFailed_ = false;
    const int wanted = score ? score->header().pageCount : 0;
    if (wanted <= 0 || childCount() <= wanted || spaceToFit(wanted, g))
        return;
    // Smaller music, a step at a time: the largest size whose pages fit.
    for (int step = 1; 1.0 - step * kScaleStep >= kLeastScale - 1e-9; ++step) {
        linear.scale = 1.0 - step * kScaleStep;
        layOut(g);
        if (childCount() <= wanted || spaceToFit(wanted, g))
            return;
    }
    fitFailed_ = true;
    linear.scale = 1.0;
    layOut(g);
}

std::vector<std::unique_ptr<System>> PageView::makeLines(int from, int to, int lines, double unit,
                                                         Surface& g) {
    std::vector<std::unique_ptr<System>> made;
    for (int k = from; k < to; ++k) {
        made.push_back(makeLine(k, lines, g, unit));
        unit = made.back()->unit;
    }
    return made;
}

PageFiller PageView::fillerFrom(int first, Surface& g) {
    auto sheet = std::make_unique<Page>(format);
    int y = 0;
    if (first == 0) {
        y = placeTitleBlock(*sheet, -marginTop - Page::kSheetSpacing, g);
        contentTop_ = y;
    }
    return PageFiller(*this, first, std::move(sheet), y, first != 0);
}

void PageView::refillFrom(int first, std::vector<std::unique_ptr<System>> lines, Surface& g) {
    PageFiller filler = fillerFrom(first, g);
    for (auto& line : lines)
        if (!filler.place(std::move(line)))
            throw Exception(kLayoutOverflow, "a line is taller than a page");
    std::vector<std::unique_ptr<Page>> filled = filler.finish(false);
    for (int p = first; p < childCount(); ++p)
        changed.push_back(boxOf(page(p)->style));
    replacePages(first, childCount(), filled);
    for (int p = first; p < childCount(); ++p)
        changed.push_back(boxOf(page(p)->style));
}

int PageView::restoreNatural(Surface& g) {
    const int from = lastPages_.line;
    const int firstPage = PageStarts(*this).pageOf(from);
    const double unit = from > 0 ? lineAt(from - 1)->unit : 0.0;
    linear.lineStarts = natural_;
    lastPages_ = {};
    refillFrom(firstPage,
               makeLines(from, static_cast<int>(natural_.size()), static_cast<int>(natural_.size()),
                         unit, g),
               g);
    return from > 0 ? natural_[static_cast<std::size_t>(from) - 1] : 0;
}

int PageView::rebreakLastPages(Surface& g) {
    if (lastPages_.line >= 0)
        return -1;  // looked at already, and the last pages have not changed since
    const int pages = childCount();
    const PageStarts starts(*this);
    const int firstPage = std::max(0, pages - kRebreakPages);
    const int from = starts[firstPage];
    const int lines = starts[pages];
    lastPages_.line = from;
    std::vector<LineRoom> rooms;
    for (int p = firstPage; p < pages; ++p)
        for (int k = 0; k < page(p)->childCount(); ++k)
            rooms.push_back(roomOf(*page(p)->child(k)));
    int last = 0;
    double share = 1.0;
    pagesFor(rooms, 1.0, firstPage == 0, &last, &share);
    if (pages < 2 || spacing_ != 1.0 || !tooEmpty(last, share))
        return -1;
    // Fewer lines, each a little fuller, until the pages before take the last one: the
    // measures of a line stay within the squeeze limit.
    std::vector<int>& shown = linear.lineStarts;
    const int column = from > 0 ? shown[static_cast<std::size_t>(from) - 1] : 0;
    const double unit = from > 0 ? lineAt(from - 1)->unit : 0.0;
    const int width = pageWidth - marginLeft - marginRight;
    for (int m = lines - from - 1; m >= 1 && m >= lines - from - kRebreakTries; --m) {
        const std::vector<int> ends = LineBreaker::breakInto(columns_, width, column, m);
        if (ends.empty())
            break;
        shown.resize(static_cast<std::size_t>(from));
        shown.insert(shown.end(), ends.begin(), ends.end());
        std::vector<std::unique_ptr<System>> made = makeLines(from, from + m, from + m, unit, g);
        std::vector<LineRoom> fewer;
        for (const auto& line : made)
            fewer.push_back(roomOf(*line));
        if (firstPage + pagesFor(fewer, 1.0, firstPage == 0, nullptr, nullptr) < pages) {
            lastPages_.broken = true;
            lastPages_.natural = std::move(rooms);
            refillFrom(firstPage, std::move(made), g);
            return column;
        }
    }
    // None saves a page: the natural lines again, their measures laid out for them anew.
    if (shown != natural_) {
        shown = natural_;
        refillFrom(firstPage, makeLines(from, lines, lines, unit, g), g);
        return column;
    }
    return -1;
}

}  // namespace qe
