#pragma once

#include <deque>
#include <memory>
#include <vector>

#include "engrave/page.h"

namespace qe {

class PageView;

// How the display lines of page mode are put on pages: at their places under one another,
// a page at a time, and the pages as they stand read back.

// Spreads the lines of a full page down to the bottom of its content area: each gap between
// two lines grows by the same amount, at most to twice its natural size.
void justifyPage(Page& page, int contentBottom);

// The pages as they stand: the first old line of each, and after the last the count of lines.
class PageStarts {
public:
    explicit PageStarts(const PageView& view);

    int operator[](int page) const { return firstOf_[static_cast<std::size_t>(page)]; }
    // The page that holds old line `line`.
    int pageOf(int line) const;

private:
    std::vector<int> firstOf_;
};

// Takes the lines off the old pages in order, a page at a time from a first page on.
class LineTaker {
public:
    LineTaker(const PageView& view, int firstPage, int firstLine)
        : view_(view), nextPage_(firstPage), takenFrom_(firstLine) {}

    // Old line `line`, taken off its page; the lines before it not taken yet go.
    std::unique_ptr<Node> take(int line);
    // The first old page no line was taken from.
    int nextPage() const { return nextPage_; }

private:
    const PageView& view_;
    int nextPage_;
    std::deque<std::unique_ptr<Node>> taken_;
    int takenFrom_;  // the old line at the front of `taken_`
};

// Stacks lines on new pages as fill does, numbered from `firstPage` on: the first on `sheet`
// below `y`, or at its own margin on a fresh page.
class PageFiller {
public:
    PageFiller(const PageView& view, int firstPage, std::unique_ptr<Page> sheet, int y, bool fresh)
        : view_(view), firstPage_(firstPage), sheet_(std::move(sheet)), y_(y), fresh_(fresh) {}

    // Whether a line fits below those on the page being filled.
    bool fits(const Style& s) const;
    // Puts a line on the page, or on a new one when it does not fit; false for a line taller
    // than a page.
    bool place(std::unique_ptr<Node> line);
    // The pages filled, the last one included; `full` when pages follow it, which its lines
    // did not fit on.
    std::vector<std::unique_ptr<Page>> finish(bool full);

private:
    const PageView& view_;
    int firstPage_;
    std::vector<std::unique_ptr<Page>> filled_;
    std::unique_ptr<Page> sheet_;
    int y_;
    bool fresh_;  // the next line placed opens its page at its own margin
};

}  // namespace qe
