#pragma once

#include <vector>

#include "engrave/key_text.h"
#include "engrave/node.h"
#include "engrave/text.h"

namespace qe {

// One sheet of paper in page mode: display lines inside the page margins, the title block on
// the first sheet, the page number under the content area and the watermark over it all.
class Page : public Node {
public:
    static constexpr int kSheetSpacing = 144;  // around each sheet in the page view
    static constexpr int kNumberDrop = 100;    // page number top below the content area

    explicit Page(const format_track_header* format);

    void arrange(Surface&) override {}
    void draw(Surface& g) const override;
    void paint(Surface& g) const override;
    void clearChildren() override;

    // "N - i": the number of pages of the page view, then this page's number from 1.
    std::u16string numberText() const;

    std::vector<Text> texts;
    std::vector<KeyText> keyTexts;
    int pageIndex = 0;
};

}  // namespace qe
