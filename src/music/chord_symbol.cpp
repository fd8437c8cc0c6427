#include "music/chord_symbol.h"

#include <array>

namespace qe::music {

namespace {

struct Quality {
    std::string_view suffix;
    std::string_view kind;
    bool usual = true;  // the spelling a MusicXML kind is written back with
};

// Longer spellings first, so that "maj7" is not read as "m" and "aj7".
constexpr Quality kQualities[] = {
    {"m(maj7)", "major-minor", false},
    {"mMaj7", "major-minor"},
    {"m7b5", "half-diminished"},
    {"maj13", "major-13th"},
    {"maj11", "major-11th"},
    {"maj9", "major-ninth"},
    {"maj7", "major-seventh"},
    {"dim7", "diminished-seventh"},
    {"aug7", "augmented-seventh"},
    {"sus2", "suspended-second"},
    {"sus4", "suspended-fourth"},
    {"sus", "suspended-fourth", false},
    {"m13", "minor-13th"},
    {"m11", "minor-11th"},
    {"m9", "minor-ninth"},
    {"m7", "minor-seventh"},
    {"m6", "minor-sixth"},
    {"ø7", "half-diminished", false},
    {"°7", "diminished-seventh", false},
    {"+7", "augmented-seventh", false},
    {"13", "dominant-13th"},
    {"11", "dominant-11th"},
    {"M7", "major-seventh", false},
    {"dim", "diminished"},
    {"aug", "augmented"},
    {"min", "minor", false},
    {"ø", "half-diminished", false},
    {"°", "diminished", false},
    {"+", "augmented", false},
    {"9", "dominant-ninth"},
    {"7", "dominant"},
    {"6", "major-sixth"},
    {"5", "power"},
    {"m", "minor"},
    {"", "major"},
};

// Alterations that may follow a quality, each alone or several in parentheses.
constexpr std::array<std::string_view, 16> kAlterations{
    "add13", "add11", "add9", "add4", "add2", "sus4", "sus2", "b13", "#11",
    "b9",    "#9",    "b5",   "#5",   "b6",   "13",   "9"};

// UTF-8 of the typed text, with the accidental signs and the flat letter's look-alikes read
// as "#" and "b".
std::string normalized(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c == u'♯' || c == u'＃')
            out += '#';
        else if (c == u'♭')
            out += 'b';
        else if (c == u'ø')
            out += "ø";
        else if (c == u'°' || c == u'º')
            out += "°";
        else if (c == u'Δ')
            out += "maj";
        else if (c < 0x80)
            out += static_cast<char>(c);
        else
            return {};  // nothing else belongs in a chord symbol
    }
    const auto first = out.find_first_not_of(' ');
    const auto last = out.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : out.substr(first, last - first + 1);
}

bool readNote(std::string_view& s, int& step, int& alter) {
    static constexpr std::string_view kLetters = "CDEFGAB";
    if (s.empty() || kLetters.find(s.front()) == std::string_view::npos)
        return false;
    step = static_cast<int>(kLetters.find(s.front()));
    s.remove_prefix(1);
    alter = 0;
    if (!s.empty() && (s.front() == '#' || s.front() == 'b')) {
        alter = s.front() == '#' ? 1 : -1;
        s.remove_prefix(1);
    }
    return true;
}

bool readAlteration(std::string_view& s) {
    for (std::string_view a : kAlterations)
        if (s.substr(0, a.size()) == a) {
            s.remove_prefix(a.size());
            return true;
        }
    return false;
}

std::u16string fromUtf8(const std::string& s) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += static_cast<char16_t>(c);
        } else if (i + 1 < s.size()) {  // the two-byte signs ø and °
            out += static_cast<char16_t>(((c & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F));
            ++i;
        }
    }
    return out;
}

std::u16string noteName(int step, int alter, bool shown) {
    std::u16string out(1, u"CDEFGAB"[step]);
    if (alter > 0)
        out += shown ? u'♯' : u'#';
    else if (alter < 0)
        out += shown ? u'♭' : u'b';
    return out;
}

}  // namespace

std::u16string ChordSymbol::text() const {
    if (none)
        return u"N.C.";
    std::u16string out = noteName(step, alter, false) + fromUtf8(suffix);
    if (hasBass)
        out += u"/" + noteName(bassStep, bassAlter, false);
    return out;
}

std::u16string ChordSymbol::shown() const {
    if (none)
        return u"N.C.";
    std::u16string out = noteName(step, alter, true);
    // In the suffix a "b" before a number is a flat; "#" is always a sharp.
    const std::u16string s = fromUtf8(suffix);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool flat = s[i] == u'b' && i + 1 < s.size() && s[i + 1] >= u'0' && s[i + 1] <= u'9';
        out += flat ? u'♭' : s[i] == u'#' ? u'♯' : s[i];
    }
    if (hasBass)
        out += u"/" + noteName(bassStep, bassAlter, true);
    return out;
}

std::optional<ChordSymbol> parseChordSymbol(std::u16string_view typed) {
    const std::string text = normalized(typed);
    std::string_view s = text;
    ChordSymbol chord;
    if (text == "N.C." || text == "NC" || text == "N.C") {
        chord.none = true;
        chord.kind = "none";
        return chord;
    }
    if (!readNote(s, chord.step, chord.alter))
        return std::nullopt;
    const std::string_view afterRoot = s;
    for (const Quality& q : kQualities) {
        if (s.substr(0, q.suffix.size()) == q.suffix) {
            s.remove_prefix(q.suffix.size());
            chord.kind = q.kind;
            break;
        }
    }
    // Alterations, alone ("7b9#11") or in parentheses ("7(b9, #11)").
    while (!s.empty() && s.front() != '/') {
        if (s.front() == '(') {
            s.remove_prefix(1);
            bool any = false;
            while (readAlteration(s)) {
                any = true;
                while (!s.empty() && (s.front() == ',' || s.front() == ' '))
                    s.remove_prefix(1);
            }
            if (!any || s.empty() || s.front() != ')')
                return std::nullopt;
            s.remove_prefix(1);
        } else if (!readAlteration(s)) {
            return std::nullopt;
        }
    }
    chord.suffix = std::string(afterRoot.substr(0, afterRoot.size() - s.size()));
    if (!s.empty()) {  // the bass
        s.remove_prefix(1);
        if (!readNote(s, chord.bassStep, chord.bassAlter) || !s.empty())
            return std::nullopt;
        chord.hasBass = true;
    }
    return chord;
}

std::optional<std::string> suffixOfKind(std::string_view kind) {
    if (kind == "none")
        return std::nullopt;
    for (const Quality& q : kQualities)
        if (q.kind == kind && q.usual)
            return std::string(q.suffix);
    return std::nullopt;
}

}  // namespace qe::music
