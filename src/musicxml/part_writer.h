#pragma once

#include <QString>
#include <map>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "music/meter.h"
#include "music/pitch.h"
#include "music/track_walk.h"
#include "musicxml/conversion_report.h"

namespace qe::musicxml {

class XmlWriter;

// A syllable under an item of a track.
struct PlacedSyllable {
    int item = 0;
    int verse = 1;
    QString text;
};

// What a part is written from: one note track with its walk, its arcs, its volta brackets and
// the syllables under its notes.
struct PartSource {
    const music::TrackWalk* walk = nullptr;
    std::vector<std::pair<int, int>> arcs;      // item indices of each tie's ends, in order
    std::vector<std::pair<int, int>> brackets;  // item indices of two closing bar lines
    std::vector<std::u16string> bracketLabels;  // by bracket; empty for an unlabelled one
    std::vector<PlacedSyllable> syllables;      // by item; those of one item by verse
    QString words;  // text over the first measure (the title block's comment beside the key)
    TempoMark tempo;  // the metronome mark over the first measure
    // The part that carries the tempo changes and jumps of the measure marks (the first);
    // key and time changes go in every part.
    bool carriesMarks = false;
    // By measure, the longest any track makes it: a shorter measure is written that long,
    // ending in time with nothing printed, so that a reader keeps the parts together.
    std::vector<music::Ticks> columns;
    // By measure, whether every track's measure holds nothing but a begin repeat, which is
    // then written as the next measure's left bar line; empty for a part alone.
    std::vector<bool> everyTrackSkips;
};

// Writes one note track as a MusicXML <part>: each measure with its notes and rests (a note's
// digit, dashes and dots become one note, or tied notes where no single note value shows the
// length or a bar line cuts it), the key, time and clef at the start, arcs as ties between
// notes of one pitch and as slurs otherwise, bar lines, repeats and volta brackets as endings,
// breath marks, parentheses and syllables.
class PartWriter {
public:
    PartWriter(XmlWriter& xml, const music::Key& key, const doc_header& header,
               ConversionReport& report);
    ~PartWriter();
    // By measure of a track, whether it holds nothing but a begin repeat (the bar line that
    // opens the next measure).
    static std::vector<bool> repeatOnlyMeasures(const music::TrackWalk& walk);
    PartWriter(const PartWriter&) = delete;
    PartWriter& operator=(const PartWriter&) = delete;

    void write(const QString& id, const PartSource& source);

    // Divisions of a quarter: the shortest value a record holds is one division.
    static constexpr int kDivisions = 128;

private:
    struct XmlNote;
    struct Syllable;
    class Planner;  // the passes that plan a part before it is written (part_plan.cpp)
    void plan(const PartSource& source);
    // The metronome mark and tempo text over the first measure, with the tempo to play at.
    void writeTempo(const TempoMark& mark);
    void writeMeasure(std::size_t measure, int number, bool first, const PartSource& source);
    // What opens the part's first measure: the measure numbering, the key, time and clef, the
    // tempo and the words over it.
    // The length measure `m` is written with: the longest any track makes it, unless this
    // track leaves it empty.
    music::Ticks columnLength(std::size_t m, const PartSource& source) const;
    void writeOpening(const PartSource& source);
    // A begin repeat and the start of an ending on the left of a measure; its closing bar
    // line, an end repeat and the end of an ending on its right.
    void writeLeftBarline(std::size_t measure);
    void writeRightBarline(std::size_t measure);
    void writeAttributes();
    void writeHiddenTime(music::Ticks length);
    // A key or time change of the measure marks, as attributes at the start of measure `m`.
    void writeChanges(const MeasureMark& mark);
    // Segno and coda signs at the start of a measure; jumps at its end.
    void writeSigns(std::uint32_t jumps);
    void writeJumps(std::uint32_t jumps);
    void writeNote(const XmlNote& n);
    // One <note> of it: its own pitch, or a tone of its chord.
    void writeNoteOf(const XmlNote& n, const music::Pitch& pitch, bool chordTone);
    // The <tie> or <tied> elements (`element`) of a note: its stop, then its start.
    void writeTies(std::string_view element, bool stop, bool start);
    void writeNotations(const XmlNote& n, bool chordTone);
    void writeTupletBrackets(const XmlNote& n);
    void writeLyrics(const XmlNote& n);
    void writePitch(const music::Pitch& pitch);
    void writeGrace(const music::Pitch& pitch, int underlines, bool after);
    void writeMarks(std::uint32_t marks, bool breath);
    void writeHarmony(const std::u16string& text);
    void dropped(const QString& what, int measure) {
        report_.add(what, QString::number(measure + 1));
    }

    XmlWriter& xml_;
    music::Key key_;
    const doc_header& header_;
    ConversionReport& report_;
    const music::TrackWalk* walk_ = nullptr;
    std::vector<Syllable> syllables_;         // under the notes of the track, note after note
    std::vector<XmlNote> notes_;              // the notes of the track, measure after measure
    std::vector<std::size_t> measureStarts_;  // where each measure's notes begin, and the end
    std::vector<bool> skipped_;               // empty measures that only begin a repeat
    std::vector<bool> forward_;               // a begin repeat on the left of a measure
    struct Ending {
        QString number;  // "1", "2", "1, 2, 3"
        QString text;    // the label as printed, or empty
    };
    std::map<int, Ending> endingStarts_;  // measure → its ending
    std::map<int, Ending> endingStops_;
    bool bassClef_ = false;
    // Ticks one division counts: the shortest value, or a single tick when tuplets make
    // durations that are no whole number of shortest values.
    music::Ticks unit_ = music::kShortestTicks;
    music::Ticks declared_ = 0;  // the measure length the last time signature written gives
};

}  // namespace qe::musicxml
