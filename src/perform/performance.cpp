#include "perform/performance.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "music/note_marks.h"
#include "music/track_walk.h"

namespace qe::sound {

namespace {

// What the marks of a note do to its sound, as the notation's table says.
struct Marked {
    bool shortened = false;
    bool stressed = false;
    bool held = false;
    bool fullLength = false;
};

Marked markedSound(std::uint32_t articulations) {
    Marked marked;
    if (articulations == 0)
        return marked;
    for (const music::NoteMark& mark : music::noteMarks()) {
        if (!(articulations & mark.flag))
            continue;
        switch (mark.sound) {
            case music::MarkSound::None:
                break;
            case music::MarkSound::Shortened:
                marked.shortened = true;
                break;
            case music::MarkSound::Stressed:
                marked.stressed = true;
                break;
            case music::MarkSound::Held:
                marked.held = true;
                break;
            case music::MarkSound::FullLength:
                marked.fullLength = true;
                break;
        }
    }
    return marked;
}

// Builds the sounds and cues of one track, measure by played measure.
class TrackPerformer {
public:
    TrackPerformer(const music::TrackWalk& walk, PerformedTrack& out) : walk_(walk), out_(out) {}

    // The times of the notes held by a fermata, as played.
    std::vector<std::pair<Ticks, Ticks>> fermatas_;

    void play(const PlayedMeasure& played) {
        if (static_cast<std::size_t>(played.measure) >= walk_.measures.size())
            return;  // this track has no such measure: it rests while the others play it
        const music::MeasureSpan& span = walk_.measures[static_cast<std::size_t>(played.measure)];
        for (int i = span.firstItem; i < span.endItem; ++i)
            place(i, played.start);
    }

    void finish() {
        release(false);
        clearCue();
    }

private:
    void place(int index, Ticks measureStart) {
        const music::WalkItem& w = walk_.items[static_cast<std::size_t>(index)];
        const Ticks at = measureStart + w.startInMeasure;
        if (w.item.kind == music::Item::Kind::Breath) {
            if (open_ && openEnd_ == at)
                release(true);
            return;
        }
        if (w.note < 0 || w.length <= 0)
            return;
        const music::SoundingNote& n = walk_.notes[static_cast<std::size_t>(w.note)];
        // Only a note's own digit strikes it: a dash or dot that does not follow its note in
        // the playing (after a jump back, or in a second ending) holds nothing and is silent.
        const bool own = index == n.item;
        if (own || (cueNote_ == w.note && cueEnd_ == at))
            showCue(w.note, n.item, at, w.length);
        else
            clearCue();
        const bool holds = openNote_ == w.note;
        const bool tiedOn = own && n.tieContinues && openNote_ == w.note - 1;
        if (open_ && openEnd_ == at && (holds || tiedOn)) {
            openEnd_ += w.length;
            openNote_ = w.note;
            return;
        }
        release(false);
        const Marked marked = markedSound(own ? n.articulations : 0);
        if (marked.held)
            fermatas_.push_back({at, at + n.length});
        if (own && n.pitch) {
            const int key = n.pitch->midi();
            if (key >= 0 && key <= 127) {
                open_ = true;
                openNote_ = w.note;
                openStart_ = at;
                openEnd_ = at + w.length;
                openKey_ = key;
                openItem_ = n.item;
                openVelocity_ = marked.stressed ? kAccentVelocity : kVelocity;
                openShortened_ = marked.shortened && !marked.fullLength;
                openFullLength_ = marked.fullLength;
                openChord_.clear();
                for (const music::Pitch& tone : n.chord)
                    if (tone.midi() >= 0 && tone.midi() <= 127)
                        openChord_.push_back(tone.midi());
                openAfter_.clear();
                openBefore_.clear();
                for (const music::GraceSound& g : n.graces)
                    if (g.pitch.midi() >= 0 && g.pitch.midi() <= 127)
                        (g.after ? openAfter_ : openBefore_).push_back(g.pitch.midi());
            }
        }
    }

    // Ends the open sound; a breath takes a little off its end. Grace notes take their time
    // from it, those before at its start and those after at its end.
    void release(bool breath) {
        if (!open_)
            return;
        Ticks start = openStart_;
        Ticks length = openEnd_ - openStart_;
        if (breath && !openFullLength_)
            length -= std::min(kBreathTicks, length / 4);
        const auto graces = static_cast<Ticks>(openBefore_.size() + openAfter_.size());
        const Ticks grace = graces > 0 ? std::min(kGraceTicks, length / (4 * graces)) : 0;
        if (grace > 0) {
            for (int key : openBefore_) {
                out_.notes.push_back(SoundedNote{start, grace, key, openItem_, kVelocity});
                start += grace;
                length -= grace;
            }
            length -= grace * static_cast<Ticks>(openAfter_.size());
        }
        const Ticks sounded = openShortened_ ? std::max<Ticks>(1, length / 2) : length;
        out_.notes.push_back(SoundedNote{start, sounded, openKey_, openItem_, openVelocity_});
        for (int key : openChord_)
            out_.notes.push_back(SoundedNote{start, sounded, key, openItem_, openVelocity_});
        if (grace > 0) {
            Ticks at = start + length;
            for (int key : openAfter_) {
                out_.notes.push_back(SoundedNote{at, grace, key, openItem_, kVelocity});
                at += grace;
            }
        }
        open_ = false;
        openNote_ = -1;
    }

