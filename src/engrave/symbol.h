#pragma once

#include "engrave/node.h"
#include "engrave/symbols.h"

namespace qe {

class NoteElement;

// An octave dot of a note: stacked above the digit from the top of its glyph, or below it
// from under its lowest underline. Its origin is the note element it belongs to.
class Symbol : public Node {
public:
    Symbol(NoteElement* note, const format_track_header* format, bool above);

    void arrange(Surface& g) override;
    void draw(Surface& g) const override;

    char16_t glyph = glyph::kOctaveDot;
    bool above;
    int sizeDivisor = 6;  // the dot is drawn at the note font's height divided by this
    int offsetX = 0;      // relative to the note; 0 until computed
    int offsetY = 0;

private:
    void selectFont(Surface& g) const;

    // A dot is measured once: arranging it again, after its note moved, keeps its size.
    bool measured_ = false;
    Size extent_;
};

}  // namespace qe
