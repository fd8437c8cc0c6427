#include "edit/lyrics_text.h"

#include <utility>

namespace qe {

namespace {

// Characters written one to a note: CJK ideographs, kana and hangul.
bool isOneToANote(char16_t c) {
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x3040 && c <= 0x30FF) || (c >= 0xAC00 && c <= 0xD7AF);
}

// Punctuation that closes what stands before it rather than taking a note of its own.
bool isTrailingPunctuation(char16_t c) {
    switch (c) {
        case u'，':
        case u'。':
        case u'、':
        case u'；':
        case u'：':
        case u'！':
        case u'？':
        case u'”':
        case u'’':
        case u'）':
        case u'》':
        case u'」':
        case u'』':
        case u',':
        case u'.':
        case u';':
        case u':':
        case u'!':
        case u'?':
        case u')':
        case u'"':
            return true;
        default:
            return false;
    }
}

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x3000;
}

}  // namespace

std::vector<std::u16string> splitSyllables(const std::u16string& text) {
    std::vector<std::u16string> out;
    std::u16string word;  // Latin letters being gathered
    const auto flush = [&] {
        if (!word.empty())
            out.push_back(std::move(word));
        word.clear();
    };
    char16_t previous = 0;
    for (char16_t c : text) {
        const char16_t before = std::exchange(previous, c);
        if (isSpace(c)) {
            flush();
        } else if (c == u'_') {
            flush();
            out.emplace_back();
        } else if (c == u'-' && isOneToANote(before)) {
            // The character before is a syllable of its own: the hyphen joins it to the next.
            out.back() += c;
        } else if (c == u'-') {
            word += c;
            flush();
        } else if (isOneToANote(c)) {
            flush();
            out.emplace_back(1, c);
        } else if (isTrailingPunctuation(c) && word.empty() && !out.empty() &&
                   !out.back().empty()) {
            out.back() += c;
        } else {
            word += c;
        }
    }
    flush();
    return out;
}

}  // namespace qe
