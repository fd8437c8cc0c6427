#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engrave/node.h"
#include "music/score.h"

namespace qe {

// What a note element shows.
enum ElementKind : int {
    kDigitElement = 0,       // a note digit or a rest
    kAccidentalElement = 1,  // the accidental in front of a digit
    kDashElement = 2,
    kDotElement = 3,   // augmentation dot
    kMarkElement = 4,  // breath mark, parenthesis
};

// A syllable of lyrics under a note, as the score keeps it.
using Syllable = music::Syllable;

// One glyph of the note row of a measure.
class NoteElement : public Node {
public:
    // Where the glyph is placed in a box wider than itself.
    enum Align : int { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

    // A digit (degree 0 is a rest) with its underline count and octave shift.
    static std::unique_ptr<NoteElement> makeNote(int degree, int duration, int octave);
    // An accidental 1..5: sharp, double sharp, flat, double flat, natural.
    static std::unique_ptr<NoteElement> makeAccidental(int accidental);
    // A dash, augmentation dot, breath mark or parenthesis.
    static std::unique_ptr<NoteElement> makeMark(char16_t glyph, int elementKind);

    void arrange(Surface& g) override;
    void draw(Surface& g) const override;

    // Spacing weight in justification: what share of a line's spare room it takes.
    int weight() const;

    int degree = 0;
    int accidental = 0;
    char16_t glyph = 0;
    int elementKind = kDigitElement;
    int align = kAlignCentre;
    int duration = 0;
    int octave = 0;
    int glyphLeft = 0;
    int glyphTop = 0;
    int glyphRight = 0;
    int glyphBottom = 0;
    int dotsTop = 0;     // octave dots above stack upward from here
    int dotsBottom = 0;  // octave dots below stack downward from here, under the underlines
    std::vector<Syllable> syllables;  // one per verse as the editor writes them
    // The entry of the score's measure the element shows: a note's digit and the accidental in
    // front of it show one entry.
    int entry = -1;
    // A digit's or rest's extras (grace notes, articulations, tuplet, chord symbol), and the
    // tones of its chord stacked above it, lowest first: the row shows the chord's lowest tone.
    std::shared_ptr<const NoteExtra> extra;
    std::vector<NoteTone> stack;

private:
    NoteElement() : Node(kNoteElement) {}
};

// The element at a node, or null when the node is something else.
inline NoteElement* asElement(Node* node) {
    return node && node->kind == kNoteElement ? static_cast<NoteElement*>(node) : nullptr;
}

}  // namespace qe
