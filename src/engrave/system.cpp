#include "engrave/system.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "engrave/measure.h"
#include "records/doc_chunks.h"

namespace qe {

std::unique_ptr<System> System::displayLine(int tracks) {
    auto line = std::make_unique<System>();
    const int margin = kDisplayLineMargin + (tracks >= 2 ? kSystemMargin : 0);
    line->style.marginTop = margin;
    line->style.marginBottom = margin;
    line->joinsTracks = tracks >= 2;
    return line;
}

void System::draw(Surface& g) const {
    drawTrackBracket(g);
    for (const Text& label : labels)
        label.paint(g);
}

void System::drawTrackBracket(Surface& g) const {
    if (!joinsTracks || childCount() < 2)
        return;
    const RoleGuard named(g, "bracket");
    // The rows' bar lines, in this line's frame: a measure's bar glyph stands from its top
    // padding down by the bar line's height.
    const auto barSpan = [](const Node& row, int& top, int& bottom) {
        const Node* shown = row.firstChild();
        const Node* real = shown;
        while (real && real->kind == kShadowNode)
            real = real->origin;
        const Measure* m = asMeasure(real);
        if (!shown || !m)
            return false;
        top = row.style.y + shown->style.y - m->style.paddingTop;
        bottom = top + m->barHeight;
        return true;
    };
    int top = 0, bottom = 0, ignored = 0;
    if (!barSpan(*firstChild(), top, ignored) || !barSpan(*lastChild(), ignored, bottom))
        return;
    int thickness = 15;
    std::uint32_t rgb = 0;
    if (format) {
        thickness = std::abs(format->font(kNoteFont).logFont.height / 15);
        rgb = format->font(kBarLineFont).color;
    }
    const Node* first = firstChild();
    const int x = g.originX + first->style.x - kBracketOffset;
    g.setPen(0, roundToPixels(std::max(thickness, 1), g.pixelSize()),
             static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
             static_cast<std::uint8_t>(rgb));
    g.moveTo(x + kBracketHook, g.originY + top);
    g.lineTo(x, g.originY + top);
    g.lineTo(x, g.originY + bottom);
    g.lineTo(x + kBracketHook, g.originY + bottom);
}

void System::arrange(Surface&) {
    int y = -style.paddingTop;
    int right = style.paddingLeft;
    for (auto& c : children_) {
        Style& s = c->style;
        s.x = style.paddingLeft + s.marginLeft;
        s.y = y - s.marginTop;
        y = s.y + s.height - s.marginBottom;
        right = std::max(right, s.x + s.width);
    }
    style.width = right + style.paddingRight;
    style.height = y - style.paddingBottom;
}

}  // namespace qe
