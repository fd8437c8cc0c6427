#include "musicxml/random_score.h"

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "music/item.h"
#include "music/note_value.h"

namespace qe::test {

namespace {

using music::Item;
using music::NoteValue;

const char16_t* const kWords[] = {u"茉莉花",    u"Moon River", u"江苏民歌",    u"作曲：张三",
                                  u"a & b <c>", u"\"quoted\"", u"中速 优美地", u"x"};
const char16_t* const kSyllables[] = {u"好", u"一", u"朵-", u"la", u"lu-", u"-", u"", u"花"};

class Generator {
public:
    Generator(std::uint32_t seed, bool repeats) : random_(seed), repeats_(repeats) {}

    QeDocument score();

private:
    int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return pick(100) < percent; }
    std::u16string words() { return chance(30) ? u"" : kWords[pick(8)]; }
    void track(QeDocument& doc, int index);
    NoteValue noteValue();
    NoteValue restValue();

    std::mt19937 random_;
    bool repeats_;
    std::vector<std::set<std::pair<int, int>>> arcs_;
    std::vector<std::vector<std::pair<int, int>>> brackets_;
    std::vector<std::vector<lyrics>> verses_;
};

NoteValue Generator::noteValue() {
    static const int kQuarters[] = {2, 3, 4, 6, 7, 8};
    if (chance(15))
        return NoteValue{0, 0, kQuarters[pick(6)] - 1};
    const int underlines = pick(5);
    return NoteValue{underlines, chance(25) ? 1 + pick(2) : 0, 0};
}

NoteValue Generator::restValue() {
    const int underlines = pick(4);
    return NoteValue{underlines, underlines > 0 && chance(20) ? 1 : 0, 0};
}

void Generator::track(QeDocument& doc, int index) {
    std::vector<note>& records = doc.noteTracks().emplace_back().content.items;
    const auto add = [&records](const Item& item) {
        records.push_back(music::encode(item));
        return static_cast<int>(records.size()) - 1;
    };
    std::vector<int> heads;  // the digit or rest of every note, in order
    int bracketStart = -1;
    int lastBar = -1;
    const int measures = 1 + pick(10);
    for (int m = 0; m < measures; ++m) {
        const int elements = chance(8) ? 0 : 1 + pick(6);
        const int firstHere = static_cast<int>(heads.size());
        for (int e = 0; e < elements; ++e) {
            if (chance(25)) {
                const std::vector<Item> items = restValue().items(Item::rest());
                heads.push_back(add(items[0]));
                for (std::size_t i = 1; i < items.size(); ++i)
                    add(items[i]);
                continue;
            }
            const bool parens = chance(8);
            if (parens)
                add(Item::mark(Item::Kind::OpenParen));
            const int accidental = chance(70) ? 0 : pick(6);
            const Item digit = Item::digit(1 + pick(7), pick(5) - 2, 0, accidental);
            const std::vector<Item> items = noteValue().items(digit);
            heads.push_back(add(items[0]));
            for (std::size_t i = 1; i < items.size(); ++i)
                add(items[i]);
            if (parens)
                add(Item::mark(Item::Kind::CloseParen));
            if (chance(8))
                add(Item::mark(Item::Kind::Breath));
        }
        static const int kPlainBars[] = {0, 1, 2, 5, 6, 7};
        const int bar = add(Item::barLine(repeats_ ? pick(8) : kPlainBars[pick(6)]));
        // Brackets lie over measures with notes, one after another.
        const bool filled = static_cast<int>(heads.size()) > firstHere;
        if (bracketStart < 0 && filled && repeats_ && chance(15))
            bracketStart = bar;
        if (bracketStart >= 0 && (!filled || chance(50) || m + 1 == measures)) {
            brackets_[static_cast<std::size_t>(index)].emplace_back(bracketStart,
                                                                    filled ? bar : lastBar);
            bracketStart = -1;
        }
        if (filled)
            lastBar = bar;
    }
    // Arcs between notes, at most a few open at once.
    const int notes = static_cast<int>(heads.size());
    for (int n = 0; n + 1 < notes; ++n) {
        if (chance(15))
            arcs_[static_cast<std::size_t>(index)].emplace(heads[static_cast<std::size_t>(n)],
                                                           heads[static_cast<std::size_t>(n + 1)]);
        else if (chance(8) && n + 3 < notes)
            arcs_[static_cast<std::size_t>(index)].emplace(
                heads[static_cast<std::size_t>(n)],
                heads[static_cast<std::size_t>(n + 1 + pick(3))]);
    }
    for (int n = 0; n < notes; ++n) {
        for (int verse = 0; verse < 2; ++verse) {
            if (!chance(verse == 0 ? 40 : 15))
                continue;
            lyrics syllable;
            syllable.text = kSyllables[pick(8)];
            syllable.place =
                location(1, index, static_cast<std::int16_t>(heads[static_cast<std::size_t>(n)]));
            if (verses_.size() <= static_cast<std::size_t>(verse))
                verses_.resize(static_cast<std::size_t>(verse) + 1);
            verses_[static_cast<std::size_t>(verse)].push_back(syllable);
        }
    }
}

QeDocument Generator::score() {
    QeDocument doc;
    doc_header& h = doc.header;
    h.title = words();
    h.subtitle = words();
    h.author1 = words();
    h.author2 = words();
    h.author3 = words();
    h.comment1 = words();
    h.comment2 = words();
    h.keyLetter = static_cast<std::uint8_t>(pick(7));
    h.keyAccidental = static_cast<std::uint8_t>(pick(3));
    static const int kDenominators[] = {2, 4, 8, 16};
    h.timeNumerator = static_cast<std::uint8_t>(2 + pick(15));
    h.timeDenominator = static_cast<std::uint8_t>(kDenominators[pick(4)]);
    const int tracks = 1 + pick(3);
    arcs_.assign(static_cast<std::size_t>(tracks), {});
    brackets_.assign(static_cast<std::size_t>(tracks), {});
    for (int t = 0; t < tracks; ++t)
        track(doc, t);
    // Arcs first, each track's in order, then the brackets, as an import writes them.
    auto& formats = doc.formatRecords();
    const auto add = [&formats](std::uint8_t type, int track, int from, int to) {
        Format& f = formats.emplace_back();
        f.type = type;
        f.from = location(1, track, static_cast<std::int16_t>(from));
        f.to = location(1, track, static_cast<std::int16_t>(to));
    };
    for (int t = 0; t < tracks; ++t)
        for (const auto& [from, to] : arcs_[static_cast<std::size_t>(t)])
            add(Format::kArc, t, from, to);
    for (int t = 0; t < tracks; ++t)
        for (const auto& [from, to] : brackets_[static_cast<std::size_t>(t)])
            add(Format::kVolta, t, from, to);
    for (std::vector<lyrics>& verse : verses_) {
        std::stable_sort(verse.begin(), verse.end(), [](const lyrics& a, const lyrics& b) {
            return a.place.trackIndex < b.place.trackIndex;
        });
        doc.content.lyrics.items.emplace_back().content.items = std::move(verse);
    }
    return doc;
}

}  // namespace

QeDocument randomScore(std::uint32_t seed, bool repeats) {
    return Generator(seed, repeats).score();
}

}  // namespace qe::test