    // The note of an item becomes current: a cue when another note does, or the same one
    // again after a jump back; a cue of nothing over a gap.
    void showCue(int note, int item, Ticks at, Ticks length) {
        if (cueNote_ >= 0 && at > cueEnd_)
            clearCue();
        if (note != cueNote_ || at != cueEnd_)
            out_.cues.push_back(Cue{at, item});
        cueNote_ = note;
        cueEnd_ = at + length;
    }

    void clearCue() {
        if (cueNote_ >= 0)
            out_.cues.push_back(Cue{cueEnd_, -1});
        cueNote_ = -1;
    }

    const music::TrackWalk& walk_;
    PerformedTrack& out_;
    bool open_ = false;
    int openNote_ = -1;  // the last note whose time the open sound holds
    Ticks openStart_ = 0;
    Ticks openEnd_ = 0;
    int openKey_ = 0;
    int openItem_ = 0;
    int openVelocity_ = kVelocity;
    bool openShortened_ = false;
    bool openFullLength_ = false;
    std::vector<int> openChord_;   // the other tones of the open sound's chord
    std::vector<int> openBefore_;  // grace notes before it, and after it
    std::vector<int> openAfter_;
    int cueNote_ = -1;
    Ticks cueEnd_ = 0;
};

}  // namespace

int channelOfTrack(int track) {
    const int melodic = track % 15;
    return melodic < 9 ? melodic : melodic + 1;
}

namespace {

// The tempo in force at a time.
int tempoAt(const std::vector<TempoChange>& tempos, Ticks at) {
    int tempo = tempos.front().tempo;
    for (const TempoChange& c : tempos) {
        if (c.at > at)
            break;
        tempo = c.tempo;
    }
    return tempo;
}

// Halves the tempo over every time a fermata holds (in any track), restoring it after.
void holdFermatas(std::vector<TempoChange>& tempos, const std::vector<std::pair<Ticks, Ticks>>& held) {
    if (held.empty())
        return;
    std::vector<Ticks> times{0};
    for (const TempoChange& c : tempos)
        times.push_back(c.at);
    for (const auto& [from, to] : held) {
        times.push_back(from);
        times.push_back(to);
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    // The held times merged, so that whether a time is held is one search.
    std::vector<std::pair<Ticks, Ticks>> spans = held;
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<Ticks, Ticks>> merged;
    for (const auto& span : spans) {
        if (!merged.empty() && span.first <= merged.back().second)
            merged.back().second = std::max(merged.back().second, span.second);
        else
            merged.push_back(span);
    }
    std::vector<TempoChange> changes;
    for (Ticks at : times) {
        const auto after = std::upper_bound(
            merged.begin(), merged.end(), at,
            [](Ticks t, const std::pair<Ticks, Ticks>& span) { return t < span.first; });
        const bool holds = after != merged.begin() && at < std::prev(after)->second;
        const int tempo = std::clamp(tempoAt(tempos, at) / (holds ? 2 : 1), kMinTempo, kMaxTempo);
        if (changes.empty() || changes.back().tempo != tempo)
            changes.push_back(TempoChange{at, tempo});
    }
    tempos = std::move(changes);
}

double ticksPerSecondAt(int tempo) {
    return std::clamp(tempo, kMinTempo, kMaxTempo) * static_cast<double>(music::kTicksPerQuarter) /
           60.0;
}

}  // namespace

double Performance::seconds(Ticks time) const {
    if (tempos.empty())
        return static_cast<double>(time) / ticksPerSecondAt(tempo);
    double total = 0;
    for (std::size_t i = 0; i < tempos.size(); ++i) {
        const Ticks from = i == 0 ? 0 : tempos[i].at;
        if (time <= from && i > 0)
            break;
        const Ticks to = i + 1 < tempos.size() ? std::min(time, tempos[i + 1].at) : time;
        total += static_cast<double>(to - from) / ticksPerSecondAt(tempos[i].tempo);
    }
    return total;
}

Ticks Performance::ticksAt(double seconds) const {
    if (tempos.empty())
        return static_cast<Ticks>(std::floor(seconds * ticksPerSecondAt(tempo)));
    double left = seconds;
    for (std::size_t i = 0; i < tempos.size(); ++i) {
        const Ticks from = i == 0 ? 0 : tempos[i].at;
        const double rate = ticksPerSecondAt(tempos[i].tempo);
        if (i + 1 < tempos.size()) {
            const double span = static_cast<double>(tempos[i + 1].at - from) / rate;
            if (left >= span) {
                left -= span;
                continue;
            }
        }
        return from + static_cast<Ticks>(std::floor(left * rate));
    }
    return 0;
}

std::optional<Ticks> Performance::firstTimeOf(int track, int item) const {
    if (track < 0 || static_cast<std::size_t>(track) >= itemPlaces.size())
        return std::nullopt;
    const auto& places = itemPlaces[static_cast<std::size_t>(track)];
    if (item < 0 || static_cast<std::size_t>(item) >= places.size())
        return std::nullopt;
    const ItemPlace& place = places[static_cast<std::size_t>(item)];
    const Ticks measureStart = firstPlayed[static_cast<std::size_t>(place.measure)];
    if (measureStart < 0)
        return std::nullopt;
    return measureStart + place.offset;
}

std::optional<Ticks> Performance::firstTimeAt(int track, music::EntryRef at) const {
    if (track < 0 || static_cast<std::size_t>(track) >= itemPlaces.size())
        return std::nullopt;
    const auto& places = itemPlaces[static_cast<std::size_t>(track)];
    const auto found = std::lower_bound(
        places.begin(), places.end(), at,
        [](const ItemPlace& place, const music::EntryRef& ref) { return place.entry < ref; });
    return firstTimeOf(track, static_cast<int>(found - places.begin()));
}

std::optional<music::EntryRef> Performance::entryOf(int track, int item) const {
    if (track < 0 || static_cast<std::size_t>(track) >= itemPlaces.size())
        return std::nullopt;
    const auto& places = itemPlaces[static_cast<std::size_t>(track)];
    if (item < 0 || static_cast<std::size_t>(item) >= places.size())
        return std::nullopt;
    return places[static_cast<std::size_t>(item)].entry;
}

Performance perform(const music::Score& score, const PerformanceOptions& options) {
    Performance p;
    const doc_header& header = score.header();
    p.title = header.title;
    p.meter = music::Meter::of(header);
    p.key = music::Key::fromTitle(header).value_or(music::Key());
    p.tempo = std::clamp(options.tempo, kMinTempo, kMaxTempo);
    const std::vector<music::TrackWalk> walks = music::walkScore(score);
    p.form = unfold(walks, score.voltas(), header.marks);
    if (!p.form.empty())
        p.length = p.form.back().start + p.form.back().length;

    // Tempo, key and meter as the measures are played.
    const music::Attributes attributes(header);
    const int own = header.tempo.quartersPerMinute();
    const double scale = own > 0 ? static_cast<double>(p.tempo) / own : 1.0;
    p.tempos.push_back(TempoChange{0, p.tempo});
    p.signatures.push_back(SignatureChange{0, p.key, p.meter, header.freeMeter});
    for (const PlayedMeasure& played : p.form) {
        const music::MeasureAttributes& a = attributes.at(played.measure);
        const int marked = a.tempo.quartersPerMinute();
        const int tempo = marked > 0 ? std::clamp(static_cast<int>(std::lround(marked * scale)),
                                                  kMinTempo, kMaxTempo)
                                     : p.tempo;
        if (tempo != p.tempos.back().tempo) {
            if (played.start == p.tempos.back().at)
                p.tempos.back().tempo = tempo;
            else
                p.tempos.push_back(TempoChange{played.start, tempo});
        }
        const SignatureChange& last = p.signatures.back();
        if (!(a.key == last.key) || !(a.meter == last.meter) || a.free != last.free) {
            if (played.start == last.at)
                p.signatures.back() = SignatureChange{played.start, a.key, a.meter, a.free};
            else
                p.signatures.push_back(SignatureChange{played.start, a.key, a.meter, a.free});
        }
    }

    std::size_t measures = 0;
    for (const music::TrackWalk& walk : walks)
        measures = std::max(measures, walk.measures.size());
    p.firstPlayed.assign(measures, -1);
    for (const PlayedMeasure& played : p.form)
        if (p.firstPlayed[static_cast<std::size_t>(played.measure)] < 0)
            p.firstPlayed[static_cast<std::size_t>(played.measure)] = played.start;

    std::vector<std::pair<Ticks, Ticks>> fermatas;
    for (std::size_t t = 0; t < walks.size(); ++t) {
        const music::TrackWalk& walk = walks[t];
        PerformedTrack& track = p.tracks.emplace_back();
        track.channel = channelOfTrack(static_cast<int>(t));
        const int own = t < options.programs.size() ? options.programs[t] : -1;
        track.program = own >= 0 && own <= 127                           ? own
                        : options.program >= 0 && options.program <= 127 ? options.program
                                                                         : kDefaultProgram;
        TrackPerformer performer(walk, track);
        for (const PlayedMeasure& played : p.form)
            performer.play(played);
        performer.finish();
        std::stable_sort(track.notes.begin(), track.notes.end(),
                         [](const SoundedNote& a, const SoundedNote& b) { return a.start < b.start; });
        fermatas.insert(fermatas.end(), performer.fermatas_.begin(), performer.fermatas_.end());

        auto& places = p.itemPlaces.emplace_back();
        places.reserve(walk.items.size());
        for (const music::WalkItem& w : walk.items)
            places.push_back(Performance::ItemPlace{w.at, w.measure, w.startInMeasure});
    }
    holdFermatas(p.tempos, fermatas);
    return p;
}

}  // namespace qe::sound
