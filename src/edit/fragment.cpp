#include "edit/fragment.h"

#include "base/exception.h"
#include "edit/fragment_extras.h"
#include "edit/fragment_words.h"
#include "edit/utf_text.h"

#include <charconv>

namespace qe {

using music::Item;

namespace {

// The first line of the editor's own form, before its version: 1 for fragments without
// syllables, which an editor from before lyrics travelled reads too, 2 for those with them.
constexpr std::string_view kFormName = "qanoredit-fragment ";
constexpr int kWordsVersion = 2;

// Bar line tokens by bar type.
constexpr std::string_view kBars[] = {"|", "|!", "||", "|:", ":|", "|.", "|]", "/"};

void fail(std::string* error, std::string why) {
    if (error)
        *error = std::move(why);
}

std::string itemText(const Item& item) {
    std::string out;
    switch (item.kind) {
        case Item::Kind::BarLine:
            return std::string(kBars[item.barType & 7]);
        case Item::Kind::Dash:
            return "-";
        case Item::Kind::Dot:
            return ".";
        case Item::Kind::Breath:
            return "v";
        case Item::Kind::OpenParen:
            return "(";
        case Item::Kind::CloseParen:
            return ")";
        default:
            break;
    }
    static const char* const kSigns[] = {"", "#", "x", "b", "bb", "n", "", ""};
    out += kSigns[item.accidental & 7];
    out += static_cast<char>('0' + (item.isDigit() ? item.degree : 0));
    for (int i = 0; i < item.octave; ++i)
        out += '\'';
    for (int i = 0; i > item.octave; --i)
        out += ',';
    out.append(static_cast<std::size_t>(item.underlines), '_');
    return out;
}

// Full-width digits and bars, as a Chinese input method types them, read as their plain
// forms.
char32_t plain(char32_t c) {
    if (c >= 0xFF10 && c <= 0xFF19)
        return U'0' + (c - 0xFF10);
    switch (c) {
        case 0xFF5C:  // ｜
            return U'|';
        case 0xFF07:  // ＇
        case 0x2019:  // ’
            return U'\'';
        case 0xFF0C:  // ，
            return U',';
        case 0xFF3F:  // ＿
            return U'_';
        case 0xFF0D:  // －
        case 0x2014:  // —
            return U'-';
        case 0x3002:  // 。
        case 0xFF0E:  // ．
            return U'.';
        case 0xFF08:  // （
            return U'(';
        case 0xFF09:  // ）
            return U')';
        case 0xFF1A:  // ：
            return U':';
        case 0x3000:  // full-width space
            return U' ';
        default:
            return c;
    }
}

class JianpuReader {
public:
    explicit JianpuReader(std::u32string text) : text_(std::move(text)) {}

    std::optional<Fragment> read(std::string* error) {
        Fragment f;
        while (skipSpace()) {
            if (f.items.size() >= kMostFragmentItems) {
                fail(error, "too many notes for one paste");
                return std::nullopt;
            }
            std::optional<Item> item = next();
            if (!item) {
                fail(error, "not jianpu at character " + std::to_string(at_ + 1));
                return std::nullopt;
            }
            f.items.push_back(*item);
        }
        return f;
    }

private:
    bool skipSpace() {
        while (at_ < text_.size() && (text_[at_] == U' ' || text_[at_] == U'\t' ||
                                      text_[at_] == U'\n' || text_[at_] == U'\r'))
            ++at_;
        return at_ < text_.size();
    }
    char32_t peek(std::size_t ahead = 0) const {
        return at_ + ahead < text_.size() ? text_[at_ + ahead] : 0;
    }

