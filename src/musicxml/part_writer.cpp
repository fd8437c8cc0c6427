#include "musicxml/part_writer.h"

#include "music/note_marks.h"


#include "music/attributes.h"
#include "music/chord_symbol.h"

#include <algorithm>
#include <array>
#include <set>
#include <span>

#include "musicxml/xml_writer.h"

namespace qe::musicxml {

using music::Item;
using music::Ticks;

namespace {

constexpr Ticks kShortest = music::kShortestTicks;

// MusicXML note types from the longest, with their lengths in ticks.
struct NoteType {
    const char* name;
    Ticks ticks;
};
constexpr std::array<NoteType, 11> kTypes = {{{"breve", 8 * 1920},
                                              {"whole", 4 * 1920},
                                              {"half", 2 * 1920},
                                              {"quarter", 1920},
                                              {"eighth", 960},
                                              {"16th", 480},
                                              {"32nd", 240},
                                              {"64th", 120},
                                              {"128th", 60},
                                              {"256th", 30},
                                              {"512th", 15}}};

struct TypedValue {
    const char* type;
    int dots;
    Ticks ticks;
};

// A length as typed notes to be tied, longest first; each with up to two dots. They replace
// what `out` held, so that one vector serves every piece of a part.
void typedValues(Ticks length, std::vector<TypedValue>& out) {
    out.clear();
    while (length >= kShortest) {
        // The longest type that fits, with the dots that still fit: each type is half the one
        // before, so no shorter type, even dotted twice, is as long.
        const NoteType& type = *std::find_if(kTypes.begin(), kTypes.end(),
                                             [&](const NoteType& t) { return t.ticks <= length; });
        TypedValue best{type.name, 0, type.ticks};
        for (Ticks dot = type.ticks / 2;
             best.dots < 2 && dot % kShortest == 0 && best.ticks + dot <= length; dot /= 2) {
            best.ticks += dot;
            ++best.dots;
        }
        out.push_back(best);
        length -= best.ticks;
    }
}

// The sign of an accidental for the pitch's alteration; null for none.
const char* accidentalSign(int alter) {
    switch (alter) {
        case -3:
            return "triple-flat";
        case -2:
            return "flat-flat";
        case -1:
            return "flat";
        case 0:
            return "natural";
        case 1:
            return "sharp";
        case 2:
            return "double-sharp";
        case 3:
            return "triple-sharp";
        default:
            return nullptr;
    }
}

}  // namespace

// A syllable as written under the note `note` of the walk: its text is a view into the part's
// source, which outlives the writing of the part.
struct PartWriter::Syllable {
    std::size_t note = 0;
    int verse = 1;
    const char* syllabic = "single";
    QStringView text;
};

struct PartWriter::XmlNote {
    bool rest = true;
    music::Pitch pitch;
    TypedValue value{"quarter", 0, 1920};
    bool tieStart = false;
    bool tieStop = false;
    const char* accidental = nullptr;  // the sign written on it
    bool parentheses = false;
    std::vector<int> slurStops;
    std::vector<int> slurStarts;
    bool breath = false;
    std::span<const Syllable> syllables;  // in the part writer's list of them
    Ticks duration = -1;  // the time it takes, when not that of its value (in a tuplet)
    std::vector<music::Pitch> chord;  // the other tones of its chord
    std::vector<std::pair<music::Pitch, int>> gracesBefore;  // pitch and underlines
    std::vector<std::pair<music::Pitch, int>> gracesAfter;
    std::uint32_t articulations = 0;
    std::u16string harmony;  // the chord symbol over it
    TupletMark tuplet;  // its time modification: the tuplet's levels multiplied
    // The tuplet and the one nested in it, with `starts` on the first note of a group; the
    // groups, to find each group's last note, which stops its bracket.
    std::array<TupletMark, 2> levels{};
    std::array<int, 2> groups{-1, -1};
    std::array<bool, 2> stops{};
};

PartWriter::PartWriter(XmlWriter& xml, const music::Key& key, const doc_header& header,
                       ConversionReport& report)
    : xml_(xml), key_(key), header_(header), report_(report) {}

PartWriter::~PartWriter() = default;

void PartWriter::plan(const PartSource& source) {
    const music::TrackWalk& walk = *source.walk;
    const auto& items = walk.items;
    const auto& notes = walk.notes;
    const std::size_t noteCount = notes.size();
    const auto itemAt = [&](int index) -> const music::WalkItem* {
        return index >= 0 && static_cast<std::size_t>(index) < items.size()
                   ? &items[static_cast<std::size_t>(index)]
                   : nullptr;
    };

    // Parentheses around exactly one note are that note's; any others have no MusicXML form.
    std::vector<bool> parens(noteCount), breath(noteCount), tieToNext(noteCount);
    std::set<int> usedParens;
    for (std::size_t n = 0; n < noteCount; ++n) {
        const music::WalkItem* open = itemAt(notes[n].item - 1);
        const music::WalkItem* close = itemAt(notes[n].items.back() + 1);
        if (open && close && open->item.kind == Item::Kind::OpenParen &&
            close->item.kind == Item::Kind::CloseParen) {
            parens[n] = true;
            usedParens.insert(notes[n].item - 1);
            usedParens.insert(notes[n].items.back() + 1);
        }
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i].item;
        if ((item.kind == Item::Kind::OpenParen || item.kind == Item::Kind::CloseParen) &&
            !usedParens.count(static_cast<int>(i)))
            dropped(QStringLiteral("parentheses not around one note dropped"), items[i].measure);
        if (item.kind != Item::Kind::Breath)
            continue;
        // A breath mark is taken after the note before it.
        int j = static_cast<int>(i) - 1;
        while (j >= 0 && items[static_cast<std::size_t>(j)].note < 0)
            --j;
        if (j < 0)
            dropped(QStringLiteral("breath marks before the first note dropped"), items[i].measure);
        else
            breath[static_cast<std::size_t>(items[static_cast<std::size_t>(j)].note)] = true;
    }

