#include "music/score.h"

#include <algorithm>

#include "base/exception.h"

namespace qe::music {

namespace {

bool isBarLineRecord(const note& record) {
    const std::optional<Item> item = decode(record);
    return item && item->isBarLine();
}

}  // namespace

const NoteExtra& Entry::extras() const {
    static const NoteExtra none;
    return extra ? *extra : none;
}

void Entry::setExtras(NoteExtra value) {
    if (value.empty())
        extra.reset();
    else
        extra = std::make_shared<const NoteExtra>(std::move(value));
}

bool Measure::closed() const {
    return !entries.empty() && isBarLineRecord(entries.back().record);
}

int Measure::barType() const {
    if (!closed())
        return 0;
    return decode(entries.back().record)->barType;
}

Score::Score() = default;

const Track& Score::track(int t) const {
    if (t < 0 || t >= trackCount())
        throw Exception(kOutOfRange, "no note track " + std::to_string(t));
    return tracks_[static_cast<std::size_t>(t)];
}

Track& Score::trackAt(int t) {
    return const_cast<Track&>(track(t));
}

const Measure& Score::measure(int t, int m) const {
    const Track& tr = track(t);
    if (m < 0 || m >= static_cast<int>(tr.measures.size()))
        throw Exception(kOutOfRange, "no measure " + std::to_string(m) + " in track " +
                                         std::to_string(t));
    return tr.measures[static_cast<std::size_t>(m)];
}

Measure& Score::measureAt(int t, int m) {
    return const_cast<Measure&>(measure(t, m));
}

const Entry& Score::entry(int t, EntryRef at) const {
    const Measure& m = measure(t, at.measure);
    if (at.entry < 0 || at.entry >= static_cast<int>(m.entries.size()))
        throw Exception(kOutOfRange, "no entry " + std::to_string(at.entry) + " in measure " +
                                         std::to_string(at.measure));
    return m.entries[static_cast<std::size_t>(at.entry)];
}

bool Score::isContentItem(int t, EntryRef at) const {
    if (t < 0 || t >= trackCount() || at.measure < 0 || at.measure >= measureCount(t))
        return false;
    const Measure& m = tracks_[static_cast<std::size_t>(t)].measures[static_cast<std::size_t>(
        at.measure)];
    if (at.entry < 0 || at.entry >= m.contentCount())
        return false;
    return decode(m.entries[static_cast<std::size_t>(at.entry)].record).has_value();
}

const std::vector<int>& Score::verseCounts(int t) const {
    static const std::vector<int> kNone;
    if (t < 0 || static_cast<std::size_t>(t) >= verseCounts_.size())
        return kNone;
    return verseCounts_[static_cast<std::size_t>(t)];
}

void Score::countSyllables(int t, const std::vector<Syllable>& syllables, int sign) {
    if (syllables.empty())
        return;
    if (verseCounts_.size() <= static_cast<std::size_t>(t))
        verseCounts_.resize(static_cast<std::size_t>(t) + 1);
    std::vector<int>& counts = verseCounts_[static_cast<std::size_t>(t)];
    for (const Syllable& s : syllables) {
        if (s.verse < 0)
            continue;
        if (counts.size() <= static_cast<std::size_t>(s.verse))
            counts.resize(static_cast<std::size_t>(s.verse) + 1, 0);
        counts[static_cast<std::size_t>(s.verse)] += sign;
    }
    while (!counts.empty() && counts.back() == 0)
        counts.pop_back();
}

void Score::setTracks(std::vector<Track> tracks) {
    tracks_ = std::move(tracks);
    verseCounts_.assign(tracks_.size(), {});
    for (std::size_t t = 0; t < tracks_.size(); ++t)
        for (const Measure& m : tracks_[t].measures)
            for (const Entry& e : m.entries)
                countSyllables(static_cast<int>(t), e.syllables, 1);
}

void Score::setShapes(std::vector<Tie> ties, std::vector<Volta> voltas) {
    ties_ = std::move(ties);
    voltas_ = std::move(voltas);
}

void Score::notify(const ScoreChange& change) {
    // A copy: an observer may stop observing while it hears of the change.
    const std::vector<ScoreObserver*> observers = observers_;
    for (ScoreObserver* o : observers)
        o->scoreChanged(change);
}

void Score::announceReset() {
    notify({ScoreChange::Kind::Reset});
}

void Score::addObserver(ScoreObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void Score::removeObserver(ScoreObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer),
                     observers_.end());
}

