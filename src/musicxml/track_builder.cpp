#include "musicxml/track_builder.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "music/note_value.h"
#include "musicxml/musicxml_error.h"

namespace qe::musicxml {

using music::Item;
using music::Ticks;

namespace {

constexpr Ticks kShortest = music::kShortestTicks;
constexpr int kLastNamedItem = 32767;  // a location holds an item index in 16 bits

bool onGrid(ExactTicks t) {
    return std::abs(t - std::round(t / kShortest) * kShortest) < 1e-6;
}

Ticks roundTo(ExactTicks t, Ticks grid) {
    return static_cast<Ticks>(std::llround(t / static_cast<double>(grid))) * grid;
}

// The grid a time between notes of odd lengths (tuplets) is rounded to: the longest plain
// value no longer than half the shorter of the two notes, so that both keep a length near
// their own.
Ticks gridFor(ExactTicks shorter) {
    Ticks grid = music::kTicksPerQuarter;
    while (grid > kShortest && static_cast<double>(grid) > shorter / 2)
        grid /= 2;
    return grid;
}

}  // namespace

// One note (the top of its chord) or rest in the time line of a measure; a rest with no note
// fills time the voice leaves empty.
struct TrackBuilder::Event {
    ExactTicks start = 0;
    ExactTicks end = 0;
    const ParsedNote* note = nullptr;  // the note kept; null for a filled gap
    std::uint16_t slurStarts = 0;
    std::uint16_t slurStops = 0;
    bool breath = false;
    std::vector<const ParsedLyric*> lyrics;
    std::vector<const ParsedNote*> tones;   // the other notes of its chord
    std::vector<const ParsedNote*> graces;  // grace notes before it, then after it
    int gracesBefore = 0;
    std::uint32_t articulations = 0;
    std::u16string chordSymbol;
    std::u16string textAbove;  // words at it
    std::u16string textBelow;
    Ticks from = 0;  // rounded start and end
    Ticks to = 0;

    bool inTuplet() const {
        return note && note->tupletActual >= 2 &&
               note->tupletActual <= extension::kMostTupletNotes && note->tupletNormal >= 1 &&
               note->tupletNormal <= extension::kMostTupletNotes;
    }

    bool isRest() const { return !note || note->rest; }
};

TrackBuilder::TrackBuilder(const music::Key& key, const music::Meter& meter, bool brackets,
                           int& budget, ConversionReport& report)
    : key_(key), meter_(meter), withBrackets_(brackets), budget_(budget), report_(report) {
    openSlurs_.fill(-1);
}

int TrackBuilder::append(const Item& item) {
    if (--budget_ < 0)
        throw MusicXmlError{
            QStringLiteral("the score takes more than %1 records").arg(limits::kMaxItems)};
    records.push_back(music::encode(item));
    return static_cast<int>(records.size()) - 1;
}

void TrackBuilder::addArc(int from, int to) {
    if (from >= to)
        return;
    if (to > kLastNamedItem) {
        dropped(QStringLiteral("ties and slurs past the 32768th item of a track dropped"));
        return;
    }
    arcs.emplace(from, to);
}

void TrackBuilder::beginRepeat() {
    if (!records.empty() && records.back() == note::barLine(0))
        records.back() = note::barLine(3);
    else
        append(Item::barLine(3)), ++measures_;
}

std::vector<TrackBuilder::Event> TrackBuilder::collect(const ParsedMeasure& measure, int staff,
                                                       int voice) {
    std::vector<Event> events;
    int cues = 0, syllables = 0, silent = 0;
    bool headKept = false;  // the chord that a <chord/> note joins is an event of ours
    std::vector<const ParsedNote*> pendingGraces;
    for (const ParsedNote& n : measure.notes) {
        const bool ours = n.staff == staff && n.voice == voice;
        const bool mine = ours && !n.grace && !n.cue;
        if (ours && n.grace && !n.cue && !n.rest) {
            // A grace note's syllables have no place of their own; of a chord of grace notes,
            // the first is kept.
            syllables += static_cast<int>(n.lyrics.size());
            if (!n.chord)
                placeGrace(events, pendingGraces, n);
            continue;
        }
        if (ours && n.cue) {
            ++cues;
            syllables += static_cast<int>(n.lyrics.size());
        }
        if (!n.chord || n.grace)
            headKept = false;
        // Other voices are tracks of their own; a hidden rest is silence the page leaves
        // blank, which the measure's own rests fill where the voice needs its time.
        if (!mine || (n.rest && n.hidden))
            continue;
        if (n.chord && headKept) {
            joinChord(events.back(), n);
            continue;
        }
        if (n.length <= 0) {
            ++silent;
            continue;
        }
        // A chord's first note on this staff may come after notes on another staff (a chord
        // across staves); the chord's notes after it join it.
        addEvent(events, n, pendingGraces);
        headKept = true;
    }
    const int graces = placeTrailingGraces(events, pendingGraces);
    if (graces)
        dropped(QStringLiteral("grace notes dropped"), graces);
    if (cues)
        dropped(QStringLiteral("cue notes dropped"), cues);
    if (syllables)
        dropped(QStringLiteral("syllables of dropped notes dropped"), syllables);
    if (silent)
        dropped(QStringLiteral("notes without a duration dropped"), silent);
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.start < b.start; });
    return events;
}

