#include "edit/fragment.h"

#include "base/exception.h"

#include <charconv>
#include <sstream>

namespace qe {

using music::Item;

namespace {

constexpr std::string_view kFirstLine = "qanoredit-fragment 1";

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

// Decodes UTF-8 into code points; a malformed sequence is an error.
bool decodeUtf8(std::string_view text, std::u32string& out) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int extra = c < 0x80         ? 0
                          : (c >> 5) == 6  ? 1
                          : (c >> 4) == 14 ? 2
                          : (c >> 3) == 30 ? 3
                                           : -1;
        if (extra < 0 || text.size() - i <= static_cast<std::size_t>(extra))
            return false;
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        out.push_back(cp);
        i += 1 + static_cast<std::size_t>(extra);
    }
    return true;
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

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string utf8Of(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        appendUtf8(out, cp);
    }
    return out;
}

std::u16string utf16Of(const std::u32string& text) {
    std::u16string out;
    for (char32_t cp : text) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

}  // namespace

std::string toJianpuText(const Fragment& fragment) {
    std::string out;
    for (const Item& item : fragment.items) {
        if (!out.empty())
            out += ' ';
        out += itemText(item);
    }
    return out;
}

std::optional<Fragment> fromJianpuText(std::string_view text, std::string* error) {
    std::u32string decoded;
    if (!decodeUtf8(text, decoded)) {
        fail(error, "the text is not UTF-8");
        return std::nullopt;
    }
    for (char32_t& c : decoded)
        c = plain(c);
    return JianpuReader(std::move(decoded)).read(error);
}

std::string toFragmentText(const Fragment& fragment) {
    std::string out(kFirstLine);
    out += '\n';
    out += toJianpuText(fragment);
    out += '\n';
    for (const Fragment::Shape& s : fragment.shapes) {
        out += s.arc ? "tie " : "bracket ";
        out += std::to_string(s.from);
        out += ' ';
        out += std::to_string(s.to);
        if (!s.arc) {
            out += ' ';
            out += utf8Of(s.label);
        }
        out += '\n';
    }
    static constexpr char kHex[] = "0123456789abcdef";
    for (const auto& [item, extra] : fragment.extras) {
        out += "extra ";
        out += std::to_string(item);
        out += ' ';
        for (unsigned char b : extension::encodeNoteExtras({{0, 0, extra}})) {
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
        out += '\n';
    }
    return out;
}

namespace {

// One "extra ITEM HEX" line: the entry's bytes decoded as a file's would be, on a note of the
// fragment that can carry them, in item order.
bool readExtra(std::string_view rest, Fragment& fragment, std::string* error) {
    long long item = -1;
    const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), item);
    const auto count = static_cast<long long>(fragment.items.size());
    if (ec != std::errc() || item < 0 || item >= count ||
        (!fragment.extras.empty() && item <= fragment.extras.back().first)) {
        fail(error, "extras that name no note of the fragment");
        return false;
    }
    rest.remove_prefix(static_cast<std::size_t>(ptr - rest.data()));
    if (rest.empty() || rest.front() != ' ' || rest.size() % 2 != 1) {
        fail(error, "damaged extras");
        return false;
    }
    rest.remove_prefix(1);
    std::vector<unsigned char> bytes;
    const auto nibble = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    };
    for (std::size_t i = 0; i + 1 < rest.size(); i += 2) {
        const int hi = nibble(rest[i]);
        const int lo = nibble(rest[i + 1]);
        if (hi < 0 || lo < 0) {
            fail(error, "damaged extras");
            return false;
        }
        bytes.push_back(static_cast<unsigned char>(hi * 16 + lo));
    }
    std::vector<PlacedNoteExtra> decoded;
    try {
        decoded = extension::decodeNoteExtras(bytes);
    } catch (const Exception&) {
        fail(error, "damaged extras");
        return false;
    }
    const Item& on = fragment.items[static_cast<std::size_t>(item)];
    if (decoded.size() != 1 || decoded[0].track != 0 || decoded[0].record != 0 ||
        !on.isNoteOrRest() ||
        (!on.isDigit() && (!decoded[0].extra.tones.empty() || !decoded[0].extra.graces.empty()))) {
        fail(error, "extras on something that cannot carry them");
        return false;
    }
    fragment.extras.emplace_back(static_cast<int>(item), std::move(decoded[0].extra));
    return true;
}

}  // namespace

std::optional<Fragment> fromFragmentText(std::string_view text, std::string* error) {
    const auto lineEnd = [&](std::size_t from) {
        const std::size_t end = text.find('\n', from);
        return end == std::string_view::npos ? text.size() : end;
    };
    std::size_t end = lineEnd(0);
    if (text.substr(0, end) != kFirstLine) {
        fail(error, "not a score fragment of this editor");
        return std::nullopt;
    }
    if (end >= text.size()) {
        fail(error, "the fragment has no notes");
        return std::nullopt;
    }
    std::size_t start = end + 1;
    end = lineEnd(start);
    std::optional<Fragment> fragment = fromJianpuText(text.substr(start, end - start), error);
    if (!fragment)
        return std::nullopt;
    const auto count = static_cast<long long>(fragment->items.size());
    for (start = end + 1; start < text.size(); start = end + 1) {
        end = lineEnd(start);
        const std::string_view line = text.substr(start, end - start);
        if (line.empty())
            continue;
        if (line.rfind("extra ", 0) == 0) {
            if (!readExtra(line.substr(6), *fragment, error))
                return std::nullopt;
            continue;
        }
        const bool arc = line.rfind("tie ", 0) == 0;
        if (!arc && line.rfind("bracket ", 0) != 0) {
            fail(error, "an unknown line in the fragment");
            return std::nullopt;
        }
        std::string_view rest = line.substr(arc ? 4 : 8);
        long long numbers[2] = {-1, -1};
        for (long long& n : numbers) {
            const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), n);
            if (ec != std::errc() || n < 0 || n >= count) {
                fail(error, "a tie or bracket names no note of the fragment");
                return std::nullopt;
            }
            rest.remove_prefix(static_cast<std::size_t>(ptr - rest.data()));
            if (!rest.empty() && rest.front() == ' ')
                rest.remove_prefix(1);
        }
        Fragment::Shape shape;
        shape.arc = arc;
        shape.from = static_cast<int>(numbers[0]);
        shape.to = static_cast<int>(numbers[1]);
        const Item& a = fragment->items[static_cast<std::size_t>(shape.from)];
        const Item& b = fragment->items[static_cast<std::size_t>(shape.to)];
        const bool ends = arc ? !a.isBarLine() && !b.isBarLine() : a.isBarLine() && b.isBarLine();
        if (!ends || shape.from > shape.to || (arc && shape.from == shape.to)) {
            fail(error, arc ? "a tie that joins no two notes" : "a bracket over no measures");
            return std::nullopt;
        }
        if (!arc) {
            std::u32string label;
            if (!decodeUtf8(rest, label) || label.size() > 256) {
                fail(error, "a bracket label that is not text");
                return std::nullopt;
            }
            shape.label = utf16Of(label);
        }
        fragment->shapes.push_back(std::move(shape));
    }
    return fragment;
}

}  // namespace qe
