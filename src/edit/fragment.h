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
    // A syllable of lyrics on an item (never on a bar line): its verse, counted from 0 as the
    // score counts them, and its text as the score keeps it ("-" at the end when the word goes
    // on in the verse's next syllable).
    struct Syllable {
        int item = 0;
        int verse = 0;
        std::u16string text;

        friend bool operator==(const Syllable&, const Syllable&) = default;
    };
    // By item, and on one item by verse. (A file may give a note two syllables of one verse;
    // both travel.)
    std::vector<Syllable> syllables;

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
//
// The words follow the notes, one line per verse that has any: the verse's number counted
// from 1, a colon, then one syllable per digit 1-7 in the order of the notes, separated by
// spaces, "_" for a digit without a syllable of that verse (none after the last syllable):
//   1 1 5 5 | 6 6 5 - |
//   1: 一 闪 一 闪
//   2: Twin- kle _ twin- kle
// A syllable keeps the "-" that joins it to the next; a space inside one is written as a
// no-break space. Rests, dashes and marks take no words here, and neither the syllables they
// carry nor a verse past kMostFragmentVerses are written; the editor's own form below carries
// every syllable exactly. A line that starts with a number and a colon (full-width ones too),
// not the ":|" of a repeat, is a verse line, since no jianpu starts so; its words are read as
// 粘贴整段歌词 reads them (each Chinese character a syllable, Latin words split after their
// hyphens, "_" a digit left without), so a syllable of two Chinese characters or with a hyphen
// inside comes back as two.
std::string toJianpuText(const Fragment& fragment);
// Nothing, with the reason in `error`, for a text that is not jianpu: a fragment from another
// program that pastes wrongly is worse than one that pastes nothing. So a verse given twice,
// numbered 0 or past kMostFragmentVerses, with more syllables than the notes have digits or
// with a syllable longer than kMostSyllableLength is refused, not cut to fit.
std::optional<Fragment> fromJianpuText(std::string_view text, std::string* error = nullptr);

// The editor's own clipboard form: a first line naming it and its version, the items as
// jianpu text (notes only), then one line per tie ("tie FROM TO") and bracket ("bracket FROM
// TO LABEL"), the lines of the items' extras (edit/fragment_extras.h), and one per syllable ("lyric VERSE ITEM TEXT", the verse counted from 1, the text in
// UTF-8 with \\, \n and \r standing for a backslash and the line breaks), in the order of
// `syllables`. A fragment without syllables is written as version 1, which an editor from
// before lyrics travelled reads too; one with syllables is version 2; one with marks after the
// first three or words at its notes version 3.
std::string toFragmentText(const Fragment& fragment);
// Nothing for a damaged form: a wrong first line or a version this editor does not know, a
// shape that names no item of the fragment, a tie on a bar line, a bracket from or to anything
// but a bar line, extras that are damaged or stand on anything but a digit or rest (chord
// tones and grace notes on a digit only), a syllable on a bar line or out of order, of a verse
// past kMostFragmentVerses or longer than kMostSyllableLength, or more than a clipboard's worth
// of items.
std::optional<Fragment> fromFragmentText(std::string_view text, std::string* error = nullptr);

// The most items a paste takes: far more than any score holds between two places a person
// selects, small enough that a hostile clipboard cannot exhaust memory.
constexpr std::size_t kMostFragmentItems = 1 << 20;
// The verses a fragment carries, as many as the window lets a person choose, and the longest
// syllable in UTF-16 units: a copy leaves out what lies beyond them, a paste refuses it.
constexpr int kMostFragmentVerses = 99;
constexpr std::size_t kMostSyllableLength = 256;

}  // namespace qe
