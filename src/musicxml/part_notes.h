#pragma once

// The notes a part writer plans a track into (part_plan.cpp) and writes out (part_writer.cpp):
// one <note> each, with what stands on it. Only the part writer includes this.

#include <QStringView>
#include <array>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "music/pitch.h"
#include "musicxml/part_writer.h"

namespace qe::musicxml {

// A length as one MusicXML note: its <type>, its dots and the ticks they make.
struct TypedValue {
    const char* type;
    int dots;
    music::Ticks ticks;
};

// The sign of an accidental for the pitch's alteration; null for none.
const char* accidentalSign(int alter);

// A syllable as written under the note `note` of the walk: its text is a view into the part's
// source, which outlives the writing of the part.
struct PartWriter::Syllable {
    std::size_t note = 0;
    int verse = 1;
    const char* syllabic = "single";
    QStringView text;
};

struct PartWriter::XmlNote {
    bool rest = true;
    music::Pitch pitch;
    TypedValue value{"quarter", 0, 1920};
    bool tieStart = false;
    bool tieStop = false;
    const char* accidental = nullptr;  // the sign written on it
    bool parentheses = false;
    std::vector<int> slurStops;
    std::vector<int> slurStarts;
    bool breath = false;
    std::span<const Syllable> syllables;  // in the part writer's list of them
    music::Ticks duration = -1;       // the time it takes, when not that of its value (in a tuplet)
    std::vector<music::Pitch> chord;  // the other tones of its chord
    std::vector<std::pair<music::Pitch, int>> gracesBefore;  // pitch and underlines
    std::vector<std::pair<music::Pitch, int>> gracesAfter;
    std::uint32_t articulations = 0;
    std::u16string harmony;  // the chord symbol over it
    std::u16string textAbove;  // words written at it
    std::u16string textBelow;
    TupletMark tuplet;       // its time modification: the tuplet's levels multiplied
    // The tuplet and the one nested in it, with `starts` on the first note of a group; the
    // groups, to find each group's last note, which stops its bracket.
    std::array<TupletMark, 2> levels{};
    std::array<int, 2> groups{-1, -1};
    std::array<bool, 2> stops{};
};

}  // namespace qe::musicxml