    // Arcs between neighbouring notes of one pitch are ties; every other arc is a slur.
    std::vector<std::pair<int, int>> slurs;
    for (const auto& [from, to] : source.arcs) {
        const int a = music::noteReached(walk, from, true);
        const int b = music::noteReached(walk, to, false);
        if (a < 0 || b <= a) {
            const music::WalkItem* at = itemAt(from);
            dropped(QStringLiteral("arcs that join no two notes dropped"), at ? at->measure : 0);
            continue;
        }
        const auto& na = notes[static_cast<std::size_t>(a)];
        const auto& nb = notes[static_cast<std::size_t>(b)];
        if (b == a + 1 && na.pitch && nb.pitch && na.pitch->midi() == nb.pitch->midi())
            tieToNext[static_cast<std::size_t>(a)] = true;
        else
            slurs.emplace_back(a, b);
    }
    std::vector<std::vector<int>> slursFrom(noteCount), slursTo(noteCount);
    for (std::size_t s = 0; s < slurs.size(); ++s) {
        slursFrom[static_cast<std::size_t>(slurs[s].first)].push_back(static_cast<int>(s));
        slursTo[static_cast<std::size_t>(slurs[s].second)].push_back(static_cast<int>(s));
    }

    // Syllables go under the note whose digit or rest they name; a word that goes on is
    // written with a hyphen after its syllable. They come by item, so by note.
    syllables_.clear();
    std::map<int, bool> wordOpen;  // verse → the last syllable's word goes on
    for (const PlacedSyllable& placed : source.syllables) {
        const music::WalkItem* at = itemAt(placed.item);
        if (!at || at->note < 0 || notes[static_cast<std::size_t>(at->note)].item != placed.item) {
            dropped(QStringLiteral("syllables not under a note or rest dropped"),
                    at ? at->measure : 0);
            continue;
        }
        const QString& text = placed.text;
        const bool goesOn = text.size() >= 2 && text.endsWith(QLatin1Char('-'));
        bool& open = wordOpen[placed.verse];
        Syllable& s = syllables_.emplace_back();
        s.note = static_cast<std::size_t>(at->note);
        s.verse = placed.verse;
        s.text = goesOn ? QStringView(text).chopped(1) : QStringView(text);
        s.syllabic = goesOn ? (open ? "middle" : "begin") : (open ? "end" : "single");
        open = goesOn;
    }
    // (Plain iterators and pointers: the fuzzers' clang does not take the ranges form.)
    const auto syllablesOf = [this](std::size_t note) {
        const auto first = std::lower_bound(
            syllables_.begin(), syllables_.end(), note,
            [](const Syllable& s, std::size_t n) { return s.note < n; });
        const auto last = std::upper_bound(
            first, syllables_.end(), note, [](std::size_t n, const Syllable& s) { return n < s.note; });
        return std::span<const Syllable>(syllables_.data() + (first - syllables_.begin()),
                                         static_cast<std::size_t>(last - first));
    };

