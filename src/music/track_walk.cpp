#include "music/track_walk.h"

#include <algorithm>

#include "music/accidental_state.h"
#include "music/rhythm.h"

namespace qe::music {

int noteReached(const TrackWalk& walk, int itemIndex, bool forward) {
    if (itemIndex < 0 || static_cast<std::size_t>(itemIndex) >= walk.items.size())
        return -1;
    const WalkItem& at = walk.items[static_cast<std::size_t>(itemIndex)];
    if (at.item.isBarLine())
        return -1;
    if (at.note >= 0)
        return at.note;
    const auto after =
        std::upper_bound(walk.notes.begin(), walk.notes.end(), itemIndex,
                         [](int index, const SoundingNote& n) { return index < n.item; });
    if (forward)
        return after == walk.notes.end() ? -1 : static_cast<int>(after - walk.notes.begin());
    return static_cast<int>(after - walk.notes.begin()) - 1;
}

int itemOfEntry(const TrackWalk& walk, EntryRef at) {
    const auto found = std::lower_bound(
        walk.items.begin(), walk.items.end(), at,
        [](const WalkItem& w, const EntryRef& ref) { return w.at < ref; });
    return found != walk.items.end() && found->at == at
               ? static_cast<int>(found - walk.items.begin())
               : -1;
}

namespace {

// A tie between two items of a walk, first to last.
struct TiedItems {
    int from = 0;
    int to = 0;
};

void joinTies(TrackWalk& walk, const std::vector<TiedItems>& ties) {
    auto& notes = walk.notes;
    for (const TiedItems& tie : ties) {
        const int from = noteReached(walk, tie.from, true);
        const int to = noteReached(walk, tie.to, false);
        if (from < 0 || to <= from)
            continue;
        SoundingNote& a = notes[static_cast<std::size_t>(from)];
        SoundingNote& b = notes[static_cast<std::size_t>(to)];
        if (a.tiedTo < 0 || to < a.tiedTo)
            a.tiedTo = to;
        if (b.tiedFrom < 0 || from > b.tiedFrom)
            b.tiedFrom = from;
    }
    for (std::size_t i = 1; i < notes.size(); ++i) {
        const SoundingNote& before = notes[i - 1];
        SoundingNote& n = notes[i];
        n.tieContinues = n.tiedFrom == static_cast<int>(i - 1) && before.pitch && n.pitch &&
                         before.pitch->midi() == n.pitch->midi();
    }
    Ticks carried = 0;  // the length of the notes after this one that continue its sound
    for (std::size_t i = notes.size(); i-- > 0;) {
        SoundingNote& n = notes[i];
        n.soundLength = n.tieContinues ? 0 : n.length + carried;
        carried = n.tieContinues ? n.length + carried : 0;
    }
}

// What an item adds to its walk: a digit or rest starts a sounding note, a dash or dot
// lengthens the current one, a bar line closes its measure.
struct WalkState {
    const Attributes& attributes;
    AccidentalState accidentals;
    Ticks measureStart = 0;
    int current = -1;  // the note that dashes and dots lengthen
};

SoundingNote startNote(const WalkItem& w, int index, const NoteExtra* extra, WalkState& state) {
    SoundingNote n;
    n.item = index;
    n.measure = w.measure;
    n.start = w.start;
    n.length = w.length;
    n.items.push_back(index);
    const Item& item = w.item;
    if (item.isDigit()) {
        const Key& key = state.attributes.keyAt(w.measure);
        const auto pitchOf = [&](int degree, int octave, int accidental) {
            const int shift = state.accidentals.apply(degree, octave, accidental);
            return key.pitchOf(degree, octave, shift);
        };
        // Accidentals hold from left to right: grace notes before the note are read first,
        // then the note, its chord and the grace notes after it.
        if (extra)
            for (const GraceNote& g : extra->graces)
                if (!g.after)
                    n.graces.push_back(
                        {pitchOf(g.tone.degree, g.tone.octave, g.tone.accidental), false});
        n.pitch = pitchOf(item.degree, item.octave, item.accidental);
        if (extra) {
            for (const NoteTone& tone : extra->tones)
                n.chord.push_back(pitchOf(tone.degree, tone.octave, tone.accidental));
            for (const GraceNote& g : extra->graces)
                if (g.after)
                    n.graces.push_back(
                        {pitchOf(g.tone.degree, g.tone.octave, g.tone.accidental), true});
        }
    }
    if (extra)
        n.articulations = extra->articulations;
    return n;
}

void place(TrackWalk& walk, int index, const NoteExtra* extra, WalkState& state,
           Ticks measureLength) {
    WalkItem& w = walk.items[static_cast<std::size_t>(index)];
    switch (w.item.kind) {
        case Item::Kind::Digit:
        case Item::Kind::Rest:
            walk.notes.push_back(startNote(w, index, extra, state));
            state.current = static_cast<int>(walk.notes.size()) - 1;
            w.note = state.current;
            break;
        case Item::Kind::Dash:
        case Item::Kind::Dot:
            if (state.current >= 0) {
                SoundingNote& n = walk.notes[static_cast<std::size_t>(state.current)];
                n.length += w.length;
                n.items.push_back(index);
                w.note = state.current;
            }
            break;
        case Item::Kind::BarLine: {
            MeasureSpan& m = walk.measures.back();
            m.length = measureLength;
            m.endItem = index + 1;
            m.barType = w.item.barType;
            state.measureStart += measureLength;
            state.accidentals.reset();
            break;
        }
        default:
            break;
    }
}

}  // namespace

TrackWalk walkTrack(const Track& track, const Attributes& attributes, std::span<const Tie> ties) {
    TrackWalk walk;
    MeasureClock clock;
    WalkState state{attributes};
    int r = -1;  // the record of the entry, counting skipped ones
    for (std::size_t m = 0; m < track.measures.size(); ++m) {
        const std::vector<Entry>& entries = track.measures[m].entries;
        for (std::size_t e = 0; e < entries.size(); ++e) {
            ++r;
            const Entry& entry = entries[e];
            const std::optional<Item> item = decode(entry.record);
            if (!item)
                continue;
            const NoteExtra* extra = entry.extra && !item->isBarLine() ? entry.extra.get() : nullptr;
            const int index = static_cast<int>(walk.items.size());
            if (walk.measures.empty() || walk.measures.back().barType >= 0)
                walk.measures.push_back(MeasureSpan{state.measureStart, 0, index, index, -1});
            const MeasureClock::Span span = clock.place(*item, extra ? &extra->tuplets : nullptr);
            WalkItem& w = walk.items.emplace_back(WalkItem{
                *item, EntryRef{static_cast<int>(m), static_cast<int>(e)}, r,
                static_cast<int>(walk.measures.size()) - 1, state.measureStart + span.start,
                span.start, span.length, -1, -1});
            if (extra) {
                w.extra = static_cast<int>(walk.extras.size());
                walk.extras.push_back(*extra);
            }
            place(walk, index, extra, state, span.start);
        }
    }
    if (!walk.measures.empty() && walk.measures.back().barType < 0) {
        MeasureSpan& m = walk.measures.back();
        m.length = clock.position();
        m.endItem = static_cast<int>(walk.items.size());
    }
    std::vector<TiedItems> joined;
    joined.reserve(ties.size());
    for (const Tie& tie : ties) {
        const int from = itemOfEntry(walk, tie.from);
        const int to = itemOfEntry(walk, tie.to);
        if (from >= 0 && from < to)
            joined.push_back({from, to});
    }
    joinTies(walk, joined);
    return walk;
}

std::vector<TrackWalk> walkScore(const Score& score) {
    const Attributes attributes(score.header());
    std::vector<std::vector<Tie>> ties(static_cast<std::size_t>(score.trackCount()));
    for (const Tie& tie : score.ties())
        if (tie.track >= 0 && tie.track < score.trackCount())
            ties[static_cast<std::size_t>(tie.track)].push_back(tie);
    std::vector<TrackWalk> walks;
    walks.reserve(static_cast<std::size_t>(score.trackCount()));
    for (int t = 0; t < score.trackCount(); ++t)
        walks.push_back(walkTrack(score.track(t), attributes, ties[static_cast<std::size_t>(t)]));
    return walks;
}

}  // namespace qe::music
