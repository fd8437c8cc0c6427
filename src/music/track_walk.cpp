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

namespace {

void joinTies(TrackWalk& walk, const TrackTies& ties) {
    auto& notes = walk.notes;
    for (const ItemTie& tie : ties) {
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

}  // namespace

TrackWalk walkTrack(const std::vector<note>& records, const Attributes& attributes,
                    const TrackTies& ties, std::span<const PlacedNoteExtra> extras) {
    TrackWalk walk;
    MeasureClock clock;
    AccidentalState accidentals;
    Ticks measureStart = 0;
    int current = -1;  // the note that dashes and dots lengthen
    std::size_t nextExtra = 0;
    for (std::size_t r = 0; r < records.size(); ++r) {
        const std::optional<Item> item = decode(records[r]);
        if (!item)
            continue;
        while (nextExtra < extras.size() && extras[nextExtra].record < r)
            ++nextExtra;
        const NoteExtra* extra = nextExtra < extras.size() && extras[nextExtra].record == r &&
                                         !item->isBarLine()
                                     ? &extras[nextExtra].extra
                                     : nullptr;
        const int index = static_cast<int>(walk.items.size());
        if (walk.measures.empty() || walk.measures.back().barType >= 0)
            walk.measures.push_back(MeasureSpan{measureStart, 0, index, index, -1});
        const MeasureClock::Span span = clock.place(*item, extra ? &extra->tuplets : nullptr);
        WalkItem& w = walk.items.emplace_back(
            WalkItem{*item, static_cast<int>(r), static_cast<int>(walk.measures.size()) - 1,
                     measureStart + span.start, span.start, span.length, -1, -1});
        if (extra) {
            w.extra = static_cast<int>(walk.extras.size());
            walk.extras.push_back(*extra);
        }
        switch (item->kind) {
            case Item::Kind::Digit:
            case Item::Kind::Rest: {
                SoundingNote n;
                n.item = index;
                n.measure = w.measure;
                n.start = w.start;
                n.length = w.length;
                n.items.push_back(index);
                if (item->isDigit()) {
                    const Key& key = attributes.keyAt(w.measure);
                    const auto pitchOf = [&](int degree, int octave, int accidental) {
                        const int shift = accidentals.apply(degree, octave, accidental);
                        return key.pitchOf(degree, octave, shift);
                    };
                    if (extra)
                        for (const GraceNote& g : extra->graces)
                            if (!g.after)
                                n.graces.push_back({pitchOf(g.tone.degree, g.tone.octave,
                                                            g.tone.accidental), false});
                    n.pitch = pitchOf(item->degree, item->octave, item->accidental);
                    if (extra) {
                        for (const NoteTone& tone : extra->tones)
                            n.chord.push_back(
                                pitchOf(tone.degree, tone.octave, tone.accidental));
                        for (const GraceNote& g : extra->graces)
                            if (g.after)
                                n.graces.push_back({pitchOf(g.tone.degree, g.tone.octave,
                                                            g.tone.accidental), true});
                    }
                }
                if (extra)
                    n.articulations = extra->articulations;
                walk.notes.push_back(std::move(n));
                current = static_cast<int>(walk.notes.size()) - 1;
                w.note = current;
                break;
            }
            case Item::Kind::Dash:
            case Item::Kind::Dot:
                if (current >= 0) {
                    SoundingNote& n = walk.notes[static_cast<std::size_t>(current)];
                    n.length += w.length;
                    n.items.push_back(index);
                    w.note = current;
                }
                break;
            case Item::Kind::BarLine: {
                MeasureSpan& m = walk.measures.back();
                m.length = span.start;
                m.endItem = index + 1;
                m.barType = item->barType;
                measureStart += span.start;
                accidentals.reset();
                break;
            }
            default:
                break;
        }
    }
    if (!walk.measures.empty() && walk.measures.back().barType < 0) {
        MeasureSpan& m = walk.measures.back();
        m.length = clock.position();
        m.endItem = static_cast<int>(walk.items.size());
    }
    joinTies(walk, ties);
    return walk;
}

std::vector<TrackWalk> walkDocument(const QeDocument& doc) {
    const Attributes attributes(doc.header);
    const auto& tracks = doc.noteTracks();
    const std::vector<TrackTies> ties = readTies(doc.formatRecords(), tracks.size());
    std::vector<TrackWalk> walks;
    walks.reserve(tracks.size());
    const std::vector<PlacedNoteExtra>& extras = doc.header.noteExtras;
    std::size_t next = 0;
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        const std::size_t first = next;
        while (next < extras.size() && extras[next].track == t)
            ++next;
        walks.push_back(walkTrack(tracks[t].content.items, attributes, ties[t],
                                  std::span(extras).subspan(first, next - first)));
    }
    return walks;
}

}  // namespace qe::music