    // The notes of each measure: a note's digit, dashes and dots make one piece in each
    // measure they reach; every piece is written as one note or as tied notes.
    const std::size_t measureCount = walk.measures.size();
    notes_.clear();
    notes_.reserve(items.size());
    measureStarts_.assign(1, 0);
    std::vector<int> slurNumber(slurs.size(), 0);
    std::array<bool, 17> busy{};
    std::vector<int> xmlCount(noteCount, 0);  // notes written for each note so far
    std::vector<Ticks> remaining(noteCount);
    std::vector<TypedValue> values;  // of the piece being planned
    for (std::size_t n = 0; n < noteCount; ++n)
        remaining[n] = notes[n].length;
    int orphans = 0;
    std::array<int, 2> tupletGroup{-1, -1};  // the groups being written, numbered from 0
    int tupletCount = -1;
    std::array<TupletMark, 2> lastLevels{};
    int lastTupletMeasure = -1;
    for (std::size_t m = 0; m < measureCount; ++m) {
        const music::MeasureSpan& span = walk.measures[m];
        for (int i = span.firstItem; i < span.endItem;) {
            const music::WalkItem& w = items[static_cast<std::size_t>(i)];
            if (w.item.isBarLine() || w.length == 0) {
                ++i;
                continue;
            }
            // A piece: this item and the dashes and dots after it that belong to its note.
            Ticks length = 0;
            int j = i;
            for (; j < span.endItem; ++j) {
                const music::WalkItem& x = items[static_cast<std::size_t>(j)];
                if (x.item.isBarLine() || x.note != w.note || (j > i && x.item.isNoteOrRest()))
                    break;
                length += x.length;
            }
            i = j;
            if (length == 0)
                continue;
            if (w.note < 0) {
                ++orphans;
                typedValues(length, values);
                for (const TypedValue& value : values) {
                    XmlNote& x = notes_.emplace_back();
                    x.value = value;
                }
                continue;
            }
            const auto n = static_cast<std::size_t>(w.note);
            const music::SoundingNote& sounding = notes[n];
            const Item& head = items[static_cast<std::size_t>(sounding.item)].item;
            bool rest = !sounding.pitch;
            if (sounding.pitch && (sounding.pitch->octave < 0 || sounding.pitch->octave > 9)) {
                dropped(QStringLiteral("notes beyond the range of MusicXML written as rests"),
                        static_cast<int>(m));
                rest = true;
            }
            remaining[n] -= length;
            const NoteExtra* extra = nullptr;
            if (const int e = items[static_cast<std::size_t>(sounding.item)].extra; e >= 0)
                extra = &walk.extras[static_cast<std::size_t>(e)];
            // A tuplet note is written with the value it shows, and the time it takes (its
            // time modification, both levels of a nested tuplet multiplied); each level's group
            // gets a bracket of its own.
            TupletMark tuplet;
            std::array<TupletMark, 2> levels{};
            Ticks shownLength = length;
            if (extra && extra->tuplets[0].active()) {
                int actual = extra->tuplets[0].actual;
                int normal = extra->tuplets[0].normal;
                if (extra->tuplets[1].active()) {
                    actual *= extra->tuplets[1].actual;
                    normal *= extra->tuplets[1].normal;
                }
                // Times inside a group are rounded to the tick: the value shown is the
                // nearest one a digit can have.
                const Ticks exact = (length * actual + normal / 2) / normal;
                const Ticks shown = (exact + kShortest / 2) / kShortest * kShortest;
                if (actual <= 255 && normal <= 255 && shown > 0) {
                    tuplet = TupletMark{static_cast<std::uint8_t>(actual),
                                        static_cast<std::uint8_t>(normal), false};
                    shownLength = shown;
                    const bool firstPiece = xmlCount[n] == 0;
                    for (std::size_t l = 0; l < 2; ++l) {
                        const TupletMark& mark = extra->tuplets[l];
                        if (!mark.active())
                            continue;
                        levels[l] = TupletMark{mark.actual, mark.normal, false};
                        const bool sameGroup =
                            tupletGroup[l] >= 0 && !(firstPiece && mark.starts) &&
                            lastLevels[l].actual == mark.actual &&
                            lastLevels[l].normal == mark.normal &&
                            lastTupletMeasure == static_cast<int>(m);
                        if (!sameGroup) {
                            tupletGroup[l] = ++tupletCount;
                            levels[l].starts = true;
                        }
                    }
                }
            }
            for (std::size_t l = 0; l < 2; ++l)
                if (!levels[l].active())
                    tupletGroup[l] = -1;
            lastLevels = levels;
            lastTupletMeasure = static_cast<int>(m);
            typedValues(shownLength, values);
            Ticks left = length;
            for (std::size_t v = 0; v < values.size(); ++v) {
                XmlNote x;
                x.rest = rest;
                x.pitch = sounding.pitch.value_or(music::Pitch{});
                x.value = values[v];
                if (tuplet.active()) {
                    x.tuplet = tuplet;
                    for (std::size_t l = 0; l < 2; ++l) {
                        x.levels[l] = levels[l];
                        x.levels[l].starts = levels[l].starts && v == 0;
                        x.groups[l] = tupletGroup[l];
                    }
                    x.duration = v + 1 == values.size()
                                     ? left
                                     : values[v].ticks * tuplet.normal / tuplet.actual;
                    left -= x.duration;
                }
                if (!rest)
                    x.chord = sounding.chord;
                const bool firstOfNote = xmlCount[n]++ == 0;
                const bool lastOfNote = v + 1 == values.size() && remaining[n] == 0;
                if (!rest) {
                    x.tieStop = !firstOfNote || (n > 0 && tieToNext[n - 1]);
                    x.tieStart = !lastOfNote || tieToNext[n];
                }
                if (firstOfNote && extra) {
                    x.articulations = extra->articulations;
                    x.harmony = extra->chordSymbol;
                    std::size_t g = 0;
                    for (const music::GraceSound& grace : sounding.graces) {
                        const int underlines =
                            g < extra->graces.size() ? extra->graces[g].underlines : 1;
                        ++g;
                        if (!grace.after)
                            x.gracesBefore.emplace_back(grace.pitch, underlines);
                    }
                }
                if (lastOfNote && extra) {
                    std::size_t g = 0;
                    for (const music::GraceSound& grace : sounding.graces) {
                        const int underlines =
                            g < extra->graces.size() ? extra->graces[g].underlines : 1;
                        ++g;
                        if (grace.after)
                            x.gracesAfter.emplace_back(grace.pitch, underlines);
                    }
                }
                if (firstOfNote) {
                    if (!rest && head.accidental >= 1 && head.accidental <= 5)
                        x.accidental = accidentalSign(sounding.pitch->alter);
                    else if (head.accidental != 0)
                        dropped(QStringLiteral("accidentals on rests or without a meaning dropped"),
                                static_cast<int>(m));
                    x.parentheses = parens[n];
                    x.syllables = syllablesOf(n);
                    for (int s : slursFrom[n]) {
                        const auto free = std::find(busy.begin() + 1, busy.end(), false);
                        if (free == busy.end()) {
                            dropped(QStringLiteral("slurs beyond 16 at once dropped"),
                                    static_cast<int>(m));
                            slurNumber[static_cast<std::size_t>(s)] = -1;
                            continue;
                        }
                        *free = true;
                        slurNumber[static_cast<std::size_t>(s)] =
                            static_cast<int>(free - busy.begin());
                        x.slurStarts.push_back(slurNumber[static_cast<std::size_t>(s)]);
                    }
                }
                if (lastOfNote) {
                    x.breath = breath[n];
                    for (int s : slursTo[n]) {
                        const int number = slurNumber[static_cast<std::size_t>(s)];
                        if (number > 0) {
                            x.slurStops.push_back(number);
                            busy[static_cast<std::size_t>(number)] = false;
                        }
                    }
                }
                notes_.push_back(std::move(x));
            }
        }
        measureStarts_.push_back(notes_.size());
    }
    if (orphans)
        report_.add(QStringLiteral("dashes and dots after no note written as rests"), QString(),
                    orphans);
    // The last note of each tuplet group ends its bracket.
    for (std::size_t k = 0; k < notes_.size(); ++k)
        for (std::size_t l = 0; l < 2; ++l)
            notes_[k].stops[l] = notes_[k].groups[l] >= 0 &&
                                 (k + 1 == notes_.size() || notes_[k + 1].groups[l] != notes_[k].groups[l]);
    unit_ = std::any_of(notes_.begin(), notes_.end(),
                        [](const XmlNote& x) { return x.tuplet.active(); })
                ? 1
                : kShortest;

