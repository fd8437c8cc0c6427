#pragma once

#include <memory>
#include <string>
#include <vector>

#include "draw/note_element.h"

namespace qe {

class LinearView;
class Node;

// Where a node stands in an edit tree, by indices rather than by identity, so that a place
// found in one view's tree names the same place in every tree built from the same document,
// before and after the tree is rebuilt. `element` -1 names the measure itself.
struct TreePosition {
    int track = -1;
    int measure = -1;
    int element = -1;

    bool valid() const { return track >= 0 && measure >= 0; }
    friend bool operator==(const TreePosition&, const TreePosition&) = default;
};

// The position of an element or measure of `tree`; an invalid position for anything else.
TreePosition positionOf(const LinearView& tree, const Node* node);
// The node at a position, or null when the tree has nothing there.
Node* nodeAt(const LinearView& tree, const TreePosition& at);

// What an element shows, as a value: enough to make the same element again, with the
// syllables it carries.
struct ElementValue {
    int elementKind = 0;
    char16_t glyph = 0;
    int degree = 0;
    int accidental = 0;
    int duration = 0;
    int octave = 0;
    std::vector<Syllable> syllables;

    static ElementValue of(const NoteElement& e);
    std::unique_ptr<NoteElement> make() const;
    friend bool operator==(const ElementValue&, const ElementValue&) = default;
};

// A tie (`arc`) or volta bracket between two positions, and where it stands in its view's
// list of ties or of brackets: the order of that list is the order a save writes them in.
struct ShapeValue {
    bool arc = true;
    TreePosition from;
    TreePosition to;
    std::u16string label;
    int index = -1;

    friend bool operator==(const ShapeValue&, const ShapeValue&) = default;
};

}  // namespace qe
