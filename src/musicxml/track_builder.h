#pragma once

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "records/records.h"
#include "music/accidental_state.h"
#include "music/item.h"
#include "music/pitch.h"
#include "musicxml/conversion_report.h"
#include "musicxml/parsed_score.h"

namespace qe::musicxml {

// Writes one voice of a staff of a part as one note track, measure by measure, as jianpu
// writes it: the notes of that voice, every tone of each chord (the top one the record's), lengths as the keyboard writes them (tied
// where one digit cannot show a length), the accidentals that make each note sound at its
// pitch, arcs for ties and slurs, bar lines, volta brackets and syllables.
class TrackBuilder {
public:
    // `budget` counts down the records all tracks may still take.
    TrackBuilder(const music::Key& key, const music::Meter& meter, bool brackets, int& budget,
                 ConversionReport& report);

    // A begin repeat before the next measure: the bar line that closes the measure before it
    // becomes a begin repeat when it is a plain one; otherwise (or at the start of the track)
    // an empty measure with a begin repeat stands in front.
    void beginRepeat();
    // One measure: the notes of `staff` in voice `voice` (other voices are other tracks),
    // then the closing bar line.
    void addMeasure(const ParsedMeasure& measure, int staff, int voice);
    // The end of the track: an open volta bracket ends at the last measure.
    void finish();
    // The key the next measures are written in, from a key change on.
    void setKey(const music::Key& key) { key_ = key; }
    // The measures written so far: the index the next measure of the track will have.
    int measureCount() const { return measures_; }

    // The results, with item indices of this track.
    std::vector<note> records;
    std::set<std::pair<int, int>> arcs;
    std::vector<std::pair<int, int>> brackets;  // first and last measure, by closing bar line
    std::vector<std::u16string> bracketLabels;  // by bracket: "1.", "2.", or empty
    std::vector<std::vector<std::pair<int, std::u16string>>> verses;  // item and syllable
    // What records carry beyond their digits (chord tones, grace notes, articulations,
    // tuplets, chord symbols), by record index, in order.
    std::vector<std::pair<int, NoteExtra>> extras;

private:
    struct Event;
    std::vector<Event> collect(const ParsedMeasure& measure, int staff, int voice);
    // A grace note waits in `pending` for the note after it, or follows the note before it.
    static void placeGrace(std::vector<Event>& events, std::vector<const ParsedNote*>& pending,
                           const ParsedNote& n);
    // A note of a chord whose first note is the event `head`: one more of its tones.
    static void joinChord(Event& head, const ParsedNote& n);
    // A note or rest of its own, with the grace notes before it.
    static void addEvent(std::vector<Event>& events, const ParsedNote& n,
                         std::vector<const ParsedNote*>& pendingGraces);
    // Grace notes with no note after them: the number of them with no note to follow either.
    static int placeTrailingGraces(std::vector<Event>& events,
                                   const std::vector<const ParsedNote*>& pending);
    void layOut(std::vector<Event>& events, ExactTicks end);
    void writeEvent(const Event& event, music::Ticks length, const ParsedMeasure& measure,
                    bool wholeMeasure);
    void writeNote(const Event& event, music::Ticks length);
    void writeRest(const Event& event, music::Ticks length, const ParsedMeasure& measure,
                   bool wholeMeasure);
    void connect(const Event& event, int first, int last);
    // The extras of the records an event was written as, from record `from` on.
    void addExtras(const Event& event, int from, const std::array<TupletMark, 2>& tuplets);
    // Tuplet brackets open before a note and close after it.
    void openBrackets(const ParsedNote& n);
    void closeBrackets(const ParsedNote& n);
    // The levels of a tuplet note: its time modification alone, or the outer bracket's ratio
    // and the rest of it when two brackets are open.
    std::array<TupletMark, 2> tupletLevels(const ParsedNote& n) const;
    std::optional<NoteTone> toneOf(const ParsedNote& n);
    void attachHarmonies(std::vector<Event>& events, const ParsedMeasure& measure, int staff);
    void attachWords(std::vector<Event>& events, const ParsedMeasure& measure, int staff);
    int append(const music::Item& item);
    void addArc(int from, int to);
    void closeMeasure(const ParsedMeasure& measure);
    void dropped(const QString& what, int count = 1) { report_.add(what, measure_, count); }

    music::Key key_;
    music::Meter meter_;
    bool withBrackets_;
    int& budget_;
    ConversionReport& report_;
    QString measure_;  // the number of the measure being written
    music::AccidentalState accidentals_;
    int pendingTie_ = -1;  // the last digit of a note whose tie waits for the next note
    int pendingMidi_ = 0;
    std::array<int, 16> openSlurs_;
    int openBracket_ = -1;
    int measures_ = 0;
    QString openLabel_;
    // Of the event written last, to tell where a group starts.
    std::array<TupletMark, 2> lastTuplets_{};
    // Brackets open in the measure, by number: the ratio each names (0s when unknown) and
    // whether it started on the note being written.
    std::map<int, std::pair<std::pair<int, int>, bool>> openTuplets_;
};

}  // namespace qe::musicxml