    // A begin repeat closing a measure opens the next one; an empty measure that only holds
    // it is no measure of its own.
    skipped_.assign(measureCount, false);
    forward_.assign(measureCount, false);
    for (std::size_t m = 0; m < measureCount; ++m) {
        const music::MeasureSpan& span = walk.measures[m];
        if (span.barType != 3 || m + 1 == measureCount)
            continue;
        forward_[m + 1] = true;
        const bool empty = span.endItem - span.firstItem == 1;
        skipped_[m] = empty && !forward_[m] && (m == 0 || walk.measures[m - 1].barType != 0);
    }

    // Volta brackets: from the measure its first bar line closes to the one its last closes,
    // numbered 1, 2, ... where they follow each other.
    std::map<int, int> stopNumber;
    struct Span {
        int first;
        int last;
        std::u16string label;
        bool operator<(const Span& other) const { return first < other.first; }
    };
    std::vector<Span> spans;
    for (std::size_t k = 0; k < source.brackets.size(); ++k) {
        const auto [from, to] = source.brackets[k];
        const music::WalkItem* a = itemAt(from);
        const music::WalkItem* b = itemAt(to);
        if (!a || !b || !a->item.isBarLine() || !b->item.isBarLine() || from > to) {
            dropped(QStringLiteral("volta brackets that name no measures dropped"),
                    a ? a->measure : 0);
            continue;
        }
        // Measures that are not written (empty ones that only begin a repeat) carry no ending.
        const auto skipped = [this](int m) { return skipped_[static_cast<std::size_t>(m)]; };
        int first = a->measure;
        int last = b->measure;
        while (first < last && skipped(first))
            ++first;
        while (last > first && skipped(last))
            --last;
        if (skipped(first)) {
            dropped(QStringLiteral("volta brackets over no written measure dropped"), first);
            continue;
        }
        spans.push_back(Span{first, last,
                             k < source.bracketLabels.size() ? source.bracketLabels[k]
                                                             : std::u16string()});
    }
    std::stable_sort(spans.begin(), spans.end());
    int lastEnd = -1;
    for (const auto& [first, last, label] : spans) {
        // One ending at a time: MusicXML endings do not overlap.
        if (first <= lastEnd) {
            dropped(QStringLiteral("volta brackets over a measure that has one dropped"), first);
            continue;
        }
        int before = first - 1;
        while (before >= 0 && skipped_[static_cast<std::size_t>(before)])
            --before;
        const auto previous = stopNumber.find(before);
        const int number = previous != stopNumber.end() ? previous->second + 1 : 1;
        // A label names its passes ("1.-3." plays passes 1, 2 and 3); others are numbered in
        // turn.
        // An unlabelled bracket shows "1" wherever it stands: so it is printed.
        Ending ending{QString::number(number),
                      label.empty() && number != 1 ? QStringLiteral("1")
                                                   : QString::fromStdU16String(label)};
        if (const std::uint32_t passes = music::passesOfLabel(label)) {
            QStringList numbers;
            int highest = number;
            for (int p = 1; p <= music::kMostPasses; ++p)
                if (passes & (1u << (p - 1))) {
                    numbers << QString::number(p);
                    highest = p;
                }
            ending.number = numbers.join(QStringLiteral(", "));
            stopNumber[last] = highest;
        } else {
            stopNumber[last] = number;
        }
        endingStarts_[first] = ending;
        endingStops_[last] = ending;
        lastEnd = last;
    }

