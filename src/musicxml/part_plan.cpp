// The planning passes of the part writer: what each note of a track is written as, which
// measures are written, where endings start and stop, and the clef.

#include <QStringList>
#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <span>
#include <utility>
#include <vector>

#include "music/attributes.h"
#include "musicxml/part_notes.h"
#include "musicxml/part_writer.h"

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

// A piece of a note: the item after it, and the time it takes. It is the item at `first`
// with the dashes and dots after it that belong to its note, up to the end of its measure.
std::pair<int, Ticks> pieceFrom(const std::vector<music::WalkItem>& items, int first, int end) {
    const int note = items[static_cast<std::size_t>(first)].note;
    Ticks length = 0;
    int j = first;
    for (; j < end; ++j) {
        const music::WalkItem& x = items[static_cast<std::size_t>(j)];
        if (x.item.isBarLine() || x.note != note || (j > first && x.item.isNoteOrRest()))
            break;
        length += x.length;
    }
    return {j, length};
}

// The grace notes that come after a note (`after`) or before it, in `out` with their
// underlines: those its record stores, else one.
void addGraces(const music::SoundingNote& sounding, const NoteExtra& extra, bool after,
               std::vector<std::pair<music::Pitch, int>>& out) {
    std::size_t g = 0;
    for (const music::GraceSound& grace : sounding.graces) {
        const int underlines = g < extra.graces.size() ? extra.graces[g].underlines : 1;
        ++g;
        if (grace.after == after)
            out.emplace_back(grace.pitch, underlines);
    }
}

// The time modification of a piece: the ratio it is written with (both levels of a nested
// tuplet multiplied), each level with `starts` where a group starts, and the length its
// value shows.
struct PieceTuplet {
    TupletMark ratio;
    std::array<TupletMark, 2> levels{};
    Ticks shown = 0;
};

// A volta bracket from its first written measure to its last, with its label.
struct VoltaSpan {
    int first;
    int last;
    std::u16string label;
    bool operator<(const VoltaSpan& other) const { return first < other.first; }
};

}  // namespace

// Plans one part into the writer: its passes run in order, each on what those before it found.
class PartWriter::Planner {
public:
    Planner(PartWriter& writer, const PartSource& source)
        : w_(writer),
          source_(source),
          walk_(*source.walk),
          items_(walk_.items),
          notes_(walk_.notes),
          parens_(notes_.size()),
          breath_(notes_.size()),
          tieToNext_(notes_.size()),
          slursFrom_(notes_.size()),
          slursTo_(notes_.size()) {}

    void run() {
        markParenthesesAndBreaths();
        sortArcs();
        placeSyllables();
        planNotes();
        closeTupletGroups();
        planRepeats();
        placeEndings(voltaSpans());
        chooseClef();
    }

private:
    // The item of an index, or null for one outside the track.
    const music::WalkItem* itemAt(int index) const {
        return index >= 0 && static_cast<std::size_t>(index) < items_.size()
                   ? &items_[static_cast<std::size_t>(index)]
                   : nullptr;
    }
    // The notes that parentheses stand around alone, and the items of those parentheses.
    std::set<int> parenthesize();
    void markParenthesesAndBreaths();
    void sortArcs();
    void placeSyllables();
    std::span<const Syllable> syllablesOf(std::size_t note) const;
    void planNotes();
    void planMeasure(std::size_t m);
    void planPiece(std::size_t m, std::size_t n, Ticks length);
    // Numbers the tuplet groups a piece of note `n` is in, counting a new group where one
    // starts.
    PieceTuplet tupletOf(std::size_t m, std::size_t n, const NoteExtra* extra, Ticks length);
    // What the first written note of note `n` carries, and what its last carries.
    void openNote(XmlNote& x, std::size_t m, std::size_t n, const NoteExtra* extra, bool rest);
    void closeNote(XmlNote& x, std::size_t n, const NoteExtra* extra);
    // Slurs from note `n` take the lowest number free; those to it free theirs.
    void startSlurs(XmlNote& x, std::size_t m, std::size_t n);
    void stopSlurs(XmlNote& x, std::size_t n);
    void closeTupletGroups();
    void planRepeats();
    std::vector<VoltaSpan> voltaSpans();
    void placeEndings(const std::vector<VoltaSpan>& spans);
    // The ending of a bracket with `label`, numbered `number` when the label names no passes;
    // `highest` becomes the last pass it plays.
    static Ending endingOf(const std::u16string& label, int number, int& highest);
    void chooseClef();

