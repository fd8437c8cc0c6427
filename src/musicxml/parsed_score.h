#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "music/meter.h"
#include "music/pitch.h"
#include "records/extension.h"

namespace qe::musicxml {

// A time inside a measure in the editor's ticks (1920 to the quarter) as a MusicXML file
// gives it: tuplets and odd divisions make fractions, which the importer rounds.
using ExactTicks = double;

// One syllable under a note.
struct ParsedLyric {
    int verse = 1;
    QString text;
    bool continues = false;  // the word goes on in the next syllable
};

// One <note> of a measure, as read.
struct ParsedNote {
    ExactTicks start = 0;   // from the start of its measure
    ExactTicks length = 0;  // 0 for a grace note
    ExactTicks shown = 0;   // the value its <type> and dots show, 0 when it has no type
    int staff = 1;
    int voice = 0;  // index of its voice in the order the part's voices first appear
    bool rest = false;
    bool measureRest = false;  // <rest measure="yes"/>
    bool chord = false;        // sounds with the note before it
    bool grace = false;
    bool graceAfter = false;  // it takes its time from the note before it (后倚音)
    bool cue = false;
    bool hidden = false;  // print-object="no": it keeps its time but is not printed
    bool blank = false;   // a <forward>: time the voice passes with nothing printed (hidden too)
    bool tuplet = false;
    // Its <time-modification>: `actual` notes in the time of `normal`.
    int tupletActual = 0;
    int tupletNormal = 0;
    bool tupletStarts = false;  // a <tuplet type="start"> on it
    // Its <tuplet> brackets, by number: where one starts (with the ratio it names, 0 when it
    // names none) or stops.
    struct TupletBracket {
        int number = 1;
        bool start = false;
        int actual = 0;
        int normal = 0;
    };
    std::vector<TupletBracket> tupletBrackets;
    std::uint32_t articulations = 0;  // articulation:: flags
    music::Pitch pitch;            // for a note that is not a rest
    bool accidentalShown = false;  // the score writes an accidental sign on it
    bool tieStart = false;
    bool tieStop = false;
    bool parenthesized = false;
    bool breath = false;           // a breath mark after it
    std::uint16_t slurStarts = 0;  // bit n - 1 for slur number n
    std::uint16_t slurStops = 0;
    std::vector<ParsedLyric> lyrics;
};

// A chord symbol over a staff, from its time on.
struct ParsedHarmony {
    ExactTicks start = 0;
    int staff = 1;
    std::u16string text;  // as this editor stores it ("F#m7b5/C#")
};

// Words written at a time of a staff ("rit.", "dolce"), over it or under it.
struct ParsedWords {
    ExactTicks start = 0;
    int staff = 1;
    bool below = false;
    std::u16string text;
};

struct ParsedMeasure {
    QString number;         // as written, for reports
    ExactTicks length = 0;  // the furthest time its notes, backups and forwards reach
    music::Meter meter;     // the time signature in force, for whole-measure rests
    bool meterKnown = false;
    std::vector<ParsedNote> notes;  // in file order
    std::vector<ParsedHarmony> harmonies;
    std::vector<ParsedWords> words;
    bool forwardRepeat = false;     // a begin repeat on its left bar line
    bool endingStarts = false;      // a volta bracket begins over it
    bool endingStops = false;       // a volta bracket ends over it
    int barType = 0;                // the bar line that closes it, as this editor's bar type
    QString endingLabel;            // the label of a bracket that begins over it ("1.", "2.")
    std::optional<int> fifths;      // the key signature in force, once one was given
    bool meterShown = false;        // a time signature is printed at its start
    bool freeMeter = false;         // it is in free meter (senza-misura)
    // Over the first part only: a tempo mark after the start, and jumps (jump:: flags).
    TempoMark tempo;
    std::uint32_t jumps = 0;
};

struct ParsedPart {
    QString id;
    PartName name;  // as printed; the first track of the part takes it
    int staves = 1;
    std::vector<ParsedMeasure> measures;
    // By voice index: the number the file gives the voice, by which voices of a staff are
    // ordered (voice 1 above voice 2); a name that is no number orders after every number.
    std::vector<int> voiceNumbers;
    // Staves written in tablature or for unpitched percussion, which jianpu does not write.
    std::set<int> tablature;
    std::set<int> percussion;
};

// The title block as the file gives it.
struct ParsedTitles {
    QString title, subtitle, author1, author2, author3, comment1, comment2;
};

struct ParsedScore {
    ParsedTitles titles;
    std::optional<int> fifths;          // the first key signature
    std::optional<music::Meter> meter;  // the first time signature the title block can hold
    TempoMark tempo;                    // the metronome mark at the start, if any
    bool measureNumbers = false;        // measure numbers printed at each system
    std::vector<ParsedPart> parts;      // in the order of the part list
};

}  // namespace qe::musicxml