    // Low tracks read better in the bass clef.
    long long sum = 0;
    long long pitched = 0;
    for (const music::SoundingNote& n : notes)
        if (n.pitch) {
            sum += n.pitch->midi();
            ++pitched;
        }
    bassClef_ = pitched > 0 && sum < 60 * pitched;
}

void PartWriter::write(const QString& id, const PartSource& source) {
    walk_ = source.walk;
    endingStarts_.clear();
    endingStops_.clear();
    plan(source);
    xml_.startElement("part");
    xml_.attribute("id", id);
    int number = 1;
    bool first = true;
    declared_ = header_.freeMeter ? 0 : music::Meter::of(header_).measureLength();
    for (std::size_t m = 0; m + 1 < measureStarts_.size(); ++m) {
        if (skipped_[m])
            continue;
        // A first measure shorter than the time signature is a pickup, numbered 0.
        const Ticks length = walk_->measures[m].length;
        if (first && length < declared_ && length > 0)
            number = 0;
        writeMeasure(m, number++, first, source);
        first = false;
    }
    xml_.endElement();
}

void PartWriter::writeAttributes() {
    xml_.startElement("attributes");
    xml_.textElement("divisions", music::kTicksPerQuarter / unit_);
    xml_.startElement("key");
    xml_.textElement("fifths", key_.fifths());
    xml_.textElement("mode", "major");
    xml_.endElement();
    const int beats = header_.timeNumerator;
    const int type = header_.timeDenominator;
    if (header_.freeMeter) {
        xml_.startElement("time");
        xml_.emptyElement("senza-misura");
        xml_.endElement();
    } else if (beats >= 1 && beats <= 99 && type >= 1 && type <= 64 && (type & (type - 1)) == 0) {
        xml_.startElement("time");
        xml_.textElement("beats", beats);
        xml_.textElement("beat-type", type);
        xml_.endElement();
    } else {
        report_.addOnce(QStringLiteral("a time signature MusicXML has no form for not written"));
    }
    xml_.startElement("clef");
    xml_.textElement("sign", bassClef_ ? "F" : "G");
    xml_.textElement("line", bassClef_ ? "4" : "2");
    xml_.endElement();
    xml_.endElement();
}

void PartWriter::writeChanges(const MeasureMark& mark) {
    const std::optional<music::Key> key = mark.keyChange ? music::keyOfMark(mark) : std::nullopt;
    if (!key && !mark.meterChange)
        return;
    xml_.startElement("attributes");
    if (key) {
        xml_.startElement("key");
        xml_.textElement("fifths", key->fifths());
        xml_.textElement("mode", "major");
        xml_.endElement();
    }
    if (mark.meterChange) {
        xml_.startElement("time");
        if (mark.numerator == 0) {
            xml_.emptyElement("senza-misura");
            declared_ = 0;
        } else {
            xml_.textElement("beats", mark.numerator);
            xml_.textElement("beat-type", mark.denominator);
            declared_ = music::Meter{mark.numerator, mark.denominator}.measureLength();
        }
        xml_.endElement();
    }
    xml_.endElement();
}

void PartWriter::writeSigns(std::uint32_t jumps) {
    for (const auto& [bit, name] :
         {std::pair{jump::kSegno, "segno"}, std::pair{jump::kCoda, "coda"}}) {
        if (!(jumps & bit))
            continue;
        xml_.startElement("direction");
        xml_.attribute("placement", "above");
        xml_.startElement("direction-type");
        xml_.emptyElement(name);
        xml_.endElement();
        xml_.emptyElement("sound");
        xml_.attribute(name, name);
        xml_.endElement();
    }
}