// Grace notes go to the note after them. Those that take their time from the note before them
// follow it.
void TrackBuilder::placeGrace(std::vector<Event>& events, std::vector<const ParsedNote*>& pending,
                              const ParsedNote& n) {
    Event* before = nullptr;
    for (auto e = events.rbegin(); e != events.rend() && !before; ++e)
        if (!e->isRest())
            before = &*e;
    if (n.graceAfter && before && pending.empty())
        before->graces.push_back(&n);
    else
        pending.push_back(&n);
}

// A chord keeps every tone; its highest is the record's own digit, which older versions show.
void TrackBuilder::joinChord(Event& head, const ParsedNote& n) {
    if (!n.rest && !head.note->rest) {
        if (n.pitch.midi() > head.note->pitch.midi()) {
            head.tones.push_back(head.note);
            head.note = &n;
        } else {
            head.tones.push_back(&n);
        }
    }
    head.articulations |= n.articulations;
    head.slurStarts |= n.slurStarts;
    head.slurStops |= n.slurStops;
    head.breath = head.breath || n.breath;
    for (const ParsedLyric& lyric : n.lyrics)
        head.lyrics.push_back(&lyric);
}

void TrackBuilder::addEvent(std::vector<Event>& events, const ParsedNote& n,
                            std::vector<const ParsedNote*>& pendingGraces) {
    Event& e = events.emplace_back();
    e.start = n.start;
    e.end = n.start + n.length;
    e.note = &n;
    e.slurStarts = n.slurStarts;
    e.slurStops = n.slurStops;
    e.breath = n.breath;
    e.articulations = n.articulations;
    for (const ParsedLyric& lyric : n.lyrics)
        e.lyrics.push_back(&lyric);
    if (!n.rest) {
        e.graces = std::move(pendingGraces);
        e.gracesBefore = static_cast<int>(e.graces.size());
    }
    pendingGraces.clear();
}

// Grace notes after the last note of the measure follow it (后倚音).
int TrackBuilder::placeTrailingGraces(std::vector<Event>& events,
                                      const std::vector<const ParsedNote*>& pending) {
    if (pending.empty())
        return 0;
    Event* last = nullptr;
    for (Event& e : events)
        if (!e.isRest() && (!last || e.start >= last->start))
            last = &e;
    if (!last)
        return static_cast<int>(pending.size());
    last->graces.insert(last->graces.end(), pending.begin(), pending.end());
    return 0;
}

void TrackBuilder::layOut(std::vector<Event>& events, ExactTicks end) {
    // Fill what the voice leaves empty with rests, and cut notes that run into the next one.
    std::vector<Event> line;
    ExactTicks at = 0;
    int overlapping = 0;
    for (Event& e : events) {
        if (e.start > at + 1e-6) {
            Event gap;
            gap.start = at;
            gap.end = e.start;
            line.push_back(gap);
        } else if (e.start < at - 1e-6) {
            ++overlapping;
            if (e.end <= at + 1e-6)
                continue;
            e.start = at;
        }
        at = e.end;
        line.push_back(std::move(e));
    }
    if (end > at + 1e-6) {
        Event gap;
        gap.start = at;
        gap.end = end;
        line.push_back(gap);
    }
    if (overlapping)
        dropped(QStringLiteral("overlapping notes of one voice cut short"), overlapping);

    // Round every time between two notes. Times on the shortest value stay where they are;
    // the others (tuplets, odd divisions) go to the nearest plain value near both notes.
    Ticks previous = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        Event& e = line[i];
        e.from = previous;
        const ExactTicks t = e.end;
        Ticks rounded;
        if (e.inTuplet()) {
            // Tuplet notes are stored with their written values and timed exactly by them.
            rounded = std::llround(t);
        } else if (onGrid(t) || i + 1 == line.size()) {
            rounded = roundTo(t, kShortest);
        } else {
            const ExactTicks shorter =
                std::min(e.end - e.start, line[i + 1].end - line[i + 1].start);
            rounded = roundTo(t, gridFor(shorter));
        }
        e.to = std::max(rounded, previous);
        previous = e.to;
    }
    events = std::move(line);
}

