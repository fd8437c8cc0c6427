#include "edit/fragment_words.h"

#include <algorithm>
#include <charconv>

#include "edit/lyrics_text.h"
#include "edit/utf_text.h"

namespace qe {

namespace {

constexpr char16_t kNoBreakSpace = 0x00A0;

void fail(std::string* error, std::string why) {
    if (error)
        *error = std::move(why);
}

// The index of each item among the fragment's digits, the notes that take words; -1 for the
// others.
std::vector<int> digitSlots(const Fragment& fragment, int* count) {
    std::vector<int> slots;
    slots.reserve(fragment.items.size());
    *count = 0;
    for (const music::Item& item : fragment.items)
        slots.push_back(item.isDigit() ? (*count)++ : -1);
    return slots;
}

// A syllable as one word of a verse line: a space inside it would split it in two.
std::string verseWord(const std::u16string& text) {
    if (text.empty())
        return "_";
    std::u16string word = text;
    std::replace_if(
        word.begin(), word.end(),
        [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; },
        kNoBreakSpace);
    return utf8Of(word);
}

bool isLineSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\r' || c == 0x3000;
}

// The verse number a line starts with, and the words after its colon; nothing for a line of
// notes. Full-width digits and colons count, as a Chinese input method types them.
std::optional<VerseLine> verseLineOf(std::u32string_view line) {
    std::size_t at = 0;
    while (at < line.size() && isLineSpace(line[at]))
        ++at;
    const std::size_t digitsStart = at;
    long number = 0;
    for (; at < line.size(); ++at) {
        const char32_t c = line[at];
        const char32_t d = c >= U'0' && c <= U'9'       ? c - U'0'
                           : c >= 0xFF10 && c <= 0xFF19 ? c - 0xFF10
                                                        : 10;
        if (d > 9)
            break;
        number = std::min<long>(number * 10 + static_cast<long>(d), kMostFragmentVerses + 1L);
    }
    if (at == digitsStart || at >= line.size() || (line[at] != U':' && line[at] != 0xFF1A))
        return std::nullopt;
    ++at;
    // ":|" is a repeat sign: "1:|" is a 1 before it.
    if (at < line.size() && (line[at] == U'|' || line[at] == 0xFF5C))
        return std::nullopt;
    return VerseLine{static_cast<int>(number), std::u32string(line.substr(at))};
}

std::string verseName(int number) {
    return "verse " + std::to_string(number);
}

}  // namespace

std::string verseLines(const Fragment& fragment) {
    int digits = 0;
    const std::vector<int> slots = digitSlots(fragment, &digits);
    std::vector<int> verses;
    for (const Fragment::Syllable& s : fragment.syllables)
        if (s.verse >= 0 && s.verse < kMostFragmentVerses)
            verses.push_back(s.verse);
    std::sort(verses.begin(), verses.end());
    verses.erase(std::unique(verses.begin(), verses.end()), verses.end());
    std::string out;
    for (int verse : verses) {
        std::vector<const std::u16string*> words(static_cast<std::size_t>(digits), nullptr);
        int last = -1;
        for (const Fragment::Syllable& s : fragment.syllables) {
            if (s.verse != verse || s.item < 0 || static_cast<std::size_t>(s.item) >= slots.size())
                continue;
            const int slot = slots[static_cast<std::size_t>(s.item)];
            if (slot < 0 || s.text.empty())
                continue;
            words[static_cast<std::size_t>(slot)] = &s.text;
            last = std::max(last, slot);
        }
        if (last < 0)
            continue;
        out += std::to_string(verse + 1) + ":";
        for (int k = 0; k <= last; ++k) {
            const std::u16string* word = words[static_cast<std::size_t>(k)];
            out += ' ';
            out += word ? verseWord(*word) : "_";
        }
        out += '\n';
    }
    return out;
}

std::vector<VerseLine> takeVerseLines(std::u32string& text) {
    std::vector<VerseLine> lines;
    std::u32string notes;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find(U'\n', start);
        if (end == std::u32string::npos)
            end = text.size();
        const std::u32string_view line(text.data() + start, end - start);
        if (std::optional<VerseLine> verse = verseLineOf(line)) {
            lines.push_back(std::move(*verse));
        } else {
            notes += line;
            notes += U'\n';
        }
        start = end + 1;
    }
    text = std::move(notes);
    return lines;
}