void PartWriter::writeJumps(std::uint32_t jumps) {
    const auto words = [&](const QString& text, const char* sound, const QString& value) {
        xml_.startElement("direction");
        xml_.attribute("placement", "above");
        xml_.startElement("direction-type");
        xml_.startElement("words");
        xml_.attribute("halign", "right");
        xml_.characters(text);
        xml_.endElement();
        xml_.endElement();
        xml_.emptyElement("sound");
        xml_.attribute(sound, value);
        xml_.endElement();
    };
    if (jumps & jump::kFine)
        words(QStringLiteral("Fine"), "fine", QStringLiteral("yes"));
    if (jumps & jump::kToCoda)
        words(QStringLiteral("To Coda"), "tocoda", QStringLiteral("coda"));
    if (jumps & (jump::kDaCapo | jump::kDalSegno)) {
        const bool segno = jumps & jump::kDalSegno;
        QString text = segno ? QStringLiteral("D.S.") : QStringLiteral("D.C.");
        if (jumps & jump::kAlFine)
            text += QStringLiteral(" al Fine");
        else if (jumps & jump::kAlCoda)
            text += QStringLiteral(" al Coda");
        words(text, segno ? "dalsegno" : "dacapo",
              segno ? QStringLiteral("segno") : QStringLiteral("yes"));
    }
}

void PartWriter::writeHiddenTime(Ticks length) {
    const Ticks whole = music::kWholeTicks;
    int type = header_.timeDenominator;
    if (type < 1 || type > 64 || (type & (type - 1)) != 0)
        type = 4;
    // Tuplets timed to the tick may leave a measure a few ticks off the shortest value: its
    // signature counts the nearest length a signature can name.
    length = std::max(kShortest, (length + kShortest / 2) / kShortest * kShortest);
    while (length * type % whole != 0)
        type *= 2;
    xml_.startElement("attributes");
    xml_.startElement("time");
    xml_.attribute("print-object", "no");
    xml_.textElement("beats", length * type / whole);
    xml_.textElement("beat-type", type);
    xml_.endElement();
    xml_.endElement();
    declared_ = length;
}

void PartWriter::writeTempo(const TempoMark& mark) {
    if (mark.empty())
        return;
    xml_.startElement("direction");
    xml_.attribute("placement", "above");
    if (mark.perMinute > 0) {
        xml_.startElement("direction-type");
        xml_.startElement("metronome");
        xml_.textElement("beat-unit", mark.beatUnit == 2   ? "half"
                                      : mark.beatUnit == 8 ? "eighth"
                                                           : "quarter");
        if (mark.dotted)
            xml_.emptyElement("beat-unit-dot");
        xml_.textElement("per-minute", QString::number(mark.perMinute));
        xml_.endElement();
        xml_.endElement();
    }
    if (!mark.text.empty()) {
        xml_.startElement("direction-type");
        xml_.textElement("words", QString::fromStdU16String(mark.text));
        xml_.endElement();
    }
    if (mark.quartersPerMinute() > 0) {
        xml_.startElement("sound");
        xml_.attribute("tempo", mark.quartersPerMinute());
        xml_.endElement();
    }
    xml_.endElement();
}

void PartWriter::writeMeasure(std::size_t m, int number, bool first, const PartSource& source) {
    const music::MeasureSpan& span = walk_->measures[m];
    const int index = static_cast<int>(m);
    xml_.characters("\n");
    xml_.startElement("measure");
    xml_.attribute("number", number);
    if (number == 0)
        xml_.attribute("implicit", "yes");
    if (first && header_.measureNumbers && source.carriesMarks) {
        xml_.startElement("print");
        xml_.textElement("measure-numbering", "system");
        xml_.endElement();
    }
    if (first) {
        writeAttributes();
        writeTempo(source.tempo);
        if (!source.words.isEmpty()) {
            xml_.startElement("direction");
            xml_.attribute("placement", "above");
            xml_.startElement("direction-type");
            xml_.textElement("words", source.words);
            xml_.endElement();
            xml_.endElement();
        }
    }
    const MeasureMark* mark = header_.markAt(index);
    if (mark)
        writeChanges(*mark);
    if (mark && source.carriesMarks) {
        writeSigns(mark->jumps);
        writeTempo(mark->tempo);
    }
    // Jianpu measures may be longer or shorter than the time signature; such a measure gets a
    // hidden time signature of its own length, so that every reader counts it as written.
    if (number != 0 && span.length > 0 && span.length != declared_)
        writeHiddenTime(span.length);
    const auto starts = endingStarts_.find(index);
    if (forward_[m] || starts != endingStarts_.end()) {
        xml_.startElement("barline");
        xml_.attribute("location", "left");
        if (forward_[m])
            xml_.textElement("bar-style", "heavy-light");
        if (starts != endingStarts_.end()) {
            if (starts->second.text.isEmpty()) {
                xml_.emptyElement("ending");
            } else {
                xml_.startElement("ending");
            }
            xml_.attribute("number", starts->second.number);
            xml_.attribute("type", "start");
            if (!starts->second.text.isEmpty()) {
                xml_.characters(starts->second.text);
                xml_.endElement();
            }
        }
        if (forward_[m]) {
            xml_.emptyElement("repeat");
            xml_.attribute("direction", "forward");
        }
        xml_.endElement();
    }
    for (std::size_t n = measureStarts_[m]; n < measureStarts_[m + 1]; ++n)
        writeNote(notes_[n]);
    if (mark && source.carriesMarks)
        writeJumps(mark->jumps);

    // The closing bar line; a begin repeat closing a measure with another after it is that
    // measure's left bar line instead.
    const bool last = m + 2 == measureStarts_.size();
    static const char* const kStyles[] = {nullptr,       "heavy",  "light-light", "heavy-light",
                                          "light-heavy", "dashed", "light-heavy", "none"};
    const char* style = span.barType >= 0 && span.barType <= 7 && !(span.barType == 3 && !last)
                            ? kStyles[span.barType]
                            : nullptr;
    const auto stops = endingStops_.find(index);
    const bool repeat = span.barType == 4 || (span.barType == 3 && last);
    if (style || stops != endingStops_.end() || repeat) {
        xml_.startElement("barline");
        xml_.attribute("location", "right");
        if (style)
            xml_.textElement("bar-style", style);
        if (stops != endingStops_.end()) {
            xml_.emptyElement("ending");
            xml_.attribute("number", stops->second.number);
            xml_.attribute("type", "stop");
        }
        if (repeat) {
            xml_.emptyElement("repeat");
            xml_.attribute("direction", span.barType == 4 ? "backward" : "forward");
        }
        xml_.endElement();
    }
    xml_.endElement();
}