void TrackBuilder::addMeasure(const ParsedMeasure& measure, int staff, int voice) {
    measure_ = measure.number;
    std::vector<Event> events = collect(measure, staff, voice);
    layOut(events, measure.length);
    // A rest alone in its measure is a whole-measure rest: the measure's beats of 0.
    const bool wholeMeasure =
        events.size() == 1 && events[0].isRest() &&
        (!events[0].note || events[0].note->measureRest || events[0].note->shown == 0 ||
         events[0].note->shown == 4.0 * music::kTicksPerQuarter);
    attachHarmonies(events, measure, staff);
    attachWords(events, measure, staff);
    int tuplets = 0, rounded = 0, tooShort = 0;
    for (const Event& e : events) {
        Ticks length = e.to - e.from;
        const bool exact = std::abs(static_cast<double>(length) - (e.end - e.start)) < 1e-6;
        // A tuplet note is written with its own value and marked as n in the time of m; one
        // inside another keeps both levels when its brackets name them.
        if (e.note)
            openBrackets(*e.note);
        std::array<TupletMark, 2> levels{};
        if (e.inTuplet()) {
            const double written = (e.end - e.start) * e.note->tupletActual / e.note->tupletNormal;
            const Ticks value = roundTo(written, kShortest);
            // Times in a group are rounded to the tick, which the value may show
            // magnified by the ratio.
            if (std::abs(written - static_cast<double>(value)) <= e.note->tupletActual &&
                value > 0) {
                levels = tupletLevels(*e.note);
                length = value;
            } else {
                ++tuplets;
            }
        } else if (e.note && e.note->tuplet) {
            ++tuplets;
        } else if (!exact && e.note) {
            ++rounded;
        }
        // After a tuplet timed to the tick, a plain note keeps a length a record holds.
        if (!levels[0].active())
            length = length / kShortest * kShortest;
        lastTuplets_ = levels;
        if (e.note)
            closeBrackets(*e.note);
        if (length <= 0) {
            if (e.note)
                ++tooShort;
            continue;
        }
        const int from = static_cast<int>(records.size());
        writeEvent(e, length, measure, wholeMeasure && !levels[0].active());
        addExtras(e, from, levels);
    }
    lastTuplets_ = {};
    openTuplets_.clear();  // a tuplet ends with its measure
    if (tuplets)
        dropped(QStringLiteral("tuplet notes written with the nearest plain lengths"), tuplets);
    if (rounded)
        dropped(QStringLiteral("notes rounded to lengths a record holds"), rounded);
    if (tooShort)
        dropped(QStringLiteral("notes too short to write dropped"), tooShort);
    closeMeasure(measure);
}

std::optional<NoteTone> TrackBuilder::toneOf(const ParsedNote& n) {
    std::optional<music::ScaleNote> written = key_.noteOf(n.pitch);
    if (!written) {
        const int midi = n.pitch.midi();
        if (midi < 0 || midi > 127)
            return std::nullopt;
        written = key_.noteOfMidi(midi);
    }
    if (written->octave < -3 || written->octave > 3)
        return std::nullopt;
    const int shift = music::shiftOf(written->accidental).value_or(0);
    const int accidental = n.accidentalShown
                               ? music::accidentalFor(shift)
                               : accidentals_.codeToWrite(written->degree, written->octave, shift);
    accidentals_.apply(written->degree, written->octave, accidental);
    return NoteTone{static_cast<std::uint8_t>(written->degree),
                    static_cast<std::int8_t>(written->octave), static_cast<std::uint8_t>(accidental)};
}