bool readVerseLines(const std::vector<VerseLine>& lines, Fragment& fragment, std::string* error) {
    int digits = 0;
    const std::vector<int> slots = digitSlots(fragment, &digits);
    std::vector<int> itemOfSlot;
    for (std::size_t i = 0; i < slots.size(); ++i)
        if (slots[i] >= 0)
            itemOfSlot.push_back(static_cast<int>(i));
    std::vector<bool> seen(kMostFragmentVerses + 1, false);
    for (const VerseLine& line : lines) {
        if (line.number < 1 || line.number > kMostFragmentVerses) {
            fail(error, "words of a verse numbered other than 1 to " +
                            std::to_string(kMostFragmentVerses));
            return false;
        }
        if (seen[static_cast<std::size_t>(line.number)]) {
            fail(error, "the words of " + verseName(line.number) + " given twice");
            return false;
        }
        seen[static_cast<std::size_t>(line.number)] = true;
        std::vector<std::u16string> syllables = splitSyllables(utf16Of(line.words));
        if (syllables.size() > itemOfSlot.size()) {
            fail(error, "more words in " + verseName(line.number) + " than notes");
            return false;
        }
        for (std::size_t k = 0; k < syllables.size(); ++k) {
            if (syllables[k].size() > kMostSyllableLength) {
                fail(error, "a word too long in " + verseName(line.number));
                return false;
            }
            // A no-break space stands for a space inside a syllable, where a space would
            // have split it in two.
            std::replace(syllables[k].begin(), syllables[k].end(), kNoBreakSpace, u' ');
            if (!syllables[k].empty())
                fragment.syllables.push_back(
                    {itemOfSlot[k], line.number - 1, std::move(syllables[k])});
        }
    }
    std::sort(fragment.syllables.begin(), fragment.syllables.end(),
              [](const Fragment::Syllable& a, const Fragment::Syllable& b) {
                  return std::pair(a.item, a.verse) < std::pair(b.item, b.verse);
              });
    return true;
}

std::string escapedLineText(std::u16string_view text) {
    std::string out;
    for (char c : utf8Of(text)) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string lyricLine(const Fragment::Syllable& syllable) {
    return "lyric " + std::to_string(syllable.verse + 1) + ' ' + std::to_string(syllable.item) +
           ' ' + escapedLineText(syllable.text) + '\n';
}

namespace {

// The number before the next space, and the rest after that space.
bool numberOf(std::string_view& rest, long long& number) {
    const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    if (ec != std::errc() || ptr == rest.data() + rest.size() || *ptr != ' ')
        return false;
    rest.remove_prefix(static_cast<std::size_t>(ptr - rest.data()) + 1);
    return true;
}

}  // namespace

bool unescapeLineText(std::string_view line, std::u16string& text) {
    std::string utf8;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\') {
            utf8 += line[i];
            continue;
        }
        if (++i == line.size())
            return false;
        switch (line[i]) {
            case '\\':
                utf8 += '\\';
                break;
            case 'n':
                utf8 += '\n';
                break;
            case 'r':
                utf8 += '\r';
                break;
            default:
                return false;
        }
    }
    std::u32string decoded;
    if (!decodeUtf8(utf8, decoded))
        return false;
    text = utf16Of(decoded);
    return true;
}

bool readLyricLine(std::string_view rest, Fragment& fragment, std::string* error) {
    long long verse = 0;
    long long item = -1;
    if (!numberOf(rest, verse) || !numberOf(rest, item)) {
        fail(error, "a damaged line of words");
        return false;
    }
    if (verse < 1 || verse > kMostFragmentVerses) {
        fail(error,
             "words of a verse numbered other than 1 to " + std::to_string(kMostFragmentVerses));
        return false;
    }
    const auto count = static_cast<long long>(fragment.items.size());
    if (item < 0 || item >= count || fragment.items[static_cast<std::size_t>(item)].isBarLine()) {
        fail(error, "words that name no note of the fragment");
        return false;
    }
    const Fragment::Syllable* last =
        fragment.syllables.empty() ? nullptr : &fragment.syllables.back();
    if (last &&
        std::pair(item, verse - 1) < std::pair<long long, long long>(last->item, last->verse)) {
        fail(error, "words out of order");
        return false;
    }
    std::u16string text;
    if (!unescapeLineText(rest, text)) {
        fail(error, "words that are not text");
        return false;
    }
    if (text.size() > kMostSyllableLength) {
        fail(error, "a word too long");
        return false;
    }
    fragment.syllables.push_back(
        {static_cast<int>(item), static_cast<int>(verse - 1), std::move(text)});
    return true;
}

}  // namespace qe