namespace {

const char* graceType(int underlines) {
    static const char* const kTypes[] = {"quarter", "eighth", "16th", "32nd"};
    return kTypes[std::clamp(underlines, 0, 3)];
}

}  // namespace

void PartWriter::writePitch(const music::Pitch& pitch) {
    xml_.startElement("pitch");
    xml_.textElement("step", std::string_view(&"CDEFGAB"[std::clamp(pitch.step, 0, 6)], 1));
    if (pitch.alter != 0)
        xml_.textElement("alter", pitch.alter);
    xml_.textElement("octave", pitch.octave);
    xml_.endElement();
}

void PartWriter::writeGrace(const music::Pitch& pitch, int underlines, bool after) {
    if (pitch.octave < 0 || pitch.octave > 9)
        return;
    xml_.startElement("note");
    xml_.emptyElement("grace");
    // Grace notes after their note take their time from it.
    if (after)
        xml_.attribute("steal-time-previous", 10);
    else
        xml_.attribute("slash", "yes");
    writePitch(pitch);
    xml_.textElement("voice", "1");
    xml_.textElement("type", graceType(underlines));
    xml_.endElement();
}

void PartWriter::writeHarmony(const std::u16string& text) {
    const auto chord = music::parseChordSymbol(text);
    if (!chord)
        return;
    const auto kindOf = [&]() -> std::string {
        for (std::string_view kind :
             {"major", "minor", "augmented", "diminished", "dominant", "major-seventh",
              "minor-seventh", "diminished-seventh", "augmented-seventh", "half-diminished",
              "major-minor", "major-sixth", "minor-sixth", "dominant-ninth", "major-ninth",
              "minor-ninth", "dominant-11th", "major-11th", "minor-11th", "dominant-13th",
              "major-13th", "minor-13th", "suspended-second", "suspended-fourth", "power"})
            if (kind == chord->kind)
                return std::string(kind);
        return "major";
    };
    xml_.startElement("harmony");
    xml_.startElement("root");
    xml_.textElement("root-step", std::string_view(&"CDEFGAB"[chord->step], 1));
    if (chord->alter != 0)
        xml_.textElement("root-alter", chord->alter);
    xml_.endElement();
    xml_.startElement("kind");
    xml_.attribute("text", QString::fromStdString(chord->suffix));
    xml_.characters(QString::fromStdString(kindOf()));
    xml_.endElement();
    if (chord->hasBass) {
        xml_.startElement("bass");
        xml_.textElement("bass-step", std::string_view(&"CDEFGAB"[chord->bassStep], 1));
        if (chord->bassAlter != 0)
            xml_.textElement("bass-alter", chord->bassAlter);
        xml_.endElement();
    }
    xml_.endElement();
}

void PartWriter::writeNote(const XmlNote& n) {
    if (!n.harmony.empty())
        writeHarmony(n.harmony);
    for (const auto& [pitch, underlines] : n.gracesBefore)
        writeGrace(pitch, underlines, false);
    writeNoteOf(n, n.pitch, false);
    for (const music::Pitch& tone : n.chord)
        if (tone.octave >= 0 && tone.octave <= 9)
            writeNoteOf(n, tone, true);
    for (const auto& [pitch, underlines] : n.gracesAfter)
        writeGrace(pitch, underlines, true);
}

