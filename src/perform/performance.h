#pragma once

#include <optional>
#include <string>
#include <vector>

#include "music/meter.h"
#include "music/pitch.h"
#include "music/score.h"
#include "perform/form.h"

namespace qe::sound {

// The tempo counts quarter notes per minute, whatever the time signature: a plain digit is a
// quarter in every meter. The document stores no tempo the editor reads (its tempo records
// are carried unchanged), so the tempo is chosen when the score is played.
inline constexpr int kDefaultTempo = 90;
inline constexpr int kMinTempo = 20;
inline constexpr int kMaxTempo = 400;
// General MIDI programs 0..127; 0 is the acoustic grand piano.
inline constexpr int kDefaultProgram = 0;
inline constexpr int kVelocity = 100;
// A breath mark ends the sound before it this much early, at most a quarter of that sound, so
// that a short note keeps most of its length: a sixteenth, a sixth of a second at 90.
inline constexpr Ticks kBreathTicks = music::kTicksPerQuarter / 4;
// An accented note is struck harder.
inline constexpr int kAccentVelocity = 124;
// A grace note sounds a thirty-second, at most a quarter of the note it is taken from.
inline constexpr Ticks kGraceTicks = music::kTicksPerQuarter / 8;

struct PerformanceOptions {
    int tempo = kDefaultTempo;      // quarter notes per minute, kept within kMinTempo..kMaxTempo
    int program = kDefaultProgram;  // for every track without one of its own below
    std::vector<int> programs{};    // per track; values outside 0..127 give `program`
};

// One sound of a track: a MIDI key from its start for its length.
struct SoundedNote {
    Ticks start = 0;
    Ticks length = 0;
    int key = 60;
    int item = 0;  // item index of the digit that strikes it
    int velocity = kVelocity;
    friend bool operator==(const SoundedNote&, const SoundedNote&) = default;
};

// From `at` on, the track's current note is the digit or rest at item index `item`; -1 when
// nothing is (after its last note, or while the other tracks go on without it).
struct Cue {
    Ticks at = 0;
    int item = -1;
    friend bool operator==(const Cue&, const Cue&) = default;
};

// The tempo from a time on, in quarter notes per minute.
struct TempoChange {
    Ticks at = 0;
    int tempo = kDefaultTempo;
    friend bool operator==(const TempoChange&, const TempoChange&) = default;
};

// The key and time signature from a time on, where a played measure changes them.
struct SignatureChange {
    Ticks at = 0;
    music::Key key;
    music::Meter meter;
    bool free = false;
};

struct PerformedTrack {
    int channel = 0;  // MIDI channel 0..15; 9, the percussion channel, is never given out
    int program = kDefaultProgram;
    // In order of their starts. The tones of a chord sound together; otherwise each note ends
    // before the next begins.
    std::vector<SoundedNote> notes;
    std::vector<Cue> cues;           // in time order, two cues never at the same time
};

// A score as it sounds: every note of every track in time, in ticks of the music core from
// the start of the performance, with repeats and volta brackets unfolded (see unfold).
//
// - Pitches come from the track walk: the key of the title block, octave dots, and the
//   accidentals held in their measure. A digit outside the MIDI range is shown but not sounded.
// - A digit sounds for its own time and that of its dashes and augmentation dots; a dash
//   after a bar line holds it into the next measure when that measure is played right after
//   it, and is silent where the playing reaches it otherwise (after a jump back, in a second
//   ending). Notes tied at one pitch sound once for their summed length. Rests and
//   parentheses sound nothing.
// - A breath mark right after a sound releases it early by kBreathTicks, at most a quarter of
//   the sound. Marks change the sound as the notation's table says (music/note_marks.h): a
//   staccato note sounds half its time, an accented one is struck harder, a tenuto one sounds
//   its whole time whatever follows it.
// - Every tone of a chord sounds as long as its note. Grace notes before a note take their
//   time from its start, those after it (后倚音) from its end, kGraceTicks each at most.
// - A fermata holds its note about twice as long: the tempo halves for the time of the note.
// - A track's channel is its index, past 9, cycling through the fifteen melodic channels.
struct Performance {
    // The time in seconds of a time in ticks, through the tempo changes.
    double seconds(Ticks time) const;
    // The time in ticks of a time in seconds, rounded down.
    Ticks ticksAt(double seconds) const;

    // Where an item of a track is played first; nothing for an item that is never played
    // (a track or item that does not exist).
    std::optional<Ticks> firstTimeOf(int track, int item) const;
    // The same for the item of an entry of the score, or for the first item after it (the
    // bar line, for the end of a measure).
    std::optional<Ticks> firstTimeAt(int track, music::EntryRef at) const;
    // The entry of the score an item of a track stands for, as the score was when performed;
    // nothing for an item the track does not have.
    std::optional<music::EntryRef> entryOf(int track, int item) const;

    std::u16string title;
    music::Meter meter;
    music::Key key;
    int tempo = kDefaultTempo;  // at the start
    // The tempo at the start, then where a played measure's tempo mark changes it: the marks
    // of the score scaled by the tempo chosen over the score's own first mark, so that a
    // faster choice plays every part faster. Never empty once performed.
    std::vector<TempoChange> tempos;
    // The key and meter at the start, then where a played measure changes them.
    std::vector<SignatureChange> signatures;
    Ticks length = 0;  // the end of the last played measure
    std::vector<PlayedMeasure> form;
    std::vector<PerformedTrack> tracks;

    // For each track, each item's entry in the score, its measure and its start in it; for
    // each measure, where it is first played (-1 if never).
    struct ItemPlace {
        music::EntryRef entry;
        int measure = 0;
        Ticks offset = 0;
    };
    std::vector<std::vector<ItemPlace>> itemPlaces;
    std::vector<Ticks> firstPlayed;
};

// Performs a score.
Performance perform(const music::Score& score, const PerformanceOptions& options = {});

// The MIDI channel of a track index.
int channelOfTrack(int track);

}  // namespace qe::sound
