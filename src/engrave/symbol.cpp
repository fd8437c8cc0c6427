#include "engrave/symbol.h"

#include <algorithm>
#include <cmath>

#include "engrave/note_element.h"
#include "records/doc_chunks.h"

namespace qe {

Symbol::Symbol(NoteElement* note, const format_track_header* format, bool above)
    : Node(kSymbol, format, {}, note), above(above) {
    if (note)
        style = note->style;
}

void Symbol::selectFont(Surface& g) const {
    if (!format)
        return;
    FontRecord font = format->font(kNoteFont);
    font.logFont.width = 0;
    font.logFont.height =
        static_cast<int>(std::floor(static_cast<double>(font.logFont.height) / sizeDivisor + 0.5));
    g.setFont(font);
}

void Symbol::arrange(Surface& g) {
    NoteElement* note = asElement(origin);
    if (!note)
        return;
    if (!measured_) {
        selectFont(g);
        extent_ = g.textExtent(&glyph, 1);
        measured_ = true;
    }
    const Size extent = extent_;
    if (offsetX == 0)
        offsetX = static_cast<int>(std::floor((note->style.width - extent.width) * 0.5 + 0.5));
    if (above) {
        if (offsetY == 0)
            offsetY = note->dotsTop - extent.height;
        note->dotsTop = std::max(note->dotsTop, offsetY);
    } else {
        if (offsetY == 0)
            offsetY = note->dotsBottom;
        note->dotsBottom = std::min(note->dotsBottom, offsetY + extent.height);
    }
    style.x = note->style.x + offsetX;
    style.y = note->style.y + offsetY;
    style.width = extent.width;
    style.height = extent.height;
}

void Symbol::draw(Surface& g) const {
    if (!origin)
        return;
    const RoleGuard named(g, "octave dot");
    selectFont(g);
    g.drawText(g.originX, g.originY, &glyph, 1);
}

}  // namespace qe
