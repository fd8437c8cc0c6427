#pragma once

#include <string>
#include <string_view>

namespace qe {

// The clipboard speaks UTF-8; the score keeps its texts (syllables, bracket labels) in UTF-16.

// Decodes UTF-8 into code points; false for a malformed sequence (`out` then holds what came
// before it).
bool decodeUtf8(std::string_view text, std::u32string& out);
void appendUtf8(std::string& out, char32_t cp);
// A lone surrogate is written as the code point it holds, as the score stores it.
std::string utf8Of(std::u16string_view text);
std::u16string utf16Of(std::u32string_view text);

}  // namespace qe
