#pragma once

#include <memory>
#include <variant>
#include <vector>

#include "music/score.h"

namespace qe {

// The changes an edit makes to a score, each one operation of music::Score and undone by its
// inverse. They name places by index, as the score stands just before they are made, so a
// step of them can be replayed forwards and backwards on the score.
namespace change {

struct InsertEntry {
    int track = 0;
    int measure = 0;
    int entry = 0;
    music::Entry value;
};
struct RemoveEntry {
    int track = 0;
    int measure = 0;
    int entry = 0;
    music::Entry value;
};
// An item takes another record: an accidental moved to or from it.
struct SetRecord {
    int track = 0;
    music::EntryRef at;
    note before;
    note after;
};
// A bar line typed into measure `measure`: a new measure at that index takes its first `count`
// entries and is closed by `barLine`.
struct SplitMeasure {
    int track = 0;
    int measure = 0;
    int count = 0;
    note barLine;
};
// The inverse: measure `measure` (its `count` entries before `barLine`) gives up its bar line
// and merges into the measure after it.
struct MergeMeasure {
    int track = 0;
    int measure = 0;
    int count = 0;
    note barLine;
};
// A tie or volta put at (or taken from) its place in the score's list, whose order is the
// order a save writes them in.
struct AddTie {
    int index = 0;
    music::Tie tie;
};
struct RemoveTie {
    int index = 0;
    music::Tie tie;
};
struct AddVolta {
    int index = 0;
    music::Volta volta;
};
struct RemoveVolta {
    int index = 0;
    music::Volta volta;
};
// The syllables of one item, all verses.
struct SetSyllables {
    int track = 0;
    music::EntryRef at;
    std::vector<music::Syllable> before;
    std::vector<music::Syllable> after;
};
// What one item carries beyond its record: chord tones, grace notes, articulations, its tuplet
// and its chord symbol.
struct SetExtra {
    int track = 0;
    music::EntryRef at;
    NoteExtra before;
    NoteExtra after;
};
// The title block, key and time signature; held apart, so that the many small changes stay
// small.
struct SetHeader {
    std::shared_ptr<const doc_header> before;
    std::shared_ptr<const doc_header> after;
};
// Page size, margins and fonts.
struct SetFormat {
    std::shared_ptr<const format_track_header> before;
    std::shared_ptr<const format_track_header> after;
};

}  // namespace change

using Change = std::variant<change::InsertEntry, change::RemoveEntry, change::SetRecord,
                            change::SplitMeasure, change::MergeMeasure, change::AddTie,
                            change::RemoveTie, change::AddVolta, change::RemoveVolta,
                            change::SetSyllables, change::SetExtra, change::SetHeader,
                            change::SetFormat>;

// The change that undoes `c`.
Change inverseOf(const Change& c);

// Makes a change on the score. A change that does not fit the score as it stands (a place it
// does not have) throws Exception, and the score is left as it was.
void applyChange(music::Score& score, const Change& c);

// Bytes a change holds beyond its own size, for keeping an eye on what a long history costs.
std::size_t heldBytes(const Change& c);

}  // namespace qe