void Score::insertEntry(int t, int m, int e, Entry entry) {
    Measure& measure = measureAt(t, m);
    if (e < 0 || e > measure.contentCount())
        throw Exception(kOutOfRange, "an entry can only go before the bar line of its measure");
    if (isBarLineRecord(entry.record))
        throw Exception(kWrongKind, "a bar line is typed by splitting its measure");
    countSyllables(t, entry.syllables, 1);
    measure.entries.insert(measure.entries.begin() + e, std::move(entry));
    for (Tie& tie : ties_) {
        if (tie.track != t)
            continue;
        for (EntryRef* end : {&tie.from, &tie.to})
            if (end->measure == m && end->entry >= e)
                ++end->entry;
    }
    notify({ScoreChange::Kind::Measures, t, m, 1, 1});
}

Entry Score::removeEntry(int t, int m, int e) {
    Measure& measure = measureAt(t, m);
    if (e < 0 || e >= measure.contentCount())
        throw Exception(kOutOfRange, "no entry to remove there; a bar line goes by a merge");
    for (const Tie& tie : ties_)
        if (tie.track == t && (tie.from == EntryRef{m, e} || tie.to == EntryRef{m, e}))
            throw Exception(kMismatch, "a tie still rests on the entry to remove");
    Entry removed = std::move(measure.entries[static_cast<std::size_t>(e)]);
    measure.entries.erase(measure.entries.begin() + e);
    countSyllables(t, removed.syllables, -1);
    for (Tie& tie : ties_) {
        if (tie.track != t)
            continue;
        for (EntryRef* end : {&tie.from, &tie.to})
            if (end->measure == m && end->entry > e)
                --end->entry;
    }
    notify({ScoreChange::Kind::Measures, t, m, 1, 1});
    return removed;
}

void Score::setRecord(int t, EntryRef at, note record) {
    if (!isContentItem(t, at) || !decode(record) || isBarLineRecord(record))
        throw Exception(kWrongKind, "only an item before the bar line takes another record");
    measureAt(t, at.measure).entries[static_cast<std::size_t>(at.entry)].record = record;
    notify({ScoreChange::Kind::Measures, t, at.measure, 1, 1});
}

void Score::setSyllables(int t, EntryRef at, std::vector<Syllable> syllables) {
    if (!isContentItem(t, at))
        throw Exception(kWrongKind, "syllables stand on items before the bar line");
    Entry& entry = measureAt(t, at.measure).entries[static_cast<std::size_t>(at.entry)];
    countSyllables(t, entry.syllables, -1);
    entry.syllables = std::move(syllables);
    countSyllables(t, entry.syllables, 1);
    notify({ScoreChange::Kind::Measures, t, at.measure, 1, 1});
}

void Score::setExtra(int t, EntryRef at, NoteExtra extra) {
    if (!isContentItem(t, at))
        throw Exception(kWrongKind, "extras stand on items before the bar line");
    Entry& entry = measureAt(t, at.measure).entries[static_cast<std::size_t>(at.entry)];
    if ((!extra.tones.empty() || !extra.graces.empty()) && !entry.item()->isDigit())
        throw Exception(kWrongKind, "chord tones and grace notes stand on digits");
    entry.setExtras(std::move(extra));
    notify({ScoreChange::Kind::Measures, t, at.measure, 1, 1});
}

void Score::splitMeasure(int t, int m, int count, note barLine) {
    Track& track = trackAt(t);
    Measure& old = measureAt(t, m);
    if (count < 0 || count > old.contentCount())
        throw Exception(kOutOfRange, "a bar line can only split a measure before its own");
    if (!isBarLineRecord(barLine))
        throw Exception(kWrongKind, "a measure is closed by a bar line");
    Measure first;
    first.entries.reserve(static_cast<std::size_t>(count) + 1);
    std::move(old.entries.begin(), old.entries.begin() + count, std::back_inserter(first.entries));
    first.entries.push_back(Entry{barLine, {}, {}});
    old.entries.erase(old.entries.begin(), old.entries.begin() + count);
    track.measures.insert(track.measures.begin() + m, std::move(first));
    for (Tie& tie : ties_) {
        if (tie.track != t)
            continue;
        for (EntryRef* end : {&tie.from, &tie.to}) {
            if (end->measure > m) {
                ++end->measure;
            } else if (end->measure == m && end->entry >= count) {
                ++end->measure;
                end->entry -= count;
            }
        }
    }
    for (Volta& volta : voltas_) {
        if (volta.track != t)
            continue;
        if (volta.from >= m)
            ++volta.from;
        if (volta.to >= m)
            ++volta.to;
    }
    notify({ScoreChange::Kind::Measures, t, m, 1, 2});
    shiftMarks(t, m, 1);
}

