#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "music/item.h"
#include "records/extension.h"

namespace qe {

// A piece of one track, as copied to the clipboard: its items in order (digits, rests, marks
// and bar lines) and the ties and brackets that lie wholly inside it. Shapes name items by
// their index in `items`; a bracket names the bar lines that close its first and last
// measures, as the document does.
struct Fragment {
    struct Shape {
        bool arc = true;
        int from = 0;
        int to = 0;
        std::u16string label;  // a bracket's

        friend bool operator==(const Shape&, const Shape&) = default;
    };

    std::vector<music::Item> items;
    std::vector<Shape> shapes;
    // What items carry beyond their digits (chord tones, grace notes, articulations, tuplets,
    // chord symbols), by index in `items`, in order.
    std::vector<std::pair<int, NoteExtra>> extras;

    bool empty() const { return items.empty(); }
    friend bool operator==(const Fragment&, const Fragment&) = default;
};

// Jianpu as people type it in chats and forums, one token per item, separated by spaces:
//   a digit 0-7, with an accidental in front (# sharp, x double sharp, b flat, bb double flat,
//   n natural) and after it ' for each octave up, , for each octave down, _ for each
//   underline: #4' is a sharp 4 an octave up, 5,_ a 5 an octave down as an eighth;
//   - a dash, . an augmentation dot, v a breath mark, ( and ) parentheses;
//   bar lines: | single, |! heavy, || double, |: and :| repeats, |. dashed, |] final, / hidden.
// Ties and brackets are not part of it. Reading also takes tokens written without spaces
// ("3356|1165"), full-width bars and digits, and ignores line breaks.
std::string toJianpuText(const Fragment& fragment);
// Nothing, with the reason in `error`, for a text that is not jianpu: a fragment from another
// program that pastes wrongly is worse than one that pastes nothing.
std::optional<Fragment> fromJianpuText(std::string_view text, std::string* error = nullptr);

// The editor's own clipboard form: a first line naming it and its version, the items as
// jianpu text, then one line per tie ("tie FROM TO") and bracket ("bracket FROM TO LABEL"),
// and one per item that carries extras ("extra ITEM HEX", the bytes of its note-extras entry).
std::string toFragmentText(const Fragment& fragment);
// Nothing for a damaged form: a wrong first line, a shape that names no item of the fragment,
// a tie on a bar line, a bracket from or to anything but a bar line, extras that are damaged
// or stand on anything but a digit or rest (chord tones and grace notes on a digit only), or
// more than a clipboard's worth of items.
std::optional<Fragment> fromFragmentText(std::string_view text, std::string* error = nullptr);

// The most items a paste takes: far more than any score holds between two places a person
// selects, small enough that a hostile clipboard cannot exhaust memory.
constexpr std::size_t kMostFragmentItems = 1 << 20;

}  // namespace qe
