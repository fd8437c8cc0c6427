#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qe {

// Splits lyrics as people write them into syllables, one per note: each Chinese character is
// a syllable; Latin text splits at spaces and after hyphens, a syllable before a hyphen keeping
// its "-" ("A-maz-ing grace" is "A-", "maz-", "ing", "grace"); "_" stands for a note left
// without a syllable (an empty entry). Punctuation stays with the syllable before it.
std::vector<std::u16string> splitSyllables(const std::u16string& text);

}  // namespace qe
