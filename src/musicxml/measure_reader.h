#pragma once

#include <optional>
#include <string>

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
    struct Signature;
    void readTime();
    void readBeats(Signature& signature);
    void readBeatType(Signature& signature);
    // The part's meter from a time signature read, and the score's from its first one shown.
    void setTime(const Signature& signature, bool hidden);
    void readNote();
    // A child of a <note> that is no part of its time or voice.
    void readNoteChild(ParsedNote& note, QStringView name);
    void readTimeModification(ParsedNote& note);
    // The time a note takes: none for a grace note, else its <duration>, or the value it
    // shows when the file leaves that out.
    ExactTicks noteLength(const ParsedNote& note, std::optional<double> duration);
    // The index of a named voice among the part's, numbering a voice first named here.
    int voiceIndex(const std::u16string& voice);
    // A note's start: a grace note's where the voice stands, a chord tone's that of its
    // chord; any other note moves the voice on by its length.
    void placeNote(ParsedNote& note);
    void readPitch(ParsedNote& note, bool unpitched);
    void readNotations(ParsedNote& note);
    void readLyric(ParsedNote& note);
    void readHarmony();
    // One <degree> of a harmony as the alteration it adds to the symbol ("b9", "#11",
    // "add9"); empty for one this editor cannot write (a subtracted tone), which is reported.
    QString readDegree();
    // A metronome mark over the start: true when it became the score's tempo mark.
    bool readMetronome(bool atStart);
    void readPrint();
    struct Direction;
    void readDirection();
    // A <sound>: the jumps it plays, and over the start of the score the tempo to play at.
    void readSound(Direction& direction);
    void readDirectionType(Direction& direction);
    // Words that name a jump, go with a metronome mark, or stand over the measure.
    void readWords(Direction& direction);
    // The tempo text and jumps a direction gives its measure (or the score).
    void setDirection(const Direction& direction);
    void readBarline();
    // The <duration> of a <backup>, as ticks.
    ExactTicks readBackup();
    // A <duration> read as ticks; one backing up stops at the start of the measure.
    ExactTicks durationTicks(double value, bool backward);
    // A <forward>: a rest that is not printed, in its voice, which moves the voice on.
    void readForward();
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
    // The voice and staff of the note read last, which a <forward> that names none continues.
    int lastVoice_ = -1;
    int lastStaff_ = 1;
};

}  // namespace qe::musicxml
