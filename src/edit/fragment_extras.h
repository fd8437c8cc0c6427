#pragma once

#include <string>
#include <string_view>

#include "edit/fragment.h"

namespace qe {

// The lines of the clipboard form that carry what a fragment's notes hold beyond their digits:
// "extra ITEM HEX" (the bytes of the item's note-extras entry, as a file stores them), "marks
// ITEM BITS" (the articulations after the first three, in decimal) and "text ITEM above|below
// TEXT" (words written at the note). The last two came with version 3 of the form.
constexpr int kNoteWordsVersion = 3;

// The lines of every extra, item by item; `version` is raised to kNoteWordsVersion when one
// needs it.
std::string extraLines(const Fragment& fragment, int& version);
// Reads one line onto the fragment's extras, after those read so far: nothing when the line
// is none of the extras' lines, else whether it was sound (with the reason in `error` when
// not).
std::optional<bool> readExtraLine(std::string_view line, int version, Fragment& fragment,
                                  std::string* error);

}  // namespace qe
