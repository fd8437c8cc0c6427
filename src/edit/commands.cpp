#include "edit/commands.h"

#include <algorithm>

#include "edit/score_history.h"
#include "base/exception.h"

namespace qe {

using music::EntryRef;
using music::Item;
using music::Score;

void Edits::make(Change change) {
    applyChange(score, change);
    for (Position* p : followed_)
        *p = follow(*p, change);
    if (history && history->recording())
        history->record(std::move(change));
}

Position follow(const Position& at, const Change& c) {
    using namespace change;
    Position p = at;
    if (const auto* x = std::get_if<InsertEntry>(&c)) {
        if (x->track == p.track && x->measure == p.measure && p.entry >= x->entry)
            ++p.entry;
    } else if (const auto* x = std::get_if<RemoveEntry>(&c)) {
        if (x->track == p.track && x->measure == p.measure) {
            if (p.entry > x->entry) {
                --p.entry;
            } else if (p.entry == x->entry) {
                p.inner = false;
            }
        }
    } else if (const auto* x = std::get_if<SetRecord>(&c)) {
        if (x->track == p.track && EntryRef{p.measure, p.entry} == x->at && p.inner) {
            const std::optional<Item> item = music::decode(x->after);
            if (!item || item->accidental == 0 || !item->isNoteOrRest())
                p.inner = false;
        }
    } else if (const auto* x = std::get_if<SplitMeasure>(&c)) {
        if (x->track == p.track) {
            if (p.measure > x->measure) {
                ++p.measure;
            } else if (p.measure == x->measure && p.entry >= x->count) {
                ++p.measure;
                p.entry -= x->count;
            }
        }
    } else if (const auto* x = std::get_if<MergeMeasure>(&c)) {
        if (x->track == p.track) {
            if (p.measure == x->measure + 1) {
                p.measure = x->measure;
                p.entry += x->count;
            } else if (p.measure > x->measure + 1) {
                --p.measure;
            }
        }
    }
    return p;
}

namespace {

const music::Measure& measureOf(const Score& score, const Position& at) {
    return score.measure(at.track, at.measure);
}

std::optional<Item> itemAt(const Score& score, int track, EntryRef at) {
    return music::decode(score.entry(track, at).record);
}

note withAccidental(const Item& item, int accidental) {
    Item changed = item;
    changed.accidental = accidental;
    return music::encode(changed);
}

// Takes away, as recorded changes, the ties on an item, last first so that each index is
// right when the step is replayed.
void removeTiesOn(Edits& edits, int track, EntryRef at) {
    const auto& ties = edits.score.ties();
    for (int i = static_cast<int>(ties.size()) - 1; i >= 0; --i) {
        const music::Tie& tie = ties[static_cast<std::size_t>(i)];
        if (tie.track == track && (tie.from == at || tie.to == at))
            edits.make(change::RemoveTie{i, tie});
    }
}

void removeVoltasOn(Edits& edits, int track, int measure) {
    const auto& voltas = edits.score.voltas();
    for (int i = static_cast<int>(voltas.size()) - 1; i >= 0; --i) {
        const music::Volta& volta = voltas[static_cast<std::size_t>(i)];
        if (volta.track == track && (volta.from == measure || volta.to == measure))
            edits.make(change::RemoveVolta{i, volta});
    }
}

// Removes an item with what rests on it: its ties, then the item with its syllables.
void removeItem(Edits& edits, int track, EntryRef at) {
    removeTiesOn(edits, track, at);
    const music::Entry& entry = edits.score.entry(track, at);
    edits.make(change::RemoveEntry{track, at.measure, at.entry, entry});
}

// Takes an accidental off its note.
void dropAccidental(Edits& edits, int track, EntryRef at) {
    const Item item = *itemAt(edits.score, track, at);
    const note before = edits.score.entry(track, at).record;
    edits.make(change::SetRecord{track, at, before, withAccidental(item, 0)});
}

// Gives up the bar line of measure `m`, whose content joins the measure after it.
void mergeIntoNext(Edits& edits, int track, int m) {
    removeVoltasOn(edits, track, m);
    // A key or time change at the start of the next measure would stand inside the merged one.
    if (track == 0 && edits.score.header().markAt(m + 1)) {
        doc_header header = edits.score.header();
        std::erase_if(header.marks,
                      [&](const MeasureMark& mark) { return mark.measure == std::uint32_t(m + 1); });
        setHeader(edits, header);
    }
    const music::Measure& measure = edits.score.measure(track, m);
    edits.make(change::MergeMeasure{track, m, measure.contentCount(), measure.entries.back().record});
}

}  // namespace

int itemBefore(const music::Measure& measure, int entry) {
    for (int e = std::min(entry, measure.contentCount()) - 1; e >= 0; --e)
        if (music::decode(measure.entries[static_cast<std::size_t>(e)].record))
            return e;
    return -1;
}

bool isTiedInto(const Score& score, int track, EntryRef at) {
    for (const music::Tie& tie : score.ties())
        if (tie.track == track && tie.to == at)
            return true;
    return false;
}

Position insertItem(Edits& edits, const Position& caret, const Item& item) {
    if (item.isBarLine())
        return insertBarLine(edits, caret, item.barType);
    Item made = item;
    Position at = caret;
    if (caret.inner) {
        // The accidental in front of the caret goes to what is typed, or nowhere.
        const EntryRef x{caret.measure, caret.entry};
        const Item owner = *itemAt(edits.score, caret.track, x);
        if (made.isNoteOrRest() && made.accidental == 0)
            made.accidental = owner.accidental;
        dropAccidental(edits, caret.track, x);
        at.inner = false;
    }
    edits.make(change::InsertEntry{at.track, at.measure, at.entry, music::Entry{music::encode(made), {}, {}}});
    return {at.track, at.measure, at.entry + 1, false};
}

Position insertBarLine(Edits& edits, const Position& caret, int barType) {
    Position at = caret;
    if (caret.inner) {
        // Cut off from its digit, the accidental is not kept.
        dropAccidental(edits, caret.track, {caret.measure, caret.entry});
        at.inner = false;
    }
    edits.make(change::SplitMeasure{at.track, at.measure, at.entry, music::encode(Item::barLine(barType))});
    return {at.track, at.measure + 1, 0, false};
}

std::optional<Position> deleteBefore(Edits& edits, const Position& caret) {
    if (caret.inner) {
        dropAccidental(edits, caret.track, {caret.measure, caret.entry});
        return Position{caret.track, caret.measure, caret.entry, false};
    }
    const int previous = itemBefore(measureOf(edits.score, caret), caret.entry);
    if (previous >= 0) {
        removeItem(edits, caret.track, {caret.measure, previous});
        return Position{caret.track, caret.measure, caret.entry - 1, false};
    }
    if (caret.measure > 0) {
        const int moved = edits.score.measure(caret.track, caret.measure - 1).contentCount();
        mergeIntoNext(edits, caret.track, caret.measure - 1);
        return Position{caret.track, caret.measure - 1, caret.entry + moved, false};
    }
    return std::nullopt;
}

std::optional<Position> deleteAfter(Edits& edits, const Position& caret) {
    const music::Measure& measure = measureOf(edits.score, caret);
    const Position stay{caret.track, caret.measure, caret.entry, false};
    const int next = itemAtOrAfter(measure, caret.entry);
    if (next < measure.contentCount()) {
        removeItem(edits, caret.track, {caret.measure, next});
        return stay;
    }
    if (caret.measure + 1 < edits.score.measureCount(caret.track) && measure.closed()) {
        mergeIntoNext(edits, caret.track, caret.measure);
        return stay;
    }
    return std::nullopt;
}

std::optional<Selection> ordered(const Score& score, const Position& a, const Position& b) {
    if (a.track != b.track || !isValid(score, a) || !isValid(score, b))
        return std::nullopt;
    return before(score, b, a) ? Selection{b, a} : Selection{a, b};
}

namespace {

// What a selection covers, stop by stop: the items whose digits it holds, the accidentals it
// holds without their digits, and the measures whose bar lines it holds.
struct Covered {
    struct Item {
        EntryRef at;
        bool whole = false;  // the digit is selected: the item goes (an accidental alone otherwise)
    };
    std::vector<Item> items;  // in reading order, measure ends among them
    std::vector<int> barLines;
    // In reading order: each covered thing, items by entry, bar lines by measure (entry -1).
    std::vector<EntryRef> sequence;
    // Whether the first stop of a measure is selected.
    std::vector<int> measuresBegun;
};

Covered coveredBy(const Score& score, const Selection& s) {
    Covered covered;
    const int t = s.first.track;
    for (int m = s.first.measure; m <= s.last.measure; ++m) {
        const music::Measure& measure = score.measure(t, m);
        const std::vector<Stop> stops = stopsOf(measure);
        const int from = m == s.first.measure ? stopIndex(measure, s.first) : 0;
        const int to = m == s.last.measure ? stopIndex(measure, s.last)
                                           : static_cast<int>(stops.size());
        if (from == 0 && to > 0)
            covered.measuresBegun.push_back(m);
        for (int i = from; i < to; ++i) {
            const Stop& stop = stops[static_cast<std::size_t>(i)];
            if (stop.entry == measure.contentCount()) {
                covered.barLines.push_back(m);
                covered.sequence.push_back({m, -1});
                continue;
            }
            const bool accidental = !stop.inner && i + 1 < static_cast<int>(stops.size()) &&
                                    stops[static_cast<std::size_t>(i) + 1].inner;
            if (accidental) {
                // The digit is the next stop: selected too, unless the selection ends here.
                const bool digit = i + 1 < to;
                covered.items.push_back({{m, stop.entry}, digit});
                covered.sequence.push_back({m, stop.entry});
                if (digit)
                    ++i;
                continue;
            }
            covered.items.push_back({{m, stop.entry}, true});
            covered.sequence.push_back({m, stop.entry});
        }
    }
    return covered;
}

// The syllables of a copied item, in verse order: those a paste takes back.
void copySyllables(const music::Entry& entry, int item, Fragment& fragment) {
    const std::size_t first = fragment.syllables.size();
    for (const music::Syllable& s : entry.syllables)
        if (s.verse >= 0 && s.verse < kMostFragmentVerses &&
            s.text().size() <= kMostSyllableLength)
            fragment.syllables.push_back({item, s.verse, s.text()});
    std::stable_sort(fragment.syllables.begin() + static_cast<std::ptrdiff_t>(first),
                     fragment.syllables.end(),
                     [](const auto& a, const auto& b) { return a.verse < b.verse; });
}

// The pasted items take their syllables. Only the verses the fragment brings change: the
// items are new, and the notes around them keep theirs.
void pasteSyllables(Edits& edits, int track, const std::vector<std::optional<EntryRef>>& made,
                    const Fragment& fragment) {
    const std::vector<Fragment::Syllable>& all = fragment.syllables;
    for (std::size_t k = 0; k < all.size();) {
        const int item = all[k].item;
        std::vector<music::Syllable> brought;
        for (; k < all.size() && all[k].item == item; ++k) {
            music::Syllable s;
            s.verse = all[k].verse;
            s.record.text = all[k].text;
            s.record.place = location(1, track, 0);
            brought.push_back(std::move(s));
        }
        const auto i = static_cast<std::size_t>(item);
        if (item < 0 || i >= made.size() || !made[i] || !edits.score.isContentItem(track, *made[i]))
            continue;
        const EntryRef on = *made[i];
        const std::vector<music::Syllable>& before = edits.score.entry(track, on).syllables;
        std::vector<music::Syllable> after;
        for (const music::Syllable& s : before)
            if (std::none_of(brought.begin(), brought.end(),
                             [&](const music::Syllable& b) { return b.verse == s.verse; }))
                after.push_back(s);
        after.insert(after.end(), brought.begin(), brought.end());
        std::stable_sort(after.begin(), after.end(),
                         [](const auto& a, const auto& b) { return a.verse < b.verse; });
        edits.make(change::SetSyllables{track, on, before, std::move(after)});
    }
}

}  // namespace

Fragment copyOf(const Score& score, const Selection& s) {
    Fragment fragment;
    if (s.first.track != s.last.track)
        return fragment;
    const int t = s.first.track;
    const Covered covered = coveredBy(score, s);
    std::vector<std::pair<EntryRef, int>> index;  // items copied, by their place
    std::vector<std::pair<int, int>> bars;        // bar lines copied, by measure
    for (const EntryRef& at : covered.sequence) {
        if (at.entry < 0) {
            bars.emplace_back(at.measure, static_cast<int>(fragment.items.size()));
            fragment.items.push_back(Item::barLine(score.measure(t, at.measure).barType()));
            continue;
        }
        const auto it = std::find_if(covered.items.begin(), covered.items.end(),
                                     [&](const Covered::Item& c) { return c.at == at; });
        if (it == covered.items.end() || !it->whole)
            continue;
        index.emplace_back(at, static_cast<int>(fragment.items.size()));
        if (const NoteExtra& extra = score.entry(t, at).extras(); !extra.empty())
            fragment.extras.emplace_back(static_cast<int>(fragment.items.size()), extra);
        copySyllables(score.entry(t, at), static_cast<int>(fragment.items.size()), fragment);
        fragment.items.push_back(*itemAt(score, t, at));
    }
    const auto itemIndex = [&](EntryRef at) {
        for (const auto& [place, i] : index)
            if (place == at)
                return i;
        return -1;
    };
    const auto barIndex = [&](int m) {
        for (const auto& [measure, i] : bars)
            if (measure == m)
                return i;
        return -1;
    };
    for (const music::Tie& tie : score.ties()) {
        if (tie.track != t)
            continue;
        const int from = itemIndex(tie.from);
        const int to = itemIndex(tie.to);
        if (from >= 0 && to > from)
            fragment.shapes.push_back({true, from, to, {}});
    }
    // A bracket is inside when its bars are copied and its first measure begins in the
    // selection.
    for (const music::Volta& volta : score.voltas()) {
        if (volta.track != t)
            continue;
        const int from = barIndex(volta.from);
        const int to = barIndex(volta.to);
        const bool begun = std::find(covered.measuresBegun.begin(), covered.measuresBegun.end(),
                                     volta.from) != covered.measuresBegun.end();
        if (from >= 0 && to >= from && begun)
            fragment.shapes.push_back({false, from, to, volta.label});
    }
    return fragment;
}

Position cut(Edits& edits, const Selection& s) {
    const Covered covered = coveredBy(edits.score, s);
    const int t = s.first.track;
    Position caret = s.last;
    // Backwards, so that every place still stands where it was found when its turn comes.
    std::vector<Position> pending;
    for (const EntryRef& at : covered.sequence)
        pending.push_back({t, at.measure, at.entry, false});
    Edits::Following following(edits);
    for (Position& p : pending)
        following.add(&p);
    following.add(&caret);
    for (std::size_t i = pending.size(); i-- > 0;) {
        const Position p = pending[i];
        const EntryRef original = covered.sequence[i];
        if (original.entry < 0) {
            mergeIntoNext(edits, t, p.measure);
            continue;
        }
        const auto it = std::find_if(covered.items.begin(), covered.items.end(),
                                     [&](const Covered::Item& c) { return c.at == original; });
        if (it->whole)
            removeItem(edits, t, {p.measure, p.entry});
        else
            dropAccidental(edits, t, {p.measure, p.entry});
    }
    caret.inner = caret.inner && isValid(edits.score, caret);
    return caret;
}

Position paste(Edits& edits, const Position& caret, const Fragment& fragment) {
    Position at = caret;
    // What each item of the fragment became: an item's place, or a bar line's measure.
    std::vector<std::optional<EntryRef>> made(fragment.items.size());
    for (std::size_t i = 0; i < fragment.items.size(); ++i) {
        const Item& item = fragment.items[i];
        if (item.isBarLine()) {
            at = insertBarLine(edits, at, item.barType);
            made[i] = EntryRef{at.measure - 1, -1};
            continue;
        }
        at = insertItem(edits, at, item);
        made[i] = EntryRef{at.measure, at.entry - 1};
    }
    const auto place = [&](int i) -> std::optional<EntryRef> {
        return i >= 0 && static_cast<std::size_t>(i) < made.size() ? made[static_cast<std::size_t>(i)]
                                                                  : std::nullopt;
    };
    // What the notes carry goes on them again, where they can carry it.
    for (const auto& [i, extra] : fragment.extras) {
        const std::optional<EntryRef> on = place(i);
        if (!on || on->entry < 0 || !edits.score.isContentItem(at.track, *on))
            continue;
        const std::optional<Item> item = edits.score.entry(at.track, *on).item();
        NoteExtra kept = extra;
        if (!item->isDigit()) {
            kept.tones.clear();
            kept.graces.clear();
        }
        if (!item->isNoteOrRest() || kept.empty())
            continue;
        edits.make(change::SetExtra{at.track, *on, edits.score.entry(at.track, *on).extras(),
                                    std::move(kept)});
    }
    pasteSyllables(edits, at.track, made, fragment);
    for (const Fragment::Shape& s : fragment.shapes) {
        const std::optional<EntryRef> from = place(s.from);
        const std::optional<EntryRef> to = place(s.to);
        if (!from || !to)
            continue;
        if (s.arc && from->entry >= 0 && to->entry >= 0 && *from < *to)
            toggleTie(edits, music::Tie{at.track, *from, *to});
        else if (!s.arc && from->entry < 0 && to->entry < 0 && from->measure <= to->measure)
            toggleVolta(edits, music::Volta{at.track, from->measure, to->measure, s.label});
    }
    return at;
}

std::optional<music::Tie> tieOf(const Score& score, const Selection& s) {
    if (s.first == s.last || s.first.track != s.last.track)
        return std::nullopt;
    const int t = s.first.track;
    // The item at the first position: a position at a measure's end stands before no item.
    const music::Measure& firstMeasure = score.measure(t, s.first.measure);
    if (s.first.entry >= firstMeasure.contentCount())
        return std::nullopt;
    const EntryRef from{s.first.measure, s.first.entry};
    // The item just before the last position, in its measure.
    EntryRef to{s.last.measure, s.last.entry};
    if (!s.last.inner) {
        const int e = itemBefore(score.measure(t, s.last.measure), s.last.entry);
        if (e < 0)
            return std::nullopt;
        to.entry = e;
    }
    if (!(from < to))
        return std::nullopt;
    return music::Tie{t, from, to};
}

std::optional<music::Volta> voltaOf(const Score& score, const Selection& s,
                                    const std::u16string& label) {
    if (s.first == s.last || s.first.track != s.last.track)
        return std::nullopt;
    const music::Measure& lastMeasure = score.measure(s.last.track, s.last.measure);
    // A selection ending at the start of a measure reaches only the measure before.
    const bool reaches = s.last.entry >= lastMeasure.contentCount() ||
                         stopIndex(lastMeasure, s.last) > 0;
    const int end = reaches ? s.last.measure : s.last.measure - 1;
    if (end < s.first.measure)
        return std::nullopt;
    return music::Volta{s.first.track, s.first.measure, end, label};
}

void toggleTie(Edits& edits, const music::Tie& tie) {
    const auto& ties = edits.score.ties();
    for (std::size_t i = 0; i < ties.size(); ++i) {
        if (ties[i] == tie) {
            edits.make(change::RemoveTie{static_cast<int>(i), tie});
            return;
        }
    }
    edits.make(change::AddTie{static_cast<int>(ties.size()), tie});
}

void toggleVolta(Edits& edits, const music::Volta& volta) {
    const auto& voltas = edits.score.voltas();
    for (std::size_t i = 0; i < voltas.size(); ++i) {
        const music::Volta& v = voltas[i];
        if (v.track == volta.track && v.from == volta.from && v.to == volta.to) {
            edits.make(change::RemoveVolta{static_cast<int>(i), v});
            return;
        }
    }
    edits.make(change::AddVolta{static_cast<int>(voltas.size()), volta});
}

int layLyrics(Edits& edits, int track, int verse, int fromMeasure,
              const std::vector<std::u16string>& syllables) {
    const Score& score = edits.score;
    if (track < 0 || track >= score.trackCount() || verse < 0 || fromMeasure < 0)
        return static_cast<int>(syllables.size());
    std::size_t next = 0;
    for (int m = fromMeasure; m < score.measureCount(track); ++m) {
        const int count = score.measure(track, m).contentCount();
        for (int e = 0; e < count; ++e) {
            const EntryRef at{m, e};
            const music::Entry& entry = score.entry(track, at);
            const std::optional<Item> item = entry.item();
            if (!item)
                continue;
            std::vector<music::Syllable> kept;
            for (const music::Syllable& s : entry.syllables)
                if (s.verse != verse)
                    kept.push_back(s);
            const bool takes = item->isDigit() && !isTiedInto(score, track, at);
            if (takes && next < syllables.size()) {
                const std::u16string& text = syllables[next++];
                if (!text.empty()) {
                    music::Syllable s;
                    s.verse = verse;
                    s.record.text = text;
                    s.record.place = location(1, track, 0);
                    // Kept in verse order, as a save writes them.
                    const auto it = std::find_if(kept.begin(), kept.end(), [&](const auto& k) {
                        return k.verse > verse;
                    });
                    kept.insert(it, std::move(s));
                }
            }
            if (kept != entry.syllables)
                edits.make(change::SetSyllables{track, at, entry.syllables, std::move(kept)});
        }
    }
    return static_cast<int>(syllables.size() - next);
}

void setHeader(Edits& edits, const doc_header& header) {
    edits.make(change::SetHeader{std::make_shared<const doc_header>(edits.score.header()),
                                 std::make_shared<const doc_header>(header)});
}

void setFormat(Edits& edits, const format_track_header& format) {
    edits.make(change::SetFormat{std::make_shared<const format_track_header>(edits.score.format()),
                                 std::make_shared<const format_track_header>(format)});
}

}  // namespace qe
