#include "musicxml/part_writer.h"

#include "music/jump_marks.h"
#include "music/note_marks.h"


#include "music/attributes.h"
#include "music/chord_symbol.h"

#include <algorithm>
#include <array>
#include <span>

#include "musicxml/part_notes.h"
#include "musicxml/xml_writer.h"

namespace qe::musicxml {

using music::Ticks;

namespace {

constexpr Ticks kShortest = music::kShortestTicks;

}  // namespace

const char* accidentalSign(int alter) {
    switch (alter) {
        case -3:
            return "triple-flat";
        case -2:
            return "flat-flat";
        case -1:
            return "flat";
        case 0:
            return "natural";
        case 1:
            return "sharp";
        case 2:
            return "double-sharp";
        case 3:
            return "triple-sharp";
        default:
            return nullptr;
    }
}

PartWriter::PartWriter(XmlWriter& xml, const music::Key& key, const doc_header& header,
                       ConversionReport& report)
    : xml_(xml), key_(key), header_(header), report_(report) {}

PartWriter::~PartWriter() = default;

void PartWriter::write(const QString& id, const PartSource& source) {
    walk_ = source.walk;
    endingStarts_.clear();
    endingStops_.clear();
    plan(source);
    // A track lined up with a tuplet's time in another counts in ticks.
    for (std::size_t m = 0; m + 1 < measureStarts_.size(); ++m)
        if ((columnLength(m, source) - walk_->measures[m].length) % unit_ != 0)
            unit_ = 1;
    xml_.startElement("part");
    xml_.attribute("id", id);
    int number = 1;
    bool first = true;
    declared_ = header_.freeMeter ? 0 : music::Meter::of(header_).measureLength();
    for (std::size_t m = 0; m + 1 < measureStarts_.size(); ++m) {
        if (skipped_[m])
            continue;
        // A first measure shorter than the time signature is a pickup, numbered 0.
        const Ticks length = walk_->measures[m].length;
        if (first && length < declared_ && length > 0)
            number = 0;
        writeMeasure(m, number++, first, source);
        first = false;
    }
    xml_.endElement();
}

void PartWriter::writeAttributes() {
    xml_.startElement("attributes");
    xml_.textElement("divisions", music::kTicksPerQuarter / unit_);
    xml_.startElement("key");
    xml_.textElement("fifths", key_.fifths());
    xml_.textElement("mode", "major");
    xml_.endElement();
    const int beats = header_.timeNumerator;
    const int type = header_.timeDenominator;
    if (header_.freeMeter) {
        xml_.startElement("time");
        xml_.emptyElement("senza-misura");
        xml_.endElement();
    } else if (beats >= 1 && beats <= 99 && type >= 1 && type <= 64 && (type & (type - 1)) == 0) {
        xml_.startElement("time");
        xml_.textElement("beats", beats);
        xml_.textElement("beat-type", type);
        xml_.endElement();
    } else {
        report_.addOnce(QStringLiteral("a time signature MusicXML has no form for not written"));
    }
    xml_.startElement("clef");
    xml_.textElement("sign", bassClef_ ? "F" : "G");
    xml_.textElement("line", bassClef_ ? "4" : "2");
    xml_.endElement();
    xml_.endElement();
}

void PartWriter::writeChanges(const MeasureMark& mark) {
    const std::optional<music::Key> key = mark.keyChange ? music::keyOfMark(mark) : std::nullopt;
    if (!key && !mark.meterChange)
        return;
    xml_.startElement("attributes");
    if (key) {
        xml_.startElement("key");
        xml_.textElement("fifths", key->fifths());
        xml_.textElement("mode", "major");
        xml_.endElement();
    }
    if (mark.meterChange) {
        xml_.startElement("time");
        if (mark.numerator == 0) {
            xml_.emptyElement("senza-misura");
            declared_ = 0;
        } else {
            xml_.textElement("beats", mark.numerator);
            xml_.textElement("beat-type", mark.denominator);
            declared_ = music::Meter{mark.numerator, mark.denominator}.measureLength();
        }
        xml_.endElement();
    }
    xml_.endElement();
}

void PartWriter::writeSigns(std::uint32_t jumps) {
    for (const auto& [bit, name] :
         {std::pair{jump::kSegno, "segno"}, std::pair{jump::kCoda, "coda"}}) {
        if (!(jumps & bit))
            continue;
        xml_.startElement("direction");
        xml_.attribute("placement", "above");
        xml_.startElement("direction-type");
        xml_.emptyElement(name);
        xml_.endElement();
        xml_.emptyElement("sound");
        xml_.attribute(name, name);
        xml_.endElement();
    }
}

void PartWriter::writeJumps(std::uint32_t jumps) {
    const auto words = [&](const QString& text, const char* sound, const QString& value) {
        xml_.startElement("direction");
        xml_.attribute("placement", "above");
        xml_.startElement("direction-type");
        xml_.startElement("words");
        xml_.attribute("halign", "right");
        xml_.characters(text);
        xml_.endElement();
        xml_.endElement();
        xml_.emptyElement("sound");
        xml_.attribute(sound, value);
        xml_.endElement();
    };
    // Fine and To Coda each with its own sound, then D.C. or D.S. with the words of its ending.
    for (std::uint32_t flag : {jump::kFine, jump::kToCoda})
        if (jumps & flag) {
            const music::JumpMark& j = *music::jumpMarkOf(flag);
            words(QString::fromUtf16(j.words), j.sound, QString::fromLatin1(j.soundValue));
        }
    if (jumps & (jump::kDaCapo | jump::kDalSegno)) {
        const music::JumpMark& back =
            *music::jumpMarkOf(jumps & jump::kDalSegno ? jump::kDalSegno : jump::kDaCapo);
        words(QString::fromStdU16String(
                  music::jumpWords(jumps & (jump::kDaCapo | jump::kDalSegno | jump::kAlFine |
                                            jump::kAlCoda))),
              back.sound, QString::fromLatin1(back.soundValue));
    }
}

void PartWriter::writeHiddenTime(Ticks length) {
    const Ticks whole = music::kWholeTicks;
    int type = header_.timeDenominator;
    if (type < 1 || type > 64 || (type & (type - 1)) != 0)
        type = 4;
    // Tuplets timed to the tick may leave a measure a few ticks off the shortest value: its
    // signature counts the nearest length a signature can name.
    length = std::max(kShortest, (length + kShortest / 2) / kShortest * kShortest);
    while (length * type % whole != 0)
        type *= 2;
    xml_.startElement("attributes");
    xml_.startElement("time");
    xml_.attribute("print-object", "no");
    xml_.textElement("beats", length * type / whole);
    xml_.textElement("beat-type", type);
    xml_.endElement();
    xml_.endElement();
    declared_ = length;
}

void PartWriter::writeTempo(const TempoMark& mark) {
    if (mark.empty())
        return;
    xml_.startElement("direction");
    xml_.attribute("placement", "above");
    if (mark.perMinute > 0) {
        xml_.startElement("direction-type");
        xml_.startElement("metronome");
        xml_.textElement("beat-unit", mark.beatUnit == 2   ? "half"
                                      : mark.beatUnit == 8 ? "eighth"
                                                           : "quarter");
        if (mark.dotted)
            xml_.emptyElement("beat-unit-dot");
        // The number as printed; the tempo played is the sound's.
        xml_.textElement("per-minute", mark.perMinuteText.empty()
                                           ? QString::number(mark.perMinute)
                                           : QString::fromStdU16String(mark.perMinuteText));
        xml_.endElement();
        xml_.endElement();
    }
    if (!mark.text.empty()) {
        xml_.startElement("direction-type");
        xml_.textElement("words", QString::fromStdU16String(mark.text));
        xml_.endElement();
    }
    if (mark.quartersPerMinute() > 0) {
        xml_.startElement("sound");
        xml_.attribute("tempo", mark.quartersPerMinute());
        xml_.endElement();
    }
    xml_.endElement();
}

void PartWriter::writeMeasure(std::size_t m, int number, bool first, const PartSource& source) {
    const music::MeasureSpan& span = walk_->measures[m];
    xml_.characters("\n");
    xml_.startElement("measure");
    xml_.attribute("number", number);
    if (number == 0)
        xml_.attribute("implicit", "yes");
    if (first)
        writeOpening(source);
    const MeasureMark* mark = header_.markAt(static_cast<int>(m));
    if (mark)
        writeChanges(*mark);
    if (mark && source.carriesMarks) {
        writeSigns(mark->jumps);
        writeTempo(mark->tempo);
    }
    // Jianpu measures may be longer or shorter than the time signature; such a measure gets a
    // hidden time signature of its own length, so that every reader counts it as written.
    const Ticks length = columnLength(m, source);
    if (number != 0 && length > 0 && length != declared_)
        writeHiddenTime(length);
    writeLeftBarline(m);
    for (std::size_t n = measureStarts_[m]; n < measureStarts_[m + 1]; ++n)
        writeNote(notes_[n]);
    if (length > span.length) {
        xml_.startElement("forward");
        xml_.textElement("duration", (length - span.length) / unit_);
        xml_.endElement();
    }
    if (mark && source.carriesMarks)
        writeJumps(mark->jumps);
    writeRightBarline(m);
    xml_.endElement();
}

Ticks PartWriter::columnLength(std::size_t m, const PartSource& source) const {
    const Ticks own = walk_->measures[m].length;
    // A track's empty measure stays empty; the other tracks' measure is as long as they make it.
    if (own <= 0 || m >= source.columns.size())
        return own;
    return std::max(own, source.columns[m]);
}

void PartWriter::writeOpening(const PartSource& source) {
    if (header_.measureNumbers && source.carriesMarks) {
        xml_.startElement("print");
        xml_.textElement("measure-numbering", "system");
        xml_.endElement();
    }
    writeAttributes();
    writeTempo(source.tempo);
    if (!source.words.isEmpty()) {
        xml_.startElement("direction");
        xml_.attribute("placement", "above");
        xml_.startElement("direction-type");
        xml_.textElement("words", source.words);
        xml_.endElement();
        xml_.endElement();
    }
}

void PartWriter::writeLeftBarline(std::size_t m) {
    const auto starts = endingStarts_.find(static_cast<int>(m));
    if (!forward_[m] && starts == endingStarts_.end())
        return;
    xml_.startElement("barline");
    xml_.attribute("location", "left");
    if (forward_[m])
        xml_.textElement("bar-style", "heavy-light");
    if (starts != endingStarts_.end()) {
        if (starts->second.text.isEmpty()) {
            xml_.emptyElement("ending");
        } else {
            xml_.startElement("ending");
        }
        xml_.attribute("number", starts->second.number);
        xml_.attribute("type", "start");
        if (!starts->second.text.isEmpty()) {
            xml_.characters(starts->second.text);
            xml_.endElement();
        }
    }
    if (forward_[m]) {
        xml_.emptyElement("repeat");
        xml_.attribute("direction", "forward");
    }
    xml_.endElement();
}

// The closing bar line; a begin repeat closing a measure with another after it is that
// measure's left bar line instead.
void PartWriter::writeRightBarline(std::size_t m) {
    const music::MeasureSpan& span = walk_->measures[m];
    const bool last = m + 2 == measureStarts_.size();
    static const char* const kStyles[] = {nullptr,       "heavy",  "light-light", "heavy-light",
                                          "light-heavy", "dashed", "light-heavy", "none"};
    const char* style = span.barType >= 0 && span.barType <= 7 && !(span.barType == 3 && !last)
                            ? kStyles[span.barType]
                            : nullptr;
    const auto stops = endingStops_.find(static_cast<int>(m));
    const bool repeat = span.barType == 4 || (span.barType == 3 && last);
    if (!style && stops == endingStops_.end() && !repeat)
        return;
    xml_.startElement("barline");
    xml_.attribute("location", "right");
    if (style)
        xml_.textElement("bar-style", style);
    if (stops != endingStops_.end()) {
        xml_.emptyElement("ending");
        xml_.attribute("number", stops->second.number);
        xml_.attribute("type", "stop");
    }
    if (repeat) {
        xml_.emptyElement("repeat");
        xml_.attribute("direction", span.barType == 4 ? "backward" : "forward");
    }
    xml_.endElement();
}

namespace {

const char* graceType(int underlines) {
    static const char* const kTypes[] = {"quarter", "eighth", "16th", "32nd"};
    return kTypes[std::clamp(underlines, 0, 3)];
}

}  // namespace

void PartWriter::writePitch(const music::Pitch& pitch) {
    xml_.startElement("pitch");
    xml_.textElement("step", std::string_view(&"CDEFGAB"[std::clamp(pitch.step, 0, 6)], 1));
    if (pitch.alter != 0)
        xml_.textElement("alter", pitch.alter);
    xml_.textElement("octave", pitch.octave);
    xml_.endElement();
}

void PartWriter::writeGrace(const music::Pitch& pitch, int underlines, bool after) {
    if (pitch.octave < 0 || pitch.octave > 9)
        return;
    xml_.startElement("note");
    xml_.emptyElement("grace");
    // Grace notes after their note take their time from it.
    if (after)
        xml_.attribute("steal-time-previous", 10);
    else
        xml_.attribute("slash", "yes");
    writePitch(pitch);
    xml_.textElement("voice", "1");
    xml_.textElement("type", graceType(underlines));
    xml_.endElement();
}

void PartWriter::writeHarmony(const std::u16string& text) {
    const auto chord = music::parseChordSymbol(text);
    if (!chord)
        return;
    const auto kindOf = [&]() -> std::string {
        for (std::string_view kind :
             {"major", "minor", "augmented", "diminished", "dominant", "major-seventh",
              "minor-seventh", "diminished-seventh", "augmented-seventh", "half-diminished",
              "major-minor", "major-sixth", "minor-sixth", "dominant-ninth", "major-ninth",
              "minor-ninth", "dominant-11th", "major-11th", "minor-11th", "dominant-13th",
              "major-13th", "minor-13th", "suspended-second", "suspended-fourth", "power"})
            if (kind == chord->kind)
                return std::string(kind);
        return "major";
    };
    xml_.startElement("harmony");
    // No chord: the kind "none", printed "N.C."; its root is a placeholder not printed.
    if (chord->none) {
        xml_.startElement("root");
        xml_.startElement("root-step");
        xml_.attribute("text", "");
        xml_.characters(QStringLiteral("C"));
        xml_.endElement();
        xml_.endElement();
        xml_.startElement("kind");
        xml_.attribute("text", QStringLiteral("N.C."));
        xml_.characters(QStringLiteral("none"));
        xml_.endElement();
        xml_.endElement();
        return;
    }
    xml_.startElement("root");
    xml_.textElement("root-step", std::string_view(&"CDEFGAB"[chord->step], 1));
    if (chord->alter != 0)
        xml_.textElement("root-alter", chord->alter);
    xml_.endElement();
    xml_.startElement("kind");
    xml_.attribute("text", QString::fromStdString(chord->suffix));
    xml_.characters(QString::fromStdString(kindOf()));
    xml_.endElement();
    if (chord->hasBass) {
        xml_.startElement("bass");
        xml_.textElement("bass-step", std::string_view(&"CDEFGAB"[chord->bassStep], 1));
        if (chord->bassAlter != 0)
            xml_.textElement("bass-alter", chord->bassAlter);
        xml_.endElement();
    }
    xml_.endElement();
}

void PartWriter::writeNote(const XmlNote& n) {
    // Words at the note stand before it, at its time, on their side.
    for (const auto& [placement, text] :
         {std::pair{"above", &n.textAbove}, std::pair{"below", &n.textBelow}}) {
        if (text->empty())
            continue;
        xml_.startElement("direction");
        xml_.attribute("placement", placement);
        xml_.startElement("direction-type");
        xml_.textElement("words", QString::fromStdU16String(*text));
        xml_.endElement();
        xml_.endElement();
    }
    if (!n.harmony.empty())
        writeHarmony(n.harmony);
    for (const auto& [pitch, underlines] : n.gracesBefore)
        writeGrace(pitch, underlines, false);
    writeNoteOf(n, n.pitch, false);
    for (const music::Pitch& tone : n.chord)
        if (tone.octave >= 0 && tone.octave <= 9)
            writeNoteOf(n, tone, true);
    for (const auto& [pitch, underlines] : n.gracesAfter)
        writeGrace(pitch, underlines, true);
}

// The marks of a note, the outermost first: those of <articulations> with the breath mark
// after them, then the others (a fermata).
void PartWriter::writeMarks(std::uint32_t marks, bool breath) {
    const auto outermostFirst = [&](bool inArticulations, auto write) {
        const std::span<const music::NoteMark> rows = music::noteMarks();
        for (auto row = rows.rbegin(); row != rows.rend(); ++row)
            if ((marks & row->flag) && row->inArticulations == inArticulations)
                write(*row);
    };
    bool grouped = breath;
    outermostFirst(true, [&](const music::NoteMark&) { grouped = true; });
    if (grouped) {
        xml_.startElement("articulations");
        outermostFirst(true, [&](const music::NoteMark& row) { xml_.emptyElement(row.musicXml); });
        if (breath)
            xml_.emptyElement("breath-mark");
        xml_.endElement();
    }
    outermostFirst(false, [&](const music::NoteMark& row) { xml_.emptyElement(row.musicXml); });
}

void PartWriter::writeNoteOf(const XmlNote& n, const music::Pitch& pitch, bool chordTone) {
    xml_.startElement("note");
    if (chordTone)
        xml_.emptyElement("chord");
    if (n.rest) {
        xml_.emptyElement("rest");
    } else {
        writePitch(pitch);
    }
    xml_.textElement("duration", (n.duration >= 0 ? n.duration : n.value.ticks) / unit_);
    writeTies("tie", n.tieStop, n.tieStart);
    xml_.textElement("voice", "1");
    xml_.textElement("type", n.value.type);
    for (int d = 0; d < n.value.dots; ++d)
        xml_.emptyElement("dot");
    if (chordTone) {
        if (const char* sign = accidentalSign(pitch.alter); sign && n.accidental)
            xml_.textElement("accidental", sign);
    } else if (n.accidental) {
        xml_.textElement("accidental", n.accidental);
    }
    if (n.tuplet.active()) {
        xml_.startElement("time-modification");
        xml_.textElement("actual-notes", n.tuplet.actual);
        xml_.textElement("normal-notes", n.tuplet.normal);
        xml_.endElement();
    }
    if (n.parentheses) {
        xml_.startElement("notehead");
        xml_.attribute("parentheses", "yes");
        xml_.characters("normal");
        xml_.endElement();
    }
    writeNotations(n, chordTone);
    if (!chordTone)
        writeLyrics(n);
    xml_.endElement();
}

void PartWriter::writeTies(std::string_view element, bool stop, bool start) {
    for (const auto& [on, type] : {std::pair{stop, "stop"}, std::pair{start, "start"}}) {
        if (!on)
            continue;
        xml_.emptyElement(element);
        xml_.attribute("type", type);
    }
}

// A tone of a chord takes the ties of its note; slurs, tuplet brackets, marks and the breath
// mark stand on the note alone.
void PartWriter::writeNotations(const XmlNote& n, bool chordTone) {
    const bool tupletMarks =
        !chordTone && (n.levels[0].starts || n.levels[1].starts || n.stops[0] || n.stops[1]);
    const std::uint32_t marks = chordTone ? 0 : n.articulations & music::knownArticulations();
    if (!(n.tieStop || n.tieStart ||
          (!chordTone && (!n.slurStops.empty() || !n.slurStarts.empty() || n.breath)) ||
          tupletMarks || marks != 0))
        return;
    xml_.startElement("notations");
    writeTies("tied", n.tieStop, n.tieStart);
    for (const auto& [numbers, type] :
         {std::pair{&n.slurStops, "stop"}, std::pair{&n.slurStarts, "start"}}) {
        for (int number : *numbers) {
            xml_.emptyElement("slur");
            xml_.attribute("type", type);
            xml_.attribute("number", number);
        }
    }
    if (!chordTone)
        writeTupletBrackets(n);
    writeMarks(marks, n.breath && !chordTone);
    xml_.endElement();
}

// A nested tuplet numbers its brackets and names each level's own ratio.
void PartWriter::writeTupletBrackets(const XmlNote& n) {
    const bool nested = n.levels[1].active();
    for (std::size_t l = 0; l < 2; ++l) {
        for (const bool start : {false, true}) {
            if (start ? !n.levels[l].starts : !n.stops[l])
                continue;
            const bool ratio = start && nested;
            if (ratio)
                xml_.startElement("tuplet");
            else
                xml_.emptyElement("tuplet");
            xml_.attribute("type", start ? "start" : "stop");
            if (nested)
                xml_.attribute("number", static_cast<int>(l) + 1);
            if (ratio) {
                xml_.startElement("tuplet-actual");
                xml_.textElement("tuplet-number", n.levels[l].actual);
                xml_.endElement();
                xml_.startElement("tuplet-normal");
                xml_.textElement("tuplet-number", n.levels[l].normal);
                xml_.endElement();
                xml_.endElement();
            }
        }
    }
}

void PartWriter::writeLyrics(const XmlNote& n) {
    for (const Syllable& s : n.syllables) {
        xml_.startElement("lyric");
        xml_.attribute("number", s.verse);
        xml_.textElement("syllabic", s.syllabic);
        xml_.textElement("text", s.text);
        xml_.endElement();
    }
}

}  // namespace qe::musicxml
