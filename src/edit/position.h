#pragma once

#include <algorithm>
#include <optional>
#include <vector>

#include "music/score.h"

namespace qe {

// A caret position in a score: in front of an item of a measure, or at the measure's end
// (before its bar line). A note or rest with an accidental has a second position, between
// the accidental and its digit (`inner`): what is typed there goes between the two.
//
// `entry` is the entry of the item the caret stands in front of, or the measure's content
// count for its end. A position names a place in the score as it stands; an edit gives the
// caret its new position.
struct Position {
    int track = 0;
    int measure = 0;
    int entry = 0;
    bool inner = false;

    friend bool operator==(const Position&, const Position&) = default;
};

// One caret stop of a measure: in front of an item, between its accidental and its digit, or
// the end.
struct Stop {
    int entry = 0;
    bool inner = false;
    friend bool operator==(const Stop&, const Stop&) = default;
};

// The stops of a measure in reading order, its end last. Skipped records have none.
std::vector<Stop> stopsOf(const music::Measure& measure);
// How many stops a measure has before its end: one per item, two for a note with an accidental.
int stopCount(const music::Measure& measure);
// Index of a position among its measure's stops, or -1 when it names none.
int stopIndex(const music::Measure& measure, const Position& at);
// The position of stop `index` of measure `m` of track `t`.
Position positionAt(const music::Score& score, int t, int m, int index);

// Whether a position names a stop of the score.
bool isValid(const music::Score& score, const Position& at);
// The end of the measure, before its bar line.
Position endOf(const music::Score& score, int t, int m);
// The first stop of the score: in front of the first item of its first track.
std::optional<Position> startOf(const music::Score& score);

// One stop to the left or right, across bar lines, within the track. Stays at the track's ends.
Position stepLeft(const music::Score& score, const Position& at);
Position stepRight(const music::Score& score, const Position& at);

// The stop just after the item the position stands in front of (a note with its accidental is
// one item); at a measure's end, the start of the next measure.
Position afterItem(const music::Score& score, const Position& at);

// Reading order within one track, and across tracks by track.
bool before(const music::Score& score, const Position& a, const Position& b);

// The item at or after entry `e` of a measure that is not a skipped record: what a caret in
// front of entry `e` stands before. The content count when there is none.
int itemAtOrAfter(const music::Measure& measure, int e);

}  // namespace qe