void TrackBuilder::attachHarmonies(std::vector<Event>& events, const ParsedMeasure& measure,
                                   int staff) {
    int lost = 0;
    for (const ParsedHarmony& h : measure.harmonies) {
        if (h.staff != staff)
            continue;
        // The event it starts on, or the one it falls in.
        Event* on = nullptr;
        for (Event& e : events)
            if (e.start <= h.start + 1e-6)
                on = &e;
        // The same symbol twice at one note (a harmony and words that name it) is one.
        if (on && on->chordSymbol == h.text)
            continue;
        if (on && !on->chordSymbol.empty()) {
            for (Event& e : events)
                if (e.start > on->start && e.chordSymbol.empty()) {
                    on = &e;
                    break;
                }
        }
        if (!on || !on->chordSymbol.empty()) {
            ++lost;
            continue;
        }
        on->chordSymbol = h.text;
    }
    if (lost)
        dropped(QStringLiteral("chord symbols with no note of their own dropped"), lost);
}

void TrackBuilder::attachWords(std::vector<Event>& events, const ParsedMeasure& measure,
                               int staff) {
    int lost = 0;
    for (const ParsedWords& w : measure.words) {
        if (w.staff != staff)
            continue;
        // The event it stands at, or the one it falls in.
        Event* on = nullptr;
        for (Event& e : events)
            if (e.start <= w.start + 1e-6)
                on = &e;
        if (!on && !events.empty())
            on = &events.front();
        if (!on) {
            ++lost;
            continue;
        }
        // Two directions at one note on one side read as one text.
        std::u16string& side = w.below ? on->textBelow : on->textAbove;
        side = (side.empty() ? w.text : side + u' ' + w.text).substr(0, extension::kLongestNoteText);
    }
    if (lost)
        dropped(QStringLiteral("text directions dropped"), lost);
}

void TrackBuilder::openBrackets(const ParsedNote& n) {
    for (const ParsedNote::TupletBracket& b : n.tupletBrackets) {
        if (!b.start)
            continue;
        // A bracket that names no ratio of its own has its note's when it is the only one.
        std::pair<int, int> ratio{b.actual, b.normal};
        if ((ratio.first == 0 || ratio.second == 0) && openTuplets_.empty())
            ratio = {n.tupletActual, n.tupletNormal};
        openTuplets_[b.number] = {ratio, true};
    }
}

void TrackBuilder::closeBrackets(const ParsedNote& n) {
    for (auto& [number, open] : openTuplets_)
        open.second = false;  // started on an earlier note from now on
    for (const ParsedNote::TupletBracket& b : n.tupletBrackets)
        if (!b.start)
            openTuplets_.erase(b.number);
}

std::array<TupletMark, 2> TrackBuilder::tupletLevels(const ParsedNote& n) const {
    const int actual = n.tupletActual;
    const int normal = n.tupletNormal;
    const auto mark = [](int a, int m, bool starts) {
        return TupletMark{static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(m), starts};
    };
    const auto differs = [](const TupletMark& last, int a, int m) {
        return !(last.actual == a && last.normal == m);
    };
    // Two brackets open: the outer one's ratio, and the rest of the note's time modification
    // for the inner one.
    if (openTuplets_.size() >= 2) {
        const auto outer = openTuplets_.begin();
        const auto inner = std::next(outer);
        const auto [a1, m1] = outer->second.first;
        if (a1 >= 2 && m1 >= 1 && a1 <= extension::kMostTupletNotes &&
            m1 <= extension::kMostTupletNotes) {
            int a2 = actual * m1;
            int m2 = normal * a1;
            const int g = std::gcd(a2, m2);
            a2 /= g;
            m2 /= g;
            if (a2 >= 2 && a2 <= extension::kMostTupletNotes && m2 >= 1 &&
                m2 <= extension::kMostTupletNotes && a2 != m2) {
                const bool outerStarts = outer->second.second || differs(lastTuplets_[0], a1, m1);
                const bool innerStarts = inner->second.second || outerStarts ||
                                         differs(lastTuplets_[1], a2, m2);
                return {mark(a1, m1, outerStarts), mark(a2, m2, innerStarts)};
            }
        }
    }
    const bool starts = (!openTuplets_.empty() && openTuplets_.begin()->second.second) ||
                        differs(lastTuplets_[0], actual, normal);
    return {mark(actual, normal, starts), TupletMark{}};
}