    PartWriter& w_;
    const PartSource& source_;
    const music::TrackWalk& walk_;
    const std::vector<music::WalkItem>& items_;
    const std::vector<music::SoundingNote>& notes_;

    // By note of the walk: what the first passes found on it.
    std::vector<bool> parens_, breath_, tieToNext_;
    std::vector<std::vector<int>> slursFrom_, slursTo_;  // indices of slurs
    std::size_t slurCount_ = 0;

    // While the notes are planned.
    std::vector<int> slurNumber_;  // by slur; -1 for one dropped
    std::array<bool, 17> busy_{};  // slur numbers in use
    std::vector<int> xmlCount_;    // notes written for each note so far
    std::vector<Ticks> remaining_;
    std::vector<TypedValue> values_;  // of the piece being planned
    int orphans_ = 0;
    std::array<int, 2> tupletGroup_{-1, -1};  // the groups being written, numbered from 0
    int tupletCount_ = -1;
    std::array<TupletMark, 2> lastLevels_{};
    int lastTupletMeasure_ = -1;
};

void PartWriter::plan(const PartSource& source) {
    Planner(*this, source).run();
}

std::set<int> PartWriter::Planner::parenthesize() {
    std::set<int> used;
    for (std::size_t n = 0; n < notes_.size(); ++n) {
        const music::WalkItem* open = itemAt(notes_[n].item - 1);
        const music::WalkItem* close = itemAt(notes_[n].items.back() + 1);
        if (open && close && open->item.kind == Item::Kind::OpenParen &&
            close->item.kind == Item::Kind::CloseParen) {
            parens_[n] = true;
            used.insert(notes_[n].item - 1);
            used.insert(notes_[n].items.back() + 1);
        }
    }
    return used;
}

// Parentheses around exactly one note are that note's; any others have no MusicXML form. A
// breath mark is taken after the note before it.
void PartWriter::Planner::markParenthesesAndBreaths() {
    const std::set<int> usedParens = parenthesize();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const Item& item = items_[i].item;
        if ((item.kind == Item::Kind::OpenParen || item.kind == Item::Kind::CloseParen) &&
            !usedParens.count(static_cast<int>(i)))
            w_.dropped(QStringLiteral("parentheses not around one note dropped"),
                       items_[i].measure);
        if (item.kind != Item::Kind::Breath)
            continue;
        int j = static_cast<int>(i) - 1;
        while (j >= 0 && items_[static_cast<std::size_t>(j)].note < 0)
            --j;
        if (j < 0)
            w_.dropped(QStringLiteral("breath marks before the first note dropped"),
                       items_[i].measure);
        else
            breath_[static_cast<std::size_t>(items_[static_cast<std::size_t>(j)].note)] = true;
    }
}

// Arcs between neighbouring notes of one pitch are ties; every other arc is a slur.
void PartWriter::Planner::sortArcs() {
    std::vector<std::pair<int, int>> slurs;
    for (const auto& [from, to] : source_.arcs) {
        const int a = music::noteReached(walk_, from, true);
        const int b = music::noteReached(walk_, to, false);
        if (a < 0 || b <= a) {
            const music::WalkItem* at = itemAt(from);
            w_.dropped(QStringLiteral("arcs that join no two notes dropped"), at ? at->measure : 0);
            continue;
        }
        const auto& na = notes_[static_cast<std::size_t>(a)];
        const auto& nb = notes_[static_cast<std::size_t>(b)];
        if (b == a + 1 && na.pitch && nb.pitch && na.pitch->midi() == nb.pitch->midi())
            tieToNext_[static_cast<std::size_t>(a)] = true;
        else
            slurs.emplace_back(a, b);
    }
    for (std::size_t s = 0; s < slurs.size(); ++s) {
        slursFrom_[static_cast<std::size_t>(slurs[s].first)].push_back(static_cast<int>(s));
        slursTo_[static_cast<std::size_t>(slurs[s].second)].push_back(static_cast<int>(s));
    }
    slurCount_ = slurs.size();
}