    std::optional<Item> next() {
        const char32_t c = peek();
        switch (c) {
            case U'-':
                ++at_;
                return Item::mark(Item::Kind::Dash);
            case U'.':
                ++at_;
                return Item::mark(Item::Kind::Dot);
            case U'v':
                ++at_;
                return Item::mark(Item::Kind::Breath);
            case U'(':
                ++at_;
                return Item::mark(Item::Kind::OpenParen);
            case U')':
                ++at_;
                return Item::mark(Item::Kind::CloseParen);
            case U'/':
                ++at_;
                return Item::barLine(7);
            case U':':
                if (peek(1) != U'|')
                    return std::nullopt;
                at_ += 2;
                return Item::barLine(4);
            case U'|': {
                ++at_;
                const char32_t after = peek();
                const int type = after == U'!'   ? 1
                                 : after == U'|' ? 2
                                 : after == U':' ? 3
                                 : after == U'.' ? 5
                                 : after == U']' ? 6
                                                 : 0;
                if (type != 0)
                    ++at_;
                return Item::barLine(type);
            }
            default:
                return note();
        }
    }

    std::optional<Item> note() {
        int accidental = 0;
        if (peek() == U'#') {
            accidental = 1;
            ++at_;
        } else if (peek() == U'x') {
            accidental = 2;
            ++at_;
        } else if (peek() == U'b' && peek(1) == U'b') {
            accidental = 4;
            at_ += 2;
        } else if (peek() == U'b' || peek() == U'B') {
            accidental = peek() == U'B' ? 4 : 3;
            ++at_;
        } else if (peek() == U'n') {
            accidental = 5;
            ++at_;
        }
        const char32_t d = peek();
        if (d < U'0' || d > U'7')
            return std::nullopt;
        ++at_;
        int octave = 0;
        int underlines = 0;
        for (;; ++at_) {
            const char32_t c = peek();
            if (c == U'\'' && octave < 8)
                ++octave;
            else if (c == U',' && octave > -7)
                --octave;
            else if (c == U'_' && underlines < 7)
                ++underlines;
            else
                break;
        }
        if (d == U'0')
            return Item::rest(underlines, accidental);
        return Item::digit(static_cast<int>(d - U'0'), octave, underlines, accidental);
    }

    std::u32string text_;
    std::size_t at_ = 0;
};

// The notes of a fragment, one token per item.
std::string notesText(const Fragment& fragment) {
    std::string out;
    for (const Item& item : fragment.items) {
        if (!out.empty())
            out += ' ';
        out += itemText(item);
    }
    return out;
}

std::optional<Fragment> notesOf(std::u32string text, std::string* error) {
    for (char32_t& c : text)
        c = plain(c);
    return JianpuReader(std::move(text)).read(error);
}

}  // namespace

std::string toJianpuText(const Fragment& fragment) {
    std::string out = notesText(fragment);
    std::string words = verseLines(fragment);
    if (!words.empty()) {
        words.pop_back();
        out += '\n';
        out += words;
    }
    return out;
}

std::optional<Fragment> fromJianpuText(std::string_view text, std::string* error) {
    std::u32string decoded;
    if (!decodeUtf8(text, decoded)) {
        fail(error, "the text is not UTF-8");
        return std::nullopt;
    }
    const std::vector<VerseLine> verses = takeVerseLines(decoded);
    std::optional<Fragment> fragment = notesOf(std::move(decoded), error);
    if (!fragment || !readVerseLines(verses, *fragment, error))
        return std::nullopt;
    return fragment;
}

std::string toFragmentText(const Fragment& fragment) {
    std::string body = notesText(fragment);
    body += '\n';
    for (const Fragment::Shape& s : fragment.shapes) {
        body += s.arc ? "tie " : "bracket ";
        body += std::to_string(s.from);
        body += ' ';
        body += std::to_string(s.to);
        if (!s.arc) {
            body += ' ';
            body += utf8Of(s.label);
        }
        body += '\n';
    }
    // The lowest version that holds what the fragment carries, so that an older editor reads
    // what it can.
    int version = fragment.syllables.empty() ? 1 : kWordsVersion;
    body += extraLines(fragment, version);
    for (const Fragment::Syllable& syllable : fragment.syllables)
        body += lyricLine(syllable);
    return std::string(kFormName) + std::to_string(version) + '\n' + body;
}

namespace {

// One "tie FROM TO" or "bracket FROM TO LABEL" line, what follows its first word.
bool readShape(bool arc, std::string_view rest, Fragment& fragment, std::string* error) {
    const auto count = static_cast<long long>(fragment.items.size());
    long long numbers[2] = {-1, -1};
    for (long long& n : numbers) {
        const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), n);
        if (ec != std::errc() || n < 0 || n >= count) {
            fail(error, "a tie or bracket names no note of the fragment");
            return false;
        }
        rest.remove_prefix(static_cast<std::size_t>(ptr - rest.data()));
        if (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
    }
    Fragment::Shape shape;
    shape.arc = arc;
    shape.from = static_cast<int>(numbers[0]);
    shape.to = static_cast<int>(numbers[1]);
    const Item& a = fragment.items[static_cast<std::size_t>(shape.from)];
    const Item& b = fragment.items[static_cast<std::size_t>(shape.to)];
    const bool ends = arc ? !a.isBarLine() && !b.isBarLine() : a.isBarLine() && b.isBarLine();
    if (!ends || shape.from > shape.to || (arc && shape.from == shape.to)) {
        fail(error, arc ? "a tie that joins no two notes" : "a bracket over no measures");
        return false;
    }
    if (!arc) {
        std::u32string label;
        if (!decodeUtf8(rest, label) || label.size() > 256) {
            fail(error, "a bracket label that is not text");
            return false;
        }
        shape.label = utf16Of(label);
    }
    fragment.shapes.push_back(std::move(shape));
    return true;
}

// The version the first line names; 0 for a line that names none.
int versionOf(std::string_view firstLine) {
    if (firstLine.substr(0, kFormName.size()) != kFormName)
        return 0;
    const std::string_view number = firstLine.substr(kFormName.size());
    int version = 0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), version);
    return ec == std::errc() && ptr == number.data() + number.size() && version > 0 ? version : 0;
}

