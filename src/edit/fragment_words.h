#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "edit/fragment.h"

namespace qe {

// The words of a fragment in its two clipboard forms (see fragment.h): the verse lines of its
// jianpu text, and the "lyric" lines of the editor's own form.

// The verse lines after the notes of the jianpu text, each ending in a line break; empty when
// no digit carries a syllable.
std::string verseLines(const Fragment& fragment);

// A line of jianpu text that holds the words of a verse: its number as written (one past
// kMostFragmentVerses for any larger) and what follows the colon.
struct VerseLine {
    int number = 0;
    std::u32string words;
};
// Takes the verse lines out of a text, leaving its notes (the other lines) in `text`.
std::vector<VerseLine> takeVerseLines(std::u32string& text);
// Lays the verse lines' syllables on the fragment's digits; false, with the reason in `error`,
// for a line that does not fit its notes.
bool readVerseLines(const std::vector<VerseLine>& lines, Fragment& fragment, std::string* error);

// A text as the rest of a line of the clipboard form: UTF-8, with \\, \n and \r standing for
// a backslash and the line breaks; and back (false for an escape it does not know or bytes that
// are not UTF-8).
std::string escapedLineText(std::u16string_view text);
bool unescapeLineText(std::string_view line, std::u16string& text);

// The "lyric VERSE ITEM TEXT" line of a syllable, with its line break.
std::string lyricLine(const Fragment::Syllable& syllable);
// Reads what follows "lyric " onto the fragment, after the syllables read so far; false, with
// the reason in `error`, for a damaged line.
bool readLyricLine(std::string_view rest, Fragment& fragment, std::string* error);

}  // namespace qe
