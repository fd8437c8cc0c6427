#include "engrave/page_filler.h"

#include <algorithm>

#include "engrave/page_view.h"

namespace qe {

void justifyPage(Page& page, int contentBottom) {
    const int n = page.childCount();
    if (n < 2)
        return;
    const Style& last = page.child(n - 1)->style;
    const int free = last.y + last.height - last.marginTop - last.marginBottom - contentBottom;
    if (free <= 0)
        return;
    const int share = free / (n - 1);
    int shift = 0;
    for (int k = 1; k < n; ++k) {
        const int natural = page.child(k - 1)->style.marginBottom + page.child(k)->style.marginTop;
        shift += std::min(share, natural);
        page.child(k)->style.y -= shift;
    }
}

PageStarts::PageStarts(const PageView& view)
    : firstOf_(static_cast<std::size_t>(view.childCount()) + 1, 0) {
    for (int p = 0; p < view.childCount(); ++p)
        firstOf_[static_cast<std::size_t>(p) + 1] =
            firstOf_[static_cast<std::size_t>(p)] + view.page(p)->childCount();
}

int PageStarts::pageOf(int line) const {
    return static_cast<int>(std::upper_bound(firstOf_.begin(), firstOf_.end() - 1, line) -
                            firstOf_.begin()) -
           1;
}

std::unique_ptr<Node> LineTaker::take(int line) {
    while (line >= takenFrom_ + static_cast<int>(taken_.size())) {
        Page* source = view_.page(nextPage_++);
        while (source->childCount() > 0)
            taken_.push_back(source->removeChild(0));
    }
    while (takenFrom_ < line) {
        taken_.pop_front();
        ++takenFrom_;
    }
    ++takenFrom_;
    std::unique_ptr<Node> node = std::move(taken_.front());
    taken_.pop_front();
    return node;
}

bool PageFiller::fits(const Style& s) const {
    return y_ >= (view_.marginBottom - view_.pageHeight) - s.height + s.marginTop + s.marginBottom;
}

bool PageFiller::place(std::unique_ptr<Node> line) {
    const int T = view_.marginTop;
    const Style& s = line->style;
    if (s.height < (view_.marginBottom - view_.pageHeight) + s.marginTop + s.marginBottom + T)
        return false;
    if (fresh_) {
        y_ = -(s.marginTop + T);
        fresh_ = false;
    } else if (!fits(s)) {
        justifyPage(*sheet_, view_.marginBottom - view_.pageHeight);
        sheet_->pageIndex = firstPage_ + static_cast<int>(filled_.size());
        filled_.push_back(std::move(sheet_));
        sheet_ = std::make_unique<Page>(view_.format);
        y_ = -(s.marginTop + T);
    }
    line->style.x = view_.marginLeft;
    line->style.y = y_;
    y_ += s.height - s.marginTop - s.marginBottom;
    sheet_->appendChild(std::move(line));
    return true;
}

std::vector<std::unique_ptr<Page>> PageFiller::finish(bool full) {
    if (full)
        justifyPage(*sheet_, view_.marginBottom - view_.pageHeight);
    sheet_->pageIndex = firstPage_ + static_cast<int>(filled_.size());
    filled_.push_back(std::move(sheet_));
    return std::move(filled_);
}

}  // namespace qe