// Syllables go under the note whose digit or rest they name; a word that goes on is written
// with a hyphen after its syllable. They come by item, so by note.
void PartWriter::Planner::placeSyllables() {
    w_.syllables_.clear();
    std::map<int, bool> wordOpen;  // verse → the last syllable's word goes on
    for (const PlacedSyllable& placed : source_.syllables) {
        const music::WalkItem* at = itemAt(placed.item);
        if (!at || at->note < 0 || notes_[static_cast<std::size_t>(at->note)].item != placed.item) {
            w_.dropped(QStringLiteral("syllables not under a note or rest dropped"),
                       at ? at->measure : 0);
            continue;
        }
        const QString& text = placed.text;
        const bool goesOn = text.size() >= 2 && text.endsWith(QLatin1Char('-'));
        bool& open = wordOpen[placed.verse];
        Syllable& s = w_.syllables_.emplace_back();
        s.note = static_cast<std::size_t>(at->note);
        s.verse = placed.verse;
        s.text = goesOn ? QStringView(text).chopped(1) : QStringView(text);
        s.syllabic = goesOn ? (open ? "middle" : "begin") : (open ? "end" : "single");
        open = goesOn;
    }
}

// (Plain iterators and pointers: the fuzzers' clang does not take the ranges form.)
std::span<const PartWriter::Syllable> PartWriter::Planner::syllablesOf(std::size_t note) const {
    const std::vector<Syllable>& all = w_.syllables_;
    const auto first = std::lower_bound(
        all.begin(), all.end(), note, [](const Syllable& s, std::size_t n) { return s.note < n; });
    const auto last = std::upper_bound(first, all.end(), note,
                                       [](std::size_t n, const Syllable& s) { return n < s.note; });
    return std::span<const Syllable>(all.data() + (first - all.begin()),
                                     static_cast<std::size_t>(last - first));
}

// The notes of each measure: a note's digit, dashes and dots make one piece in each measure
// they reach; every piece is written as one note or as tied notes.
void PartWriter::Planner::planNotes() {
    const std::size_t noteCount = notes_.size();
    w_.notes_.clear();
    w_.notes_.reserve(items_.size());
    w_.measureStarts_.assign(1, 0);
    slurNumber_.assign(slurCount_, 0);
    xmlCount_.assign(noteCount, 0);
    remaining_.resize(noteCount);
    for (std::size_t n = 0; n < noteCount; ++n)
        remaining_[n] = notes_[n].length;
    for (std::size_t m = 0; m < walk_.measures.size(); ++m) {
        planMeasure(m);
        w_.measureStarts_.push_back(w_.notes_.size());
    }
    if (orphans_)
        w_.report_.add(QStringLiteral("dashes and dots after no note written as rests"), QString(),
                       orphans_);
}

void PartWriter::Planner::planMeasure(std::size_t m) {
    const music::MeasureSpan& span = walk_.measures[m];
    for (int i = span.firstItem; i < span.endItem;) {
        const music::WalkItem& w = items_[static_cast<std::size_t>(i)];
        if (w.item.isBarLine() || w.length == 0) {
            ++i;
            continue;
        }
        const auto [next, length] = pieceFrom(items_, i, span.endItem);
        i = next;
        if (length == 0)
            continue;
        if (w.note >= 0) {
            planPiece(m, static_cast<std::size_t>(w.note), length);
            continue;
        }
        ++orphans_;
        typedValues(length, values_);
        for (const TypedValue& value : values_) {
            XmlNote& x = w_.notes_.emplace_back();
            x.value = value;
        }
    }
}

