#include "edit/fragment_extras.h"

#include <charconv>

#include "base/exception.h"
#include "edit/fragment_words.h"

namespace qe {

namespace {

void fail(std::string* error, std::string why) {
    if (error)
        *error = std::move(why);
}

constexpr std::uint32_t kLaterArticulations = ~extension::kFirstArticulations;

std::string hexOf(const std::vector<unsigned char>& bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    return out;
}

bool bytesOfHex(std::string_view hex, std::vector<unsigned char>& bytes) {
    const auto nibble = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    };
    if (hex.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = nibble(hex[i]);
        const int lo = nibble(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes.push_back(static_cast<unsigned char>(hi * 16 + lo));
    }
    return true;
}

// The item a line names, and the rest after the space that follows it.
bool itemOf(std::string_view& rest, const Fragment& fragment, long long& item) {
    const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), item);
    if (ec != std::errc() || item < 0 || item >= static_cast<long long>(fragment.items.size()) ||
        ptr == rest.data() + rest.size() || *ptr != ' ')
        return false;
    rest.remove_prefix(static_cast<std::size_t>(ptr - rest.data()) + 1);
    return true;
}

// The extra of an item the lines name in order: the last one read when it is the item's (a
// "marks" or "text" line after its "extra" line), else a new one after it.
NoteExtra* extraFor(Fragment& fragment, long long item, bool first, std::string* error) {
    auto& extras = fragment.extras;
    if (!extras.empty() && extras.back().first == item && !first)
        return &extras.back().second;
    if (!extras.empty() && item <= extras.back().first) {
        fail(error, "extras that name no note of the fragment");
        return nullptr;
    }
    const music::Item& on = fragment.items[static_cast<std::size_t>(item)];
    if (!on.isNoteOrRest()) {
        fail(error, "extras on something that cannot carry them");
        return nullptr;
    }
    return &extras.emplace_back(static_cast<int>(item), NoteExtra{}).second;
}

// "extra ITEM HEX": the bytes decoded as a file's would be.
bool readFirstExtras(std::string_view rest, Fragment& fragment, std::string* error) {
    long long item = -1;
    if (!itemOf(rest, fragment, item)) {
        fail(error, "extras that name no note of the fragment");
        return false;
    }
    std::vector<unsigned char> bytes;
    std::vector<PlacedNoteExtra> decoded;
    try {
        if (!bytesOfHex(rest, bytes))
            throw Exception(kMalformed);
        decoded = extension::decodeNoteExtras(bytes);
    } catch (const Exception&) {
        fail(error, "damaged extras");
        return false;
    }
    const music::Item& on = fragment.items[static_cast<std::size_t>(item)];
    if (decoded.size() != 1 || decoded[0].track != 0 || decoded[0].record != 0 ||
        (!on.isDigit() && (!decoded[0].extra.tones.empty() || !decoded[0].extra.graces.empty()))) {
        fail(error, "extras on something that cannot carry them");
        return false;
    }
    NoteExtra* extra = extraFor(fragment, item, true, error);
    if (!extra)
        return false;
    *extra = std::move(decoded[0].extra);
    return true;
}

// "marks ITEM BITS": the articulations after the first three.
bool readMarks(std::string_view rest, Fragment& fragment, std::string* error) {
    long long item = -1;
    std::uint32_t bits = 0;
    if (!itemOf(rest, fragment, item)) {
        fail(error, "extras that name no note of the fragment");
        return false;
    }
    const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), bits);
    NoteExtra* extra = nullptr;
    if (ec != std::errc() || ptr != rest.data() + rest.size() || bits == 0 ||
        (bits & ~kLaterArticulations) != 0) {
        fail(error, "damaged extras");
        return false;
    }
    if (!(extra = extraFor(fragment, item, false, error)))
        return false;
    if ((extra->articulations & kLaterArticulations) != 0) {
        fail(error, "damaged extras");
        return false;
    }
    extra->articulations |= bits;
    return true;
}

// "text ITEM above|below TEXT": words at the note.
bool readText(std::string_view rest, Fragment& fragment, std::string* error) {
    long long item = -1;
    if (!itemOf(rest, fragment, item)) {
        fail(error, "extras that name no note of the fragment");
        return false;
    }
    const bool above = rest.rfind("above ", 0) == 0;
    const bool below = rest.rfind("below ", 0) == 0;
    std::u16string text;
    if ((!above && !below) || !unescapeLineText(rest.substr(6), text) || text.empty() ||
        text.size() > extension::kLongestNoteText) {
        fail(error, "damaged extras");
        return false;
    }
    NoteExtra* extra = extraFor(fragment, item, false, error);
    if (!extra)
        return false;
    std::u16string& side = above ? extra->textAbove : extra->textBelow;
    if (!side.empty() || (above && !extra->textBelow.empty())) {
        fail(error, "damaged extras");
        return false;
    }
    side = std::move(text);
    return true;
}

}  // namespace

std::string extraLines(const Fragment& fragment, int& version) {
    std::string out;
    for (const auto& [item, extra] : fragment.extras) {
        const std::string at = std::to_string(item) + ' ';
        if (const std::vector<unsigned char> bytes = extension::encodeNoteExtras({{0, 0, extra}});
            !bytes.empty())
            out += "extra " + at + hexOf(bytes) + '\n';
        if (const std::uint32_t later = extra.articulations & kLaterArticulations) {
            out += "marks " + at + std::to_string(later) + '\n';
            version = std::max(version, kNoteWordsVersion);
        }
        for (const auto& [side, text] :
             {std::pair{"above ", &extra.textAbove}, std::pair{"below ", &extra.textBelow}}) {
            if (text->empty())
                continue;
            out += "text " + at + side + escapedLineText(text->substr(0, extension::kLongestNoteText)) + '\n';
            version = std::max(version, kNoteWordsVersion);
        }
    }
    return out;
}

std::optional<bool> readExtraLine(std::string_view line, int version, Fragment& fragment,
                                  std::string* error) {
    if (line.rfind("extra ", 0) == 0)
        return readFirstExtras(line.substr(6), fragment, error);
    if (version >= kNoteWordsVersion && line.rfind("marks ", 0) == 0)
        return readMarks(line.substr(6), fragment, error);
    if (version >= kNoteWordsVersion && line.rfind("text ", 0) == 0)
        return readText(line.substr(5), fragment, error);
    return std::nullopt;
}

}  // namespace qe
