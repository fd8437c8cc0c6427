#include "engrave/page.h"

#include <string>

#include "records/doc_chunks.h"

namespace qe {

Page::Page(const format_track_header* fmt) : Node(kPage, fmt) {
    if (fmt) {
        style.width = fmt->pageWidth;
        style.height = -fmt->pageHeight;
        style.paddingLeft = fmt->marginLeft;
        style.paddingTop = fmt->marginTop;
        style.paddingRight = fmt->marginRight;
        style.paddingBottom = fmt->marginBottom;
    }
    style.marginLeft = style.marginTop = style.marginRight = style.marginBottom = kSheetSpacing;
}

std::u16string Page::numberText() const {
    const int pages = parent() ? parent()->childCount() : 1;
    const std::string text = std::to_string(pages) + " - " + std::to_string(pageIndex + 1);
    return std::u16string(text.begin(), text.end());
}

void Page::draw(Surface& g) const {
    if (!g.noPageFrame) {
        g.setPen(0, 0, 153, 153, 153);
        g.setBrush(255, 255, 255);
        g.rectangle(g.originX, g.originY, g.originX + style.width, g.originY + style.height);
    }
    for (const Text& text : texts)
        text.paint(g);
    for (const KeyText& key : keyTexts)
        key.paint(g);
    if (format)
        g.setFont(format->font(kTextFont));
    const RoleGuard named(g, "page number");
    const std::u16string number = numberText();
    const Size extent = g.textExtent(number);
    g.drawText(g.originX + (style.width - extent.width) / 2,
               g.originY + style.paddingBottom + style.height - kNumberDrop, number);
}

void Page::paint(Surface& g) const {
    Node::paint(g);
    OriginGuard guard(g, style.x, style.y);
    g.pageFrame(0, 0, style.width, style.height);
    const Size mark = g.watermarkSize();
    g.drawWatermark((style.width - mark.width) / 2, (style.height - mark.height) / 2);
}

void Page::clearChildren() {
    Node::clearChildren();
    texts.clear();
    keyTexts.clear();
}

}  // namespace qe