// A line after the notes.
bool readLine(std::string_view line, int version, Fragment& fragment, std::string* error) {
    if (line.empty())
        return true;
    if (const std::optional<bool> sound = readExtraLine(line, version, fragment, error))
        return *sound;
    if (line.rfind("tie ", 0) == 0)
        return readShape(true, line.substr(4), fragment, error);
    if (line.rfind("bracket ", 0) == 0)
        return readShape(false, line.substr(8), fragment, error);
    if (version >= kWordsVersion && line.rfind("lyric ", 0) == 0)
        return readLyricLine(line.substr(6), fragment, error);
    fail(error, "an unknown line in the fragment");
    return false;
}

}  // namespace

std::optional<Fragment> fromFragmentText(std::string_view text, std::string* error) {
    const auto lineEnd = [&](std::size_t from) {
        const std::size_t end = text.find('\n', from);
        return end == std::string_view::npos ? text.size() : end;
    };
    // A line break turned into CR LF on its way through the clipboard is still a line break.
    const auto line = [&](std::size_t from, std::size_t end) {
        std::string_view l = text.substr(from, end - from);
        if (!l.empty() && l.back() == '\r')
            l.remove_suffix(1);
        return l;
    };
    std::size_t end = lineEnd(0);
    const int version = versionOf(line(0, end));
    if (version == 0) {
        fail(error, "not a score fragment of this editor");
        return std::nullopt;
    }
    if (version > kNoteWordsVersion) {
        fail(error, "a score fragment of a newer version of this editor");
        return std::nullopt;
    }
    if (end >= text.size()) {
        fail(error, "the fragment has no notes");
        return std::nullopt;
    }
    std::size_t start = end + 1;
    end = lineEnd(start);
    std::u32string notes;
    if (!decodeUtf8(line(start, end), notes)) {
        fail(error, "the text is not UTF-8");
        return std::nullopt;
    }
    std::optional<Fragment> fragment = notesOf(std::move(notes), error);
    if (!fragment)
        return std::nullopt;
    for (start = end + 1; start < text.size(); start = end + 1) {
        end = lineEnd(start);
        if (!readLine(line(start, end), version, *fragment, error))
            return std::nullopt;
    }
    return fragment;
}

}  // namespace qe
