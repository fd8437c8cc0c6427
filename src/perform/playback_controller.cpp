#include "perform/playback_controller.h"

#include <algorithm>

namespace qe::sound {

PlaybackController::PlaybackController(const Clock& clock, Synth& synth)
    : clock_(clock), synth_(synth) {}

PlaybackController::~PlaybackController() {
    silence();
}

void PlaybackController::load(std::shared_ptr<const Performance> performance) {
    stop();
    performance_ = std::move(performance);
    events_.clear();
    cues_.clear();
    if (!performance_)
        return;
    for (std::size_t t = 0; t < performance_->tracks.size(); ++t) {
        const PerformedTrack& track = performance_->tracks[t];
        const int index = static_cast<int>(t);
        for (const SoundedNote& n : track.notes) {
            events_.push_back(Event{n.start, Event::kOn, index, n.key, n.velocity});
            events_.push_back(Event{n.start + n.length, Event::kOff, index, n.key, 0});
        }
        for (const Cue& cue : track.cues)
            events_.push_back(Event{cue.at, Event::kCue, index, cue.item, 0});
    }
    std::stable_sort(events_.begin(), events_.end(), [](const Event& a, const Event& b) {
        return a.at != b.at ? a.at < b.at : a.kind < b.kind;
    });
    cues_.assign(performance_->tracks.size(), -1);
}

void PlaybackController::play(Ticks from) {
    if (!performance_)
        return;
    silence();
    from = std::clamp<Ticks>(from, 0, performance_->length);
    for (const PerformedTrack& track : performance_->tracks)
        synth_.programChange(track.channel, track.program);
    for (std::size_t t = 0; t < performance_->tracks.size(); ++t) {
        const PerformedTrack& track = performance_->tracks[t];
        // The cue in force at `from`, and the note sounding across it.
        const auto cue = std::upper_bound(track.cues.begin(), track.cues.end(), from,
                                          [](Ticks at, const Cue& c) { return at < c.at; });
        setCue(static_cast<int>(t), cue == track.cues.begin() ? -1 : std::prev(cue)->item);
        // Every tone of a chord sounding across `from` starts at the same time as the last
        // note struck before it.
        auto note =
            std::upper_bound(track.notes.begin(), track.notes.end(), from,
                             [](Ticks at, const SoundedNote& n) { return at < n.start; });
        const Ticks struck = note == track.notes.begin() ? -1 : std::prev(note)->start;
        while (note != track.notes.begin() && std::prev(note)->start == struck) {
            const SoundedNote& n = *--note;
            if (n.start < from && from < n.start + n.length) {
                synth_.noteOn(track.channel, n.key, n.velocity);
                sounding_.insert({track.channel, n.key});
            }
        }
    }
    // Everything at `from` itself is still to come, but for cues already set above.
    next_ = static_cast<std::size_t>(
        std::lower_bound(events_.begin(), events_.end(), from,
                         [](const Event& e, Ticks at) { return e.at < at; }) -
        events_.begin());
    while (next_ < events_.size() && events_[next_].at == from && events_[next_].kind != Event::kOn)
        ++next_;
    startTicks_ = from;
    startClock_ = clock_.seconds();
    state_ = State::Playing;
}

void PlaybackController::pause() {
    if (state_ != State::Playing)
        return;
    pausedAt_ = position();
    silence();
    state_ = State::Paused;
}

void PlaybackController::resume() {
    if (state_ == State::Paused)
        play(pausedAt_);
}

void PlaybackController::stop() {
    silence();
    for (std::size_t t = 0; t < cues_.size(); ++t)
        setCue(static_cast<int>(t), -1);
    state_ = State::Stopped;
    pausedAt_ = 0;
    startTicks_ = 0;
    next_ = 0;
}

void PlaybackController::documentEdited() {
    stop();
    performance_.reset();
    events_.clear();
    cues_.clear();
}

void PlaybackController::advance() {
    if (state_ != State::Playing)
        return;
    const Ticks now = position();
    while (next_ < events_.size() && events_[next_].at <= now)
        apply(events_[next_++]);
    if (next_ >= events_.size() && now >= performance_->length)
        stop();
}

std::optional<double> PlaybackController::nextDue() const {
    if (state_ != State::Playing)
        return std::nullopt;
    const Ticks at = next_ < events_.size() ? events_[next_].at : performance_->length;
    return startClock_ + performance_->seconds(std::max<Ticks>(0, at - startTicks_));
}

std::vector<CueChange> PlaybackController::takeCueChanges() {
    std::vector<CueChange> out;
    out.swap(changes_);
    return out;
}

Ticks PlaybackController::position() const {
    switch (state_) {
        case State::Playing: {
            const double elapsed = std::max(0.0, clock_.seconds() - startClock_);
            // A hair of slack, so that an event due exactly now is not left for a later call
            // by the rounding of seconds to ticks.
            return startTicks_ + performance_->ticksAt(elapsed + 1e-9);
        }
        case State::Paused:
            return pausedAt_;
        default:
            return 0;
    }
}

void PlaybackController::silence() {
    if (!sounding_.empty())
        synth_.allNotesOff();
    sounding_.clear();
}

void PlaybackController::setCue(int track, int item) {
    int& current = cues_[static_cast<std::size_t>(track)];
    if (current == item)
        return;
    current = item;
    changes_.push_back(CueChange{track, item});
}

void PlaybackController::apply(const Event& e) {
    const int channel = performance_->tracks[static_cast<std::size_t>(e.track)].channel;
    switch (e.kind) {
        case Event::kOn:
            synth_.noteOn(channel, e.value, e.velocity);
            sounding_.insert({channel, e.value});
            break;
        case Event::kOff:
            if (sounding_.erase({channel, e.value}) > 0)
                synth_.noteOff(channel, e.value);
            break;
        case Event::kCue:
            setCue(e.track, e.value);
            break;
    }
}

}  // namespace qe::sound