void PartWriter::Planner::planPiece(std::size_t m, std::size_t n, Ticks length) {
    const music::SoundingNote& sounding = notes_[n];
    bool rest = !sounding.pitch;
    if (sounding.pitch && (sounding.pitch->octave < 0 || sounding.pitch->octave > 9)) {
        w_.dropped(QStringLiteral("notes beyond the range of MusicXML written as rests"),
                   static_cast<int>(m));
        rest = true;
    }
    remaining_[n] -= length;
    const NoteExtra* extra = nullptr;
    if (const int e = items_[static_cast<std::size_t>(sounding.item)].extra; e >= 0)
        extra = &walk_.extras[static_cast<std::size_t>(e)];
    const PieceTuplet tuplet = tupletOf(m, n, extra, length);
    typedValues(tuplet.shown, values_);
    Ticks left = length;
    for (std::size_t v = 0; v < values_.size(); ++v) {
        XmlNote x;
        x.rest = rest;
        x.pitch = sounding.pitch.value_or(music::Pitch{});
        x.value = values_[v];
        if (tuplet.ratio.active()) {
            x.tuplet = tuplet.ratio;
            for (std::size_t l = 0; l < 2; ++l) {
                x.levels[l] = tuplet.levels[l];
                x.levels[l].starts = tuplet.levels[l].starts && v == 0;
                x.groups[l] = tupletGroup_[l];
            }
            x.duration = v + 1 == values_.size()
                             ? left
                             : values_[v].ticks * tuplet.ratio.normal / tuplet.ratio.actual;
            left -= x.duration;
        }
        if (!rest)
            x.chord = sounding.chord;
        const bool firstOfNote = xmlCount_[n]++ == 0;
        const bool lastOfNote = v + 1 == values_.size() && remaining_[n] == 0;
        if (!rest) {
            x.tieStop = !firstOfNote || (n > 0 && tieToNext_[n - 1]);
            x.tieStart = !lastOfNote || tieToNext_[n];
        }
        if (firstOfNote)
            openNote(x, m, n, extra, rest);
        if (lastOfNote)
            closeNote(x, n, extra);
        w_.notes_.push_back(std::move(x));
    }
}

// A tuplet note is written with the value it shows, and the time it takes (its time
// modification, both levels of a nested tuplet multiplied); each level's group gets a bracket
// of its own.
PieceTuplet PartWriter::Planner::tupletOf(std::size_t m, std::size_t n, const NoteExtra* extra,
                                          Ticks length) {
    PieceTuplet piece;
    piece.shown = length;
    if (extra && extra->tuplets[0].active()) {
        int actual = extra->tuplets[0].actual;
        int normal = extra->tuplets[0].normal;
        if (extra->tuplets[1].active()) {
            actual *= extra->tuplets[1].actual;
            normal *= extra->tuplets[1].normal;
        }
        // Times inside a group are rounded to the tick: the value shown is the nearest one a
        // digit can have.
        const Ticks exact = (length * actual + normal / 2) / normal;
        const Ticks shown = (exact + kShortest / 2) / kShortest * kShortest;
        if (actual <= 255 && normal <= 255 && shown > 0) {
            piece.ratio = TupletMark{static_cast<std::uint8_t>(actual),
                                     static_cast<std::uint8_t>(normal), false};
            piece.shown = shown;
            const bool firstPiece = xmlCount_[n] == 0;
            for (std::size_t l = 0; l < 2; ++l) {
                const TupletMark& mark = extra->tuplets[l];
                if (!mark.active())
                    continue;
                piece.levels[l] = TupletMark{mark.actual, mark.normal, false};
                const bool sameGroup = tupletGroup_[l] >= 0 && !(firstPiece && mark.starts) &&
                                       lastLevels_[l].actual == mark.actual &&
                                       lastLevels_[l].normal == mark.normal &&
                                       lastTupletMeasure_ == static_cast<int>(m);
                if (!sameGroup) {
                    tupletGroup_[l] = ++tupletCount_;
                    piece.levels[l].starts = true;
                }
            }
        }
    }
    for (std::size_t l = 0; l < 2; ++l)
        if (!piece.levels[l].active())
            tupletGroup_[l] = -1;
    lastLevels_ = piece.levels;
    lastTupletMeasure_ = static_cast<int>(m);
    return piece;
}