// The marks of a note, the outermost first: those of <articulations> with the breath mark
// after them, then the others (a fermata).
void PartWriter::writeMarks(std::uint32_t marks, bool breath) {
    const auto outermostFirst = [&](bool inArticulations, auto write) {
        const std::span<const music::NoteMark> rows = music::noteMarks();
        for (auto row = rows.rbegin(); row != rows.rend(); ++row)
            if ((marks & row->flag) && row->inArticulations == inArticulations)
                write(*row);
    };
    bool grouped = breath;
    outermostFirst(true, [&](const music::NoteMark&) { grouped = true; });
    if (grouped) {
        xml_.startElement("articulations");
        outermostFirst(true, [&](const music::NoteMark& row) { xml_.emptyElement(row.musicXml); });
        if (breath)
            xml_.emptyElement("breath-mark");
        xml_.endElement();
    }
    outermostFirst(false, [&](const music::NoteMark& row) { xml_.emptyElement(row.musicXml); });
}

void PartWriter::writeNoteOf(const XmlNote& n, const music::Pitch& pitch, bool chordTone) {
    xml_.startElement("note");
    if (chordTone)
        xml_.emptyElement("chord");
    if (n.rest) {
        xml_.emptyElement("rest");
    } else {
        writePitch(pitch);
    }
    xml_.textElement("duration", (n.duration >= 0 ? n.duration : n.value.ticks) / unit_);
    const auto tie = [this](std::string_view element, bool stop, bool start) {
        for (const auto& [on, type] : {std::pair{stop, "stop"}, std::pair{start, "start"}}) {
            if (!on)
                continue;
            xml_.emptyElement(element);
            xml_.attribute("type", type);
        }
    };
    tie("tie", n.tieStop, n.tieStart);
    xml_.textElement("voice", "1");
    xml_.textElement("type", n.value.type);
    for (int d = 0; d < n.value.dots; ++d)
        xml_.emptyElement("dot");
    if (chordTone) {
        if (const char* sign = accidentalSign(pitch.alter); sign && n.accidental)
            xml_.textElement("accidental", sign);
    } else if (n.accidental) {
        xml_.textElement("accidental", n.accidental);
    }
    if (n.tuplet.active()) {
        xml_.startElement("time-modification");
        xml_.textElement("actual-notes", n.tuplet.actual);
        xml_.textElement("normal-notes", n.tuplet.normal);
        xml_.endElement();
    }
    if (n.parentheses) {
        xml_.startElement("notehead");
        xml_.attribute("parentheses", "yes");
        xml_.characters("normal");
        xml_.endElement();
    }
    const bool tupletMarks = !chordTone && (n.levels[0].starts || n.levels[1].starts ||
                                            n.stops[0] || n.stops[1]);
    const std::uint32_t marks = chordTone ? 0 : n.articulations & music::knownArticulations();
    if (n.tieStop || n.tieStart || (!chordTone && (!n.slurStops.empty() || !n.slurStarts.empty() ||
                                                   n.breath)) ||
        tupletMarks || marks != 0) {
        xml_.startElement("notations");
        tie("tied", n.tieStop, n.tieStart);
        for (const auto& [numbers, type] :
             {std::pair{&n.slurStops, "stop"}, std::pair{&n.slurStarts, "start"}}) {
            for (int number : *numbers) {
                xml_.emptyElement("slur");
                xml_.attribute("type", type);
                xml_.attribute("number", number);
            }
        }
        // A nested tuplet numbers its brackets and names each level's own ratio.
        const bool nested = n.levels[1].active();
        for (std::size_t l = 0; l < 2 && !chordTone; ++l) {
            for (const bool start : {false, true}) {
                if (start ? !n.levels[l].starts : !n.stops[l])
                    continue;
                const bool ratio = start && nested;
                if (ratio)
                    xml_.startElement("tuplet");
                else
                    xml_.emptyElement("tuplet");
                xml_.attribute("type", start ? "start" : "stop");
                if (nested)
                    xml_.attribute("number", static_cast<int>(l) + 1);
                if (ratio) {
                    xml_.startElement("tuplet-actual");
                    xml_.textElement("tuplet-number", n.levels[l].actual);
                    xml_.endElement();
                    xml_.startElement("tuplet-normal");
                    xml_.textElement("tuplet-number", n.levels[l].normal);
                    xml_.endElement();
                    xml_.endElement();
                }
            }
        }
        writeMarks(marks, n.breath && !chordTone);
        xml_.endElement();
    }
    if (chordTone) {
        xml_.endElement();
        return;
    }
    for (const Syllable& s : n.syllables) {
        xml_.startElement("lyric");
        xml_.attribute("number", s.verse);
        xml_.textElement("syllabic", s.syllabic);
        xml_.textElement("text", s.text);
        xml_.endElement();
    }
    xml_.endElement();
}

}  // namespace qe::musicxml