void TrackBuilder::addExtras(const Event& event, int from, const std::array<TupletMark, 2>& tuplets) {
    bool firstNote = true;
    bool firstOfGroup = true;
    const int end = static_cast<int>(records.size());
    for (int r = from; r < end; ++r) {
        const std::optional<Item> item = music::decode(records[static_cast<std::size_t>(r)]);
        if (!item || !item->isNoteOrRest())
            continue;
        NoteExtra extra;
        if (tuplets[0].active()) {
            // The pieces of one note after its first continue its groups.
            extra.tuplets = tuplets;
            for (TupletMark& t : extra.tuplets)
                t.starts = t.starts && firstOfGroup;
            firstOfGroup = false;
        }
        if (firstNote) {
            firstNote = false;
            extra.articulations = event.articulations;
            extra.chordSymbol = event.chordSymbol;
            extra.textAbove = event.textAbove;
            extra.textBelow = event.textBelow;
            if (item->isDigit()) {
                int lost = 0;
                for (const ParsedNote* tone : event.tones) {
                    if (extra.tones.size() >= extension::kMostTones) {
                        ++lost;
                        continue;
                    }
                    if (const auto t = toneOf(*tone))
                        extra.tones.push_back(*t);
                    else
                        ++lost;
                }
                for (std::size_t g = 0; g < event.graces.size(); ++g) {
                    const ParsedNote& n = *event.graces[g];
                    const auto t = toneOf(n);
                    if (!t || extra.graces.size() >= extension::kMostGraces) {
                        ++lost;
                        continue;
                    }
                    // Its underlines from its value: an eighth has one, a sixteenth two.
                    int underlines = 0;
                    while (underlines < 3 && n.shown > 0 &&
                           static_cast<double>(music::kTicksPerQuarter >> underlines) > n.shown + 1e-6)
                        ++underlines;
                    extra.graces.push_back(GraceNote{*t, static_cast<std::uint8_t>(underlines),
                                                     static_cast<int>(g) >= event.gracesBefore});
                }
                if (lost)
                    dropped(QStringLiteral("chord tones and grace notes beyond the octave dots "
                                           "dropped"),
                            lost);
            } else if (!event.graces.empty()) {
                dropped(QStringLiteral("grace notes dropped"), static_cast<int>(event.graces.size()));
            }
        }
        if (!extra.empty())
            extras.emplace_back(r, std::move(extra));
    }
    if (firstNote && (!event.chordSymbol.empty() || event.articulations != 0))
        dropped(QStringLiteral("chord symbols with no note of their own dropped"));
    if (firstNote && (!event.textAbove.empty() || !event.textBelow.empty()))
        dropped(QStringLiteral("text directions dropped"));
}

void TrackBuilder::writeEvent(const Event& event, Ticks length, const ParsedMeasure& measure,
                              bool wholeMeasure) {
    if (event.isRest()) {
        writeRest(event, length, measure, wholeMeasure);
        return;
    }
    writeNote(event, length);
}

void TrackBuilder::writeRest(const Event& event, Ticks length, const ParsedMeasure& measure,
                             bool wholeMeasure) {
    const std::vector<music::NoteValue> values =
        wholeMeasure ? music::spellMeasureRest(length, measure.meterKnown ? measure.meter : meter_)
                     : music::spellRest(length);
    int first = -1, last = -1;
    for (const music::NoteValue& value : values) {
        for (const Item& item : value.items(Item::rest())) {
            const int index = append(item);
            if (item.isRest()) {
                last = index;
                first = first < 0 ? index : first;
            }
        }
    }
    if (event.note)
        connect(event, first, last);
}

