#pragma once

#include "musicxml/conversion_report.h"
#include "musicxml/part_state.h"
#include "musicxml/xml_input.h"

namespace qe::musicxml {

// Reads the music of one measure of one part: its notes with their times, the attributes that
// change the part's divisions, key and time, its bar lines and the directions over it. What
// the document cannot hold is reported here, where the file names it.
class MeasureReader {
public:
    MeasureReader(XmlInput& in, PartState& part, ScoreState& score, ConversionReport& report);

    // Reads the children of the element the input is on (a partwise <measure>, or a <part>
    // inside a timewise measure) into `measure`, whose number is already set.
    void read(ParsedMeasure& measure);

private:
    void readAttributes();
    // A <clef> or <staff-details>: marks its staff as tablature or percussion.
    void readStaffKind(bool clef);
    void readKey();
    void readTime();
    void readNote();
    void readPitch(ParsedNote& note, bool unpitched);
    void readNotations(ParsedNote& note);
    void readLyric(ParsedNote& note);
    void readHarmony();
    // A metronome mark over the start: true when it became the score's tempo mark.
    bool readMetronome(bool atStart);
    void readPrint();
    void readDirection();
    void readBarline();
    // The <duration> of a <forward> or <backup> (`backward`), as ticks.
    ExactTicks readDuration(bool backward = false);
    void advance(ExactTicks to);
    void dropped(const QString& what) { report_.add(what, measure_->number); }
    QString where() const;

    XmlInput& in_;
    PartState& part_;
    ScoreState& score_;
    ConversionReport& report_;
    ParsedMeasure* measure_ = nullptr;
    ExactTicks position_ = 0;
    ExactTicks chordStart_ = 0;
};

}  // namespace qe::musicxml