void PartWriter::Planner::openNote(XmlNote& x, std::size_t m, std::size_t n, const NoteExtra* extra,
                                   bool rest) {
    const music::SoundingNote& sounding = notes_[n];
    if (extra) {
        x.articulations = extra->articulations;
        x.harmony = extra->chordSymbol;
        x.textAbove = extra->textAbove;
        x.textBelow = extra->textBelow;
        addGraces(sounding, *extra, false, x.gracesBefore);
    }
    const Item& head = items_[static_cast<std::size_t>(sounding.item)].item;
    if (!rest && head.accidental >= 1 && head.accidental <= 5)
        x.accidental = accidentalSign(sounding.pitch->alter);
    else if (head.accidental != 0)
        w_.dropped(QStringLiteral("accidentals on rests or without a meaning dropped"),
                   static_cast<int>(m));
    x.parentheses = parens_[n];
    x.syllables = syllablesOf(n);
    startSlurs(x, m, n);
}

void PartWriter::Planner::closeNote(XmlNote& x, std::size_t n, const NoteExtra* extra) {
    if (extra)
        addGraces(notes_[n], *extra, true, x.gracesAfter);
    x.breath = breath_[n];
    stopSlurs(x, n);
}

void PartWriter::Planner::startSlurs(XmlNote& x, std::size_t m, std::size_t n) {
    for (int s : slursFrom_[n]) {
        const auto free = std::find(busy_.begin() + 1, busy_.end(), false);
        if (free == busy_.end()) {
            w_.dropped(QStringLiteral("slurs beyond 16 at once dropped"), static_cast<int>(m));
            slurNumber_[static_cast<std::size_t>(s)] = -1;
            continue;
        }
        *free = true;
        slurNumber_[static_cast<std::size_t>(s)] = static_cast<int>(free - busy_.begin());
        x.slurStarts.push_back(slurNumber_[static_cast<std::size_t>(s)]);
    }
}

void PartWriter::Planner::stopSlurs(XmlNote& x, std::size_t n) {
    for (int s : slursTo_[n]) {
        const int number = slurNumber_[static_cast<std::size_t>(s)];
        if (number > 0) {
            x.slurStops.push_back(number);
            busy_[static_cast<std::size_t>(number)] = false;
        }
    }
}

// The last note of each tuplet group ends its bracket. With tuplets a division is one tick,
// so that every duration in them is a whole number of divisions.
void PartWriter::Planner::closeTupletGroups() {
    std::vector<XmlNote>& notes = w_.notes_;
    for (std::size_t k = 0; k < notes.size(); ++k)
        for (std::size_t l = 0; l < 2; ++l)
            notes[k].stops[l] =
                notes[k].groups[l] >= 0 &&
                (k + 1 == notes.size() || notes[k + 1].groups[l] != notes[k].groups[l]);
    w_.unit_ =
        std::any_of(notes.begin(), notes.end(), [](const XmlNote& x) { return x.tuplet.active(); })
            ? 1
            : kShortest;
}

std::vector<bool> PartWriter::repeatOnlyMeasures(const music::TrackWalk& walk) {
    const std::size_t measureCount = walk.measures.size();
    std::vector<bool> only(measureCount, false);
    for (std::size_t m = 0; m + 1 < measureCount; ++m) {
        const music::MeasureSpan& span = walk.measures[m];
        const bool opened = m > 0 && walk.measures[m - 1].barType == 3;
        only[m] = span.barType == 3 && span.endItem - span.firstItem == 1 && !opened &&
                  (m == 0 || walk.measures[m - 1].barType != 0);
    }
    return only;
}