void TrackBuilder::writeNote(const Event& event, Ticks length) {
    const ParsedNote& n = *event.note;
    std::optional<music::ScaleNote> written = key_.noteOf(n.pitch);
    if (!written) {
        const int midi = n.pitch.midi();
        if (midi < 0 || midi > 127) {
            dropped(QStringLiteral("notes beyond the range of octave dots written as rests"));
            writeRest(Event{}, length, ParsedMeasure{}, false);
            return;
        }
        // An accidental beyond a double sharp or flat in this key: the same sound, spelled
        // with the key's nearest degree.
        dropped(QStringLiteral("notes spelled with another degree of the same sound"));
        written = key_.noteOfMidi(midi);
    }
    const int shift = music::shiftOf(written->accidental).value_or(0);
    const int accidental = n.accidentalShown
                               ? music::accidentalFor(shift)
                               : accidentals_.codeToWrite(written->degree, written->octave, shift);
    accidentals_.apply(written->degree, written->octave, accidental);

    if (n.parenthesized)
        append(Item::mark(Item::Kind::OpenParen));
    int first = -1, last = -1;
    for (const music::NoteValue& value : music::spellNote(length)) {
        const Item head =
            Item::digit(written->degree, written->octave, 0, first < 0 ? accidental : 0);
        for (const Item& item : value.items(head)) {
            const int index = append(item);
            if (item.isDigit()) {
                // Pieces of one note are tied: the note sounds on through them.
                if (last >= 0)
                    addArc(last, index);
                last = index;
                first = first < 0 ? index : first;
            }
        }
    }
    if (n.parenthesized)
        append(Item::mark(Item::Kind::CloseParen));
    if (event.breath)
        append(Item::mark(Item::Kind::Breath));

    if (pendingTie_ >= 0 && pendingMidi_ == n.pitch.midi())
        addArc(pendingTie_, first);
    else if (pendingTie_ >= 0)
        dropped(QStringLiteral("ties with no note of their pitch to end on dropped"));
    pendingTie_ = n.tieStart ? last : -1;
    pendingMidi_ = n.pitch.midi();
    connect(event, first, last);
}

void TrackBuilder::connect(const Event& event, int first, int last) {
    if (first < 0)
        return;
    for (int number = 0; number < 16; ++number) {
        const auto bit = static_cast<std::uint16_t>(1u << number);
        int& open = openSlurs_[static_cast<std::size_t>(number)];
        if ((event.slurStops & bit) && open >= 0) {
            addArc(open, last);
            open = -1;
        }
        if (event.slurStarts & bit)
            open = first;
    }
    if (event.note && event.note->rest && pendingTie_ >= 0) {
        dropped(QStringLiteral("ties with no note of their pitch to end on dropped"));
        pendingTie_ = -1;
    }
    for (const ParsedLyric* lyric : event.lyrics) {
        if (first > kLastNamedItem) {
            dropped(QStringLiteral("syllables past the 32768th item of a track dropped"));
            continue;
        }
        const auto verse = static_cast<std::size_t>(lyric->verse);
        if (verses.size() < verse)
            verses.resize(verse);
        // A syllable whose word goes on is written with a hyphen after it.
        const QString text = lyric->continues ? lyric->text + QLatin1Char('-') : lyric->text;
        verses[verse - 1].emplace_back(first, text.toStdU16String());
    }
}

void TrackBuilder::closeMeasure(const ParsedMeasure& measure) {
    const int bar = append(Item::barLine(measure.barType));
    ++measures_;
    accidentals_.reset();
    if (!withBrackets_)
        return;
    if (measure.endingStarts && openBracket_ < 0) {
        openBracket_ = bar;
        openLabel_ = measure.endingLabel;
    }
    if (measure.endingStops && openBracket_ >= 0) {
        if (bar > kLastNamedItem) {
            dropped(QStringLiteral("volta brackets past the 32768th item of a track dropped"));
        } else {
            brackets.emplace_back(openBracket_, bar);
            bracketLabels.push_back(openLabel_.toStdU16String());
        }
        openBracket_ = -1;
    }
}

void TrackBuilder::finish() {
    if (openBracket_ >= 0 && !records.empty()) {
        const int last = static_cast<int>(records.size()) - 1;
        if (last <= kLastNamedItem) {
            brackets.emplace_back(openBracket_, last);
            bracketLabels.push_back(openLabel_.toStdU16String());
        }
        openBracket_ = -1;
    }
    int open = 0;
    for (int& slur : openSlurs_)
        open += slur >= 0 ? 1 : 0;
    if (open)
        report_.add(QStringLiteral("slurs with no end dropped"), measure_, open);
    if (pendingTie_ >= 0)
        report_.add(QStringLiteral("ties with no note of their pitch to end on dropped"), measure_);
}

}  // namespace qe::musicxml
