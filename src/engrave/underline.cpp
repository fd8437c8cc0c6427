#include "engrave/underline.h"

#include "engrave/note_element.h"
#include "records/doc_chunks.h"

namespace qe {

void Underline::arrange(Surface&) {
    if (!from && !to)
        return;
    const auto* first = static_cast<const NoteElement*>(from ? from.get() : to.get());
    const auto* last = static_cast<const NoteElement*>(to ? to.get() : from.get());
    thickness = format ? format->font(kNoteFont).logFont.height / 15 : -15;
    style.height = thickness;
    style.x = first->style.x;
    style.y = first->style.y + first->style.height + 2 * level * thickness;
    style.width = last->style.x + (last->glyphRight - last->glyphLeft) - style.x;
    if (format)
        takeColor(format->font(kNoteFont).color);
}

void Underline::draw(Surface& g) const {
    const RoleGuard named(g, "underline");
    if (!from && !to)
        return;
    const int t = roundToPixels(thickness, g.pixelSize());
    g.fillRect(g.originX, g.originY + level * (2 * t - 2 * thickness), style.width, t, color[0],
               color[1], color[2]);
}

}  // namespace qe