// A begin repeat closing a measure opens the next one; an empty measure that only holds it is
// no measure of its own, when it is none in any track: the parts keep the same measures.
void PartWriter::Planner::planRepeats() {
    const std::size_t measureCount = walk_.measures.size();
    w_.forward_.assign(measureCount, false);
    for (std::size_t m = 0; m + 1 < measureCount; ++m)
        w_.forward_[m + 1] = walk_.measures[m].barType == 3;
    w_.skipped_ = repeatOnlyMeasures(walk_);
    for (std::size_t m = 0; m < measureCount; ++m)
        if (m < source_.everyTrackSkips.size() && !source_.everyTrackSkips[m])
            w_.skipped_[m] = false;
}

// Volta brackets: from the measure its first bar line closes to the one its last closes, in
// the order of their first measures.
std::vector<VoltaSpan> PartWriter::Planner::voltaSpans() {
    std::vector<VoltaSpan> spans;
    for (std::size_t k = 0; k < source_.brackets.size(); ++k) {
        const auto [from, to] = source_.brackets[k];
        const music::WalkItem* a = itemAt(from);
        const music::WalkItem* b = itemAt(to);
        if (!a || !b || !a->item.isBarLine() || !b->item.isBarLine() || from > to) {
            w_.dropped(QStringLiteral("volta brackets that name no measures dropped"),
                       a ? a->measure : 0);
            continue;
        }
        // Measures that are not written (empty ones that only begin a repeat) carry no ending.
        const auto skipped = [this](int m) { return w_.skipped_[static_cast<std::size_t>(m)]; };
        int first = a->measure;
        int last = b->measure;
        while (first < last && skipped(first))
            ++first;
        while (last > first && skipped(last))
            --last;
        if (skipped(first)) {
            w_.dropped(QStringLiteral("volta brackets over no written measure dropped"), first);
            continue;
        }
        spans.push_back(VoltaSpan{
            first, last,
            k < source_.bracketLabels.size() ? source_.bracketLabels[k] : std::u16string()});
    }
    std::stable_sort(spans.begin(), spans.end());
    return spans;
}

// The endings of the brackets, numbered 1, 2, ... where they follow each other.
void PartWriter::Planner::placeEndings(const std::vector<VoltaSpan>& spans) {
    std::map<int, int> stopNumber;
    int lastEnd = -1;
    for (const auto& [first, last, label] : spans) {
        // One ending at a time: MusicXML endings do not overlap.
        if (first <= lastEnd) {
            w_.dropped(QStringLiteral("volta brackets over a measure that has one dropped"), first);
            continue;
        }
        int before = first - 1;
        while (before >= 0 && w_.skipped_[static_cast<std::size_t>(before)])
            --before;
        const auto previous = stopNumber.find(before);
        const int number = previous != stopNumber.end() ? previous->second + 1 : 1;
        int highest = number;
        const Ending ending = endingOf(label, number, highest);
        stopNumber[last] = highest;
        w_.endingStarts_[first] = ending;
        w_.endingStops_[last] = ending;
        lastEnd = last;
    }
}

PartWriter::Ending PartWriter::Planner::endingOf(const std::u16string& label, int number,
                                                 int& highest) {
    // A label names its passes ("1.-3." plays passes 1, 2 and 3); others are numbered in
    // turn.
    // An unlabelled bracket shows "1" wherever it stands: so it is printed.
    Ending ending{QString::number(number), label.empty() && number != 1
                                               ? QStringLiteral("1")
                                               : QString::fromStdU16String(label)};
    if (const std::uint32_t passes = music::passesOfLabel(label)) {
        QStringList numbers;
        for (int p = 1; p <= music::kMostPasses; ++p)
            if (passes & (1u << (p - 1))) {
                numbers << QString::number(p);
                highest = p;
            }
        ending.number = numbers.join(QStringLiteral(", "));
    }
    return ending;
}

// Low tracks read better in the bass clef.
void PartWriter::Planner::chooseClef() {
    long long sum = 0;
    long long pitched = 0;
    for (const music::SoundingNote& n : notes_)
        if (n.pitch) {
            sum += n.pitch->midi();
            ++pitched;
        }
    w_.bassClef_ = pitched > 0 && sum < 60 * pitched;
}

}  // namespace qe::musicxml
