#include "engrave/note_element.h"

#include "engrave/symbols.h"
#include "records/doc_chunks.h"

namespace qe {

std::unique_ptr<NoteElement> NoteElement::makeNote(int degree, int duration, int octave) {
    std::unique_ptr<NoteElement> e(new NoteElement);
    e->degree = degree;
    e->glyph = static_cast<char16_t>(glyph::kDigit + degree);
    e->elementKind = kDigitElement;
    e->align = kAlignCentre;
    e->duration = duration;
    e->octave = octave;
    return e;
}

std::unique_ptr<NoteElement> NoteElement::makeAccidental(int accidental) {
    std::unique_ptr<NoteElement> e(new NoteElement);
    e->accidental = accidental;
    e->glyph = static_cast<char16_t>(glyph::kAccidentalBase + accidental);
    e->elementKind = kAccidentalElement;
    e->align = kAlignRight;
    return e;
}

std::unique_ptr<NoteElement> NoteElement::makeMark(char16_t glyphCode, int elementKind) {
    std::unique_ptr<NoteElement> e(new NoteElement);
    e->glyph = glyphCode;
    e->elementKind = elementKind;
    e->align = kAlignCentre;
    return e;
}

void NoteElement::arrange(Surface& g) {
    if (format)
        g.setFont(format->font(kNoteFont));
    const Size extent = g.textExtent(&glyph, 1);
    style.width = extent.width;
    style.height = extent.height;
    // The glyph fills its box, which is as wide as the glyph; the box only moves.
    glyphLeft = 0;
    glyphTop = 0;
    glyphRight = extent.width;
    glyphBottom = extent.height;
}

void NoteElement::draw(Surface& g) const {
    static constexpr const char* kRoles[] = {"digit", "accidental", "dash", "augmentation dot",
                                             "mark"};
    const RoleGuard named(
        g, elementKind >= 0 && elementKind <= kMarkElement ? kRoles[elementKind] : "mark");
    if (format)
        g.setFont(format->font(kNoteFont));
    const int glyphWidth = glyphRight - glyphLeft;
    switch (align) {
        case kAlignCentre:
            g.drawText(g.originX + (style.width - glyphWidth) / 2, g.originY, &glyph, 1);
            break;
        case kAlignRight:
            // The glyph ends flush with the box's right edge, next to the digit that follows.
            g.drawText(g.originX + style.width - glyphWidth, g.originY, &glyph, 1);
            break;
        default:
            g.drawText(g.originX, g.originY, &glyph, 1);
            break;
    }
}

int NoteElement::weight() const {
    switch (elementKind) {
        case kDigitElement:
        case kDotElement:
            return duration >= 0 && duration <= 4 ? 16 >> duration : 0;
        case kDashElement:
            return 16;
        default:
            return 1;
    }
}

}  // namespace qe
