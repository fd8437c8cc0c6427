#pragma once

#include <optional>
#include <span>
#include <vector>

#include "music/attributes.h"
#include "music/item.h"
#include "music/meter.h"
#include "music/pitch.h"
#include "music/score.h"

namespace qe::music {

// One item of a note track with its place in time. TrackWalk::items[i] is the item that
// item index i names (the index a `location` stores; locations hold it in 16 bits, so only
// the first 32768 items of a track can be named by one).
struct WalkItem {
    Item item;
    EntryRef at;      // its entry in the score's track
    int record = 0;   // index of its record in the track: skipped records take no item
    int measure = 0;  // 0-based, counting bar lines; a bar line is in the measure it closes
    Ticks start = 0;  // from the start of the track
    Ticks startInMeasure = 0;
    Ticks length = 0;  // its own time, by the rules of MeasureClock
    int note = -1;     // index in TrackWalk::notes of the sounding note it belongs to, or -1
    int extra = -1;    // index in TrackWalk::extras of what its record carries beyond it, or -1
};

// A grace note as it sounds: its pitch, and whether it comes after its note (后倚音).
struct GraceSound {
    Pitch pitch;
    bool after = false;
    friend bool operator==(const GraceSound&, const GraceSound&) = default;
};

// A digit or rest with the dashes and augmentation dots that lengthen it: those that follow
// it before the next digit or rest. A dash after a bar line goes on with the note before the
// bar line, which then lasts into the next measure; dashes and dots with no digit or rest
// before them in the track belong to no note, and their time passes in silence.
struct SoundingNote {
    int item = 0;     // item index of the digit or rest
    int measure = 0;  // the measure it starts in
    Ticks start = 0;  // from the start of the track
    Ticks length = 0;
    std::vector<int> items;  // item indices it covers: its digit, then its dashes and dots
    // A digit's pitch, with the accidentals held in its measure; nothing for a rest.
    std::optional<Pitch> pitch;
    // The other tones of a chord, in the order written, and the grace notes before and after.
    std::vector<Pitch> chord;
    std::vector<GraceSound> graces;
    std::uint32_t articulations = 0;  // articulation:: flags

    // The notes at the other ends of tie arcs (indices in TrackWalk::notes, or -1), whatever
    // their pitches: notation export writes them as ties or slurs. An arc end on a mark that
    // belongs to no note reaches the nearest note inside the arc; an end on a bar line makes
    // the arc join nothing, as the editor shows no arc there. With several arcs the nearest
    // note is given.
    int tiedFrom = -1;
    int tiedTo = -1;
    // Tied from the note just before it at the same MIDI pitch: the sound of that note goes on
    // through this one, which starts no sound of its own.
    bool tieContinues = false;
    // How long the sound that starts here lasts: its length, plus the lengths of the notes
    // that continue it through ties; 0 when this note continues a tie. A rest's is its length.
    Ticks soundLength = 0;
};

// The items of one measure: items [firstItem, endItem), its bar line last.
struct MeasureSpan {
    Ticks start = 0;   // from the start of the track
    Ticks length = 0;  // the time its items take, which may differ from the meter's measure
    int firstItem = 0;
    int endItem = 0;
    int barType = -1;  // of its closing bar line; -1 for a last measure the track leaves open
};

struct TrackWalk {
    std::vector<WalkItem> items;
    std::vector<SoundingNote> notes;
    // Every measure a bar line closes, and the last one when the track goes on after its last
    // bar line, as the layout shows them.
    std::vector<MeasureSpan> measures;
    // What records of the track carry beyond their items, as WalkItem::extra names them.
    std::vector<NoteExtra> extras;
};

// The note an arc end on item `itemIndex` reaches: the note that holds the item, else the first
// note after it (`forward`, an arc's first end) or the last note before it (its last end); -1
// for an end on a bar line or outside the track. Indices are those of TrackWalk::notes.
int noteReached(const TrackWalk& walk, int itemIndex, bool forward);

// Walks one track of a score, each measure in its key (a Key converts to one key throughout),
// joining the notes of the ties given (those of this track, whatever their `track` says).
// Tuplets change the time of their notes, and chords, grace notes and articulations go to the
// notes they stand on.
TrackWalk walkTrack(const Track& track, const Attributes& attributes,
                    std::span<const Tie> ties = {});

// Walks every track of a score, in the key of its title block (1=C when the title block names
// no key) and of its key changes, and with its ties.
std::vector<TrackWalk> walkScore(const Score& score);

// The item of a walk that stands for an entry of its track, or -1 for an entry that is no item.
int itemOfEntry(const TrackWalk& walk, EntryRef at);

}  // namespace qe::music