note Score::mergeMeasure(int t, int m) {
    Track& track = trackAt(t);
    Measure& closing = measureAt(t, m);
    if (m + 1 >= static_cast<int>(track.measures.size()) || !closing.closed())
        throw Exception(kOutOfRange, "only a measure with one after it gives up its bar line");
    for (const Volta& volta : voltas_)
        if (volta.track == t && (volta.from == m || volta.to == m))
            throw Exception(kMismatch, "a volta still rests on the bar line to remove");
    if (t == 0 && header_.markAt(m + 1))
        throw Exception(kMismatch, "a measure mark still rests on the bar line to remove");
    const int moved = closing.contentCount();
    const note barLine = closing.entries.back().record;
    Measure& next = track.measures[static_cast<std::size_t>(m) + 1];
    next.entries.insert(next.entries.begin(), std::make_move_iterator(closing.entries.begin()),
                        std::make_move_iterator(closing.entries.begin() + moved));
    track.measures.erase(track.measures.begin() + m);
    for (Tie& tie : ties_) {
        if (tie.track != t)
            continue;
        for (EntryRef* end : {&tie.from, &tie.to}) {
            if (end->measure == m + 1) {
                end->measure = m;
                end->entry += moved;
            } else if (end->measure > m + 1) {
                --end->measure;
            }
        }
    }
    for (Volta& volta : voltas_) {
        if (volta.track != t)
            continue;
        if (volta.from > m)
            --volta.from;
        if (volta.to > m)
            --volta.to;
    }
    notify({ScoreChange::Kind::Measures, t, m, 2, 1});
    shiftMarks(t, m + 1, -1);
    return barLine;
}

void Score::insertTie(int index, Tie tie) {
    if (index < 0 || index > static_cast<int>(ties_.size()))
        throw Exception(kOutOfRange, "no such place in the list of ties");
    if (!isContentItem(tie.track, tie.from) || !isContentItem(tie.track, tie.to) ||
        !(tie.from < tie.to))
        throw Exception(kMismatch, "a tie joins two items of one track, the first before the last");
    ties_.insert(ties_.begin() + index, tie);
    notify({ScoreChange::Kind::Ties, tie.track});
}

Tie Score::removeTie(int index) {
    if (index < 0 || index >= static_cast<int>(ties_.size()))
        throw Exception(kOutOfRange, "no such tie");
    const Tie tie = ties_[static_cast<std::size_t>(index)];
    ties_.erase(ties_.begin() + index);
    notify({ScoreChange::Kind::Ties, tie.track});
    return tie;
}

void Score::insertVolta(int index, Volta volta) {
    if (index < 0 || index > static_cast<int>(voltas_.size()))
        throw Exception(kOutOfRange, "no such place in the list of voltas");
    if (volta.track < 0 || volta.track >= trackCount() || volta.from < 0 ||
        volta.from > volta.to || volta.to >= measureCount(volta.track))
        throw Exception(kMismatch, "a volta stands over measures of one track, in order");
    voltas_.insert(voltas_.begin() + index, std::move(volta));
    notify({ScoreChange::Kind::Voltas, voltas_[static_cast<std::size_t>(index)].track});
}

Volta Score::removeVolta(int index) {
    if (index < 0 || index >= static_cast<int>(voltas_.size()))
        throw Exception(kOutOfRange, "no such volta");
    Volta volta = std::move(voltas_[static_cast<std::size_t>(index)]);
    voltas_.erase(voltas_.begin() + index);
    notify({ScoreChange::Kind::Voltas, volta.track});
    return volta;
}

void Score::shiftMarks(int t, int after, int by) {
    if (t != 0)
        return;
    bool moved = false;
    for (MeasureMark& mark : header_.marks) {
        if (static_cast<std::int64_t>(mark.measure) > after) {
            mark.measure = static_cast<std::uint32_t>(static_cast<std::int64_t>(mark.measure) + by);
            moved = true;
        }
    }
    if (moved)
        notify({ScoreChange::Kind::Header});
}

void Score::setHeader(const doc_header& header) {
    header_ = header;
    notify({ScoreChange::Kind::Header});
}

void Score::setFormat(const format_track_header& format) {
    format_ = format;
    notify({ScoreChange::Kind::Format});
}

}  // namespace qe::music
