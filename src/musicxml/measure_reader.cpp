#include "musicxml/measure_reader.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "music/chord_symbol.h"
#include "music/note_marks.h"
#include "musicxml/metronome_number.h"
#include "musicxml/musicxml_error.h"
#include "musicxml/vocabulary.h"

namespace qe::musicxml {

namespace {

constexpr double kQuarter = static_cast<double>(music::kTicksPerQuarter);

// The mark a MusicXML element stands for, or null.
const music::NoteMark* markNamed(QStringView element) {
    return music::noteMarkOfMusicXml(element.toString().toStdString());
}

// Keys beyond what a title block names are written as the key that sounds the same.
int storableFifths(int fifths) {
    while (fifths > 12)
        fifths -= 12;
    while (fifths < -8)
        fifths += 12;
    return fifths;
}

bool storableMeter(const music::Meter& meter) {
    const int d = meter.denominator;
    return meter.numerator >= 2 && meter.numerator <= 16 &&
           (d == 1 || d == 2 || d == 4 || d == 8 || d == 16 || d == 32 || d == 64);
}

}  // namespace

MeasureReader::MeasureReader(XmlInput& in, PartState& part, ScoreState& score,
                             ConversionReport& report)
    : in_(in), part_(part), score_(score), report_(report) {}

QString MeasureReader::where() const {
    return QStringLiteral("part %1, measure %2").arg(part_.part.id, measure_->number);
}

void MeasureReader::read(ParsedMeasure& measure) {
    measure_ = &measure;
    position_ = 0;
    chordStart_ = 0;
    measure.meter = part_.meter;
    measure.meterKnown = part_.meterKnown;
    measure.freeMeter = part_.freeMeter;
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"note")
            readNote();
        else if (name == u"backup")
            advance(std::max(0.0, position_ - readBackup()));
        else if (name == u"forward")
            readForward();
        else if (name == u"attributes")
            readAttributes();
        else if (name == u"direction")
            readDirection();
        else if (name == u"barline")
            readBarline();
        else if (name == u"print")
            readPrint();
        else if (name == u"harmony")
            readHarmony();
        else if (name == u"figured-bass") {
            dropped(QStringLiteral("figured bass dropped"));
            in_.skip();
        } else {
            in_.skip();  // sound, listening, grouping, link, bookmark: no music
        }
    }
}

void MeasureReader::readPrint() {
    while (in_.nextChild()) {
        if (in_.name() == u"measure-numbering" && part_.part.id == score_.firstPart) {
            // Numbers at the start of each system, or over every measure: jianpu prints the
            // first of each line.
            const QString numbering = in_.text(16).trimmed();
            score_.measureNumbers = numbering == u"system" || numbering == u"measure";
        } else {
            in_.skip();  // layout: page and system breaks, margins
        }
    }
}

ExactTicks MeasureReader::durationTicks(double value, bool backward) {
    // Backing up past the start of the measure stops there.
    if (backward)
        value = std::min(value, limits::kMaxMeasureQuarters * part_.divisions);
    if (value < 0 || (!backward && value / part_.divisions > limits::kMaxNoteQuarters))
        in_.fail(QStringLiteral("%1: the duration %2 is out of range").arg(where()).arg(value));
    return value * kQuarter / part_.divisions;
}

ExactTicks MeasureReader::readBackup() {
    ExactTicks ticks = 0;
    while (in_.nextChild()) {
        if (in_.name() == u"duration")
            ticks = durationTicks(in_.number(), true);
        else
            in_.skip();
    }
    return ticks;
}

// Time a voice passes without printing anything is a hidden rest: left out at the edges of
// a measure as hidden rests are, kept (as rests) inside it.
void MeasureReader::readForward() {
    ParsedNote blank;
    blank.rest = blank.hidden = blank.blank = true;
    blank.staff = lastStaff_;
    blank.voice = lastVoice_;
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"duration") {
            blank.length = durationTicks(in_.number(), false);
        } else if (name == u"voice") {
            const QStringView named = in_.textView(64).trimmed();
            blank.voice = voiceIndex(std::u16string(named.utf16(), named.utf16() + named.size()));
        } else if (name == u"staff") {
            blank.staff = std::clamp(in_.integer(), 1, part_.part.staves);
        } else {
            in_.skip();
        }
    }
    if (blank.voice < 0)
        blank.voice = voiceIndex(u"1");
    blank.start = position_;
    advance(position_ + blank.length);
    if (blank.length <= 0)
        return;
    if (++score_.notes > limits::kMaxNotes)
        in_.fail(QStringLiteral("the score holds more than %1 notes").arg(limits::kMaxNotes));
    measure_->notes.push_back(std::move(blank));
}

void MeasureReader::advance(ExactTicks to) {
    if (to > limits::kMaxMeasureQuarters * kQuarter)
        in_.fail(QStringLiteral("%1: the measure is longer than %2 quarters")
                     .arg(where())
                     .arg(limits::kMaxMeasureQuarters));
    position_ = to;
    measure_->length = std::max(measure_->length, position_);
}

void MeasureReader::readAttributes() {
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"divisions") {
            const double divisions = in_.number();
            if (!(divisions > 0) || divisions > limits::kMaxDivisions)
                in_.fail(QStringLiteral("%1: %2 divisions to the quarter is out of range")
                             .arg(where())
                             .arg(divisions));
            part_.divisions = divisions;
        } else if (name == u"key") {
            readKey();
        } else if (name == u"time") {
            readTime();
        } else if (name == u"staves") {
            const int staves = in_.integer();
            if (staves < 1 || staves > limits::kMaxStaves)
                in_.fail(QStringLiteral("%1: %2 staves are out of range").arg(where()).arg(staves));
            part_.part.staves = std::max(part_.part.staves, staves);
        } else if (name == u"transpose") {
            report_.addOnce(QStringLiteral("transposing parts kept at their written pitch"));
            in_.skip();
        } else if (name == u"clef" || name == u"staff-details") {
            readStaffKind(name == u"clef");
        } else {
            in_.skip();  // measure styles: nothing jianpu writes
        }
    }
    measure_->meter = part_.meter;
    measure_->meterKnown = part_.meterKnown;
    measure_->fifths = part_.fifths;
    measure_->freeMeter = part_.freeMeter;
}

void MeasureReader::readStaffKind(bool clef) {
    bool ok = false;
    const int staff = in_.hasAttribute("number") ? in_.attribute("number").toInt(&ok) : 1;
    if (in_.hasAttribute("number") && (!ok || staff < 1 || staff > limits::kMaxStaves)) {
        in_.skip();
        return;
    }
    bool tablature = false;
    bool percussion = false;
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (clef && name == u"sign") {
            const QStringView sign = in_.textView(16).trimmed();
            tablature = sign == u"TAB";
            percussion = sign == u"percussion";
        } else if (!clef && name == u"staff-tuning") {
            // Strings tuned: a staff of fret numbers, whatever its clef.
            tablature = true;
            in_.skip();
        } else {
            in_.skip();
        }
    }
    // A clef change back to a pitched clef does not make a tablature staff a melody.
    if (tablature)
        part_.part.tablature.insert(staff);
    if (percussion)
        part_.part.percussion.insert(staff);
}

void MeasureReader::readKey() {
    std::optional<int> fifths;
    bool nonTraditional = false;
    while (in_.nextChild()) {
        if (in_.name() == u"fifths")
            fifths = in_.integer();
        else if (in_.name() == u"key-step")
            nonTraditional = true, in_.skip();
        else
            in_.skip();  // mode: a minor key is written as its relative major
    }
    if (!fifths) {
        if (nonTraditional)
            dropped(QStringLiteral("non-traditional key signatures dropped, notes kept"));
        return;
    }
    if (*fifths < -1000 || *fifths > 1000)
        in_.fail(QStringLiteral("%1: %2 fifths is not a key").arg(where()).arg(*fifths));
    const int storable = storableFifths(*fifths);
    if (storable != *fifths)
        dropped(QStringLiteral("key signatures written as the key that sounds the same"));
    part_.fifths = storable;
    if (!score_.fifths)
        score_.fifths = storable;
}

// A time signature as read so far: its beats over the common denominator of its beat types.
struct MeasureReader::Signature {
    int numerator = 0;
    int denominator = 0;
    bool composite = false;
    bool free = false;
    int pendingBeats = 0;  // of the last <beats>, for the <beat-type> after it
};

void MeasureReader::readTime() {
    // A hidden time signature only says how long its measures are, which they keep anyway.
    const bool hidden = in_.attribute("print-object") == u"no";
    Signature signature;
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"beats") {
            readBeats(signature);
        } else if (name == u"beat-type") {
            readBeatType(signature);
        } else if (name == u"senza-misura") {
            signature.free = true;
            in_.skip();
        } else {
            in_.skip();  // interchangeable: the first signature is the one the score uses
        }
    }
    setTime(signature, hidden);
}

// "3+2" adds up its beats.
void MeasureReader::readBeats(Signature& signature) {
    signature.pendingBeats = 0;
    const QString text = in_.text(64);
    signature.composite = signature.composite || text.contains(u'+');
    for (const QString& part : text.split(u'+')) {
        const int beats = part.trimmed().toInt();
        // A hidden signature gives a long measure in small beats: 1024 quarters of 512ths at
        // most.
        if (beats <= 0 || beats > 1000000)
            in_.fail(QStringLiteral("%1: the time signature %2 is not one").arg(where(), text));
        signature.pendingBeats += beats;
    }
    if (signature.pendingBeats > 1000000)
        in_.fail(QStringLiteral("%1: the time signature %2 is not one").arg(where(), text));
}

// A beat type after the first adds its beats to the signature's, over the common denominator.
void MeasureReader::readBeatType(Signature& signature) {
    const int type = in_.integer();
    if (type <= 0 || type > 1024)
        in_.fail(QStringLiteral("%1: the beat type %2 is not one").arg(where()).arg(type));
    if (signature.denominator == 0) {
        signature.numerator = signature.pendingBeats;
        signature.denominator = type;
        return;
    }
    signature.composite = true;
    const int common = std::max(signature.denominator, type);
    if (common % signature.denominator != 0 || common % type != 0)
        in_.fail(QStringLiteral("%1: the time signature is not one").arg(where()));
    const long long sum =
        static_cast<long long>(signature.numerator) * (common / signature.denominator) +
        static_cast<long long>(signature.pendingBeats) * (common / type);
    if (sum > 1000000)
        in_.fail(QStringLiteral("%1: the time signature is not one").arg(where()));
    signature.numerator = static_cast<int>(sum);
    signature.denominator = common;
}

void MeasureReader::setTime(const Signature& signature, bool hidden) {
    if (signature.free) {
        // Free meter: measures as long as their notes, shown without a fraction.
        part_.freeMeter = true;
        measure_->meterShown = true;
        return;
    }
    if (signature.denominator == 0) {
        dropped(QStringLiteral("time signatures without a beat type dropped"));
        return;
    }
    const music::Meter meter{signature.numerator, signature.denominator};
    if (hidden) {
        part_.meter = meter;
        part_.meterKnown = true;
        return;
    }
    if (signature.composite)
        dropped(QStringLiteral("composite time signatures written as their sum"));
    part_.meter = meter;
    part_.meterKnown = true;
    part_.freeMeter = false;
    if (!storableMeter(meter)) {
        dropped(QStringLiteral("time signatures this editor cannot write dropped"));
        return;
    }
    measure_->meterShown = true;
    if (!score_.meter)
        score_.meter = meter;
}

void MeasureReader::readNote() {
    if (++score_.notes > limits::kMaxNotes)
        in_.fail(QStringLiteral("the score holds more than %1 notes").arg(limits::kMaxNotes));
    ParsedNote note;
    note.hidden = in_.attribute("print-object") == u"no";
    std::u16string voice = u"1";  // short enough to need no allocation
    std::optional<double> duration;
    ExactTicks shown = 0;
    int dots = 0;
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"duration") {
            duration = in_.number();
        } else if (name == u"voice") {
            const QStringView named = in_.textView(64).trimmed();
            voice.assign(named.utf16(), static_cast<std::size_t>(named.size()));
        } else if (name == u"type") {
            shown = typeTicks(in_.textView(16).trimmed());
        } else if (name == u"dot") {
            ++dots;
            in_.skip();
        } else {
            readNoteChild(note, name);
        }
    }
    for (ExactTicks dot = shown / 2; dots > 0; --dots, dot /= 2)
        note.shown += dot;
    note.shown += shown;
    note.length = noteLength(note, duration);
    note.voice = voiceIndex(voice);
    lastVoice_ = note.voice;
    lastStaff_ = note.staff;
    placeNote(note);
    measure_->notes.push_back(std::move(note));
}

void MeasureReader::readNoteChild(ParsedNote& note, QStringView name) {
    if (name == u"grace") {
        note.grace = true;
        note.graceAfter = in_.hasAttribute("steal-time-previous");
        in_.skip();
    } else if (name == u"cue") {
        note.cue = true;
        in_.skip();
    } else if (name == u"chord") {
        note.chord = true;
        in_.skip();
    } else if (name == u"pitch" || name == u"unpitched") {
        readPitch(note, name == u"unpitched");
    } else if (name == u"rest") {
        note.rest = true;
        note.measureRest = in_.attribute("measure") == u"yes";
        in_.skip();
    } else if (name == u"tie") {
        const QStringView type = in_.attribute("type");
        note.tieStart = note.tieStart || type == u"start";
        note.tieStop = note.tieStop || type == u"stop";
        in_.skip();
    } else if (name == u"accidental") {
        note.accidentalShown = true;
        in_.skip();
    } else if (name == u"time-modification") {
        readTimeModification(note);
    } else if (name == u"notehead") {
        note.parenthesized = in_.attribute("parentheses") == u"yes";
        in_.skip();
    } else if (name == u"staff") {
        note.staff = in_.integer();
        if (note.staff < 1 || note.staff > limits::kMaxStaves)
            in_.fail(QStringLiteral("%1: staff %2 is out of range").arg(where()).arg(note.staff));
        part_.part.staves = std::max(part_.part.staves, note.staff);
    } else if (name == u"notations") {
        // The strings and frets of a tablature note are what makes it tablature, not marks
        // that jianpu drops.
        if (part_.part.tablature.count(note.staff))
            in_.skip();
        else
            readNotations(note);
    } else if (name == u"lyric") {
        readLyric(note);
    } else {
        in_.skip();
    }
}

void MeasureReader::readTimeModification(ParsedNote& note) {
    note.tuplet = true;
    while (in_.nextChild()) {
        if (in_.name() == u"actual-notes")
            note.tupletActual = in_.integer();
        else if (in_.name() == u"normal-notes")
            note.tupletNormal = in_.integer();
        else
            in_.skip();
    }
}

ExactTicks MeasureReader::noteLength(const ParsedNote& note, std::optional<double> duration) {
    if (note.grace)
        return 0;
    if (!duration)
        return note.shown;  // a file that leaves out durations still shows its values
    if (*duration < 0 || *duration / part_.divisions > limits::kMaxNoteQuarters)
        in_.fail(QStringLiteral("%1: the duration %2 is out of range").arg(where()).arg(*duration));
    return *duration * kQuarter / part_.divisions;
}

int MeasureReader::voiceIndex(const std::u16string& voice) {
    auto named = std::find(part_.voices.begin(), part_.voices.end(), voice);
    if (named == part_.voices.end())
        named = part_.voices.insert(part_.voices.end(), voice);
    return static_cast<int>(named - part_.voices.begin());
}

void MeasureReader::placeNote(ParsedNote& note) {
    if (note.grace) {
        note.start = position_;
    } else if (note.chord) {
        note.start = chordStart_;
    } else {
        note.start = position_;
        chordStart_ = position_;
        advance(position_ + note.length);
    }
}

void MeasureReader::readPitch(ParsedNote& note, bool unpitched) {
    // An unpitched note without a place stands on the middle line.
    std::u16string step = unpitched ? u"B" : u"";
    double alter = 0;
    int octave = 4;
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"step" || name == u"display-step") {
            const QStringView named = in_.textView(8).trimmed();
            step.assign(named.utf16(), static_cast<std::size_t>(named.size()));
        } else if (name == u"alter") {
            alter = in_.number();
        } else if (name == u"octave" || name == u"display-octave") {
            octave = in_.integer();
        } else {
            in_.skip();
        }
    }
    const std::size_t index = std::u16string_view(u"CDEFGAB").find(step);
    if (step.size() != 1 || index == std::u16string_view::npos)
        in_.fail(QStringLiteral("%1: \"%2\" is not a step")
                     .arg(where(), QString::fromStdU16String(step)));
    if (octave < -1 || octave > 10 || std::abs(alter) > 4)
        in_.fail(QStringLiteral("%1: the pitch is out of range").arg(where()));
    const double rounded = std::round(alter);
    if (rounded != alter)
        dropped(QStringLiteral("microtones rounded to the nearest semitone"));
    if (unpitched)
        dropped(QStringLiteral("unpitched notes written at their place on the staff"));
    note.pitch = music::Pitch{static_cast<int>(index), static_cast<int>(rounded), octave};
}

void MeasureReader::readNotations(ParsedNote& note) {
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"tied") {
            const QStringView type = in_.attribute("type");
            note.tieStart = note.tieStart || type == u"start";
            note.tieStop = note.tieStop || type == u"stop";
            in_.skip();
        } else if (name == u"slur") {
            const QStringView type = in_.attribute("type");
            const int number = in_.hasAttribute("number") ? in_.attribute("number").toInt() : 1;
            if (number >= 1 && number <= 16) {
                const auto bit = static_cast<std::uint16_t>(1u << (number - 1));
                if (type == u"start")
                    note.slurStarts |= bit;
                else if (type == u"stop")
                    note.slurStops |= bit;
            }
            in_.skip();
        } else if (name == u"articulations") {
            while (in_.nextChild()) {
                const QStringView mark = in_.name();
                const music::NoteMark* row = markNamed(mark);
                if (mark == u"breath-mark")
                    note.breath = true;
                else if (row && row->inArticulations)
                    note.articulations |= row->flag;
                else
                    dropped(QStringLiteral("articulations dropped"));
                in_.skip();
            }
        } else if (const music::NoteMark* row = markNamed(name); row && !row->inArticulations) {
            note.articulations |= row->flag;
            in_.skip();
        } else if (name == u"tuplet") {
            ParsedNote::TupletBracket bracket;
            bracket.start = in_.attribute("type") == u"start";
            if (in_.hasAttribute("number"))
                bracket.number = std::clamp(in_.attribute("number").toInt(), 1, 16);
            note.tupletStarts = note.tupletStarts || bracket.start;
            while (in_.nextChild()) {
                const QStringView part = in_.name();
                if (part != u"tuplet-actual" && part != u"tuplet-normal") {
                    in_.skip();
                    continue;
                }
                int& count = part == u"tuplet-actual" ? bracket.actual : bracket.normal;
                while (in_.nextChild()) {
                    if (in_.name() == u"tuplet-number")
                        count = std::clamp(in_.integer(), 0, 255);
                    else
                        in_.skip();
                }
            }
            if (note.tupletBrackets.size() < 8)
                note.tupletBrackets.push_back(bracket);
        } else if (const char* what = droppedNotation(name)) {
            // A line between two notes is reported once, where it starts.
            if (in_.attribute("type") != u"stop")
                dropped(QString::fromLatin1(what));
            in_.skip();
        } else {
            in_.skip();
        }
    }
}

namespace {

// A root or bass note as a chord symbol spells it ("F#", "Bb").
QString noteName(const QString& step, double alter) {
    QString out = step;
    if (alter >= 0.5)
        out += QLatin1Char('#');
    else if (alter <= -0.5)
        out += QLatin1Char('b');
    return out;
}

}  // namespace

void MeasureReader::readHarmony() {
    ParsedHarmony harmony;
    harmony.start = position_;
    QString root, bass, kind, kindText;
    QString degrees;  // the alterations a kind without its own text adds ("b9", "add9")
    double rootAlter = 0, bassAlter = 0;
    bool printed = in_.attribute("print-object") != u"no";
    bool kindTextGiven = false;
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"root" || name == u"bass") {
            const bool isRoot = name == u"root";
            while (in_.nextChild()) {
                const QStringView part = in_.name();
                if (part == u"root-step" || part == u"bass-step")
                    (isRoot ? root : bass) = in_.text(4).trimmed();
                else if (part == u"root-alter" || part == u"bass-alter")
                    (isRoot ? rootAlter : bassAlter) = in_.number();
                else
                    in_.skip();
            }
        } else if (name == u"kind") {
            kindText = in_.attribute("text").toString();
            kindTextGiven = in_.hasAttribute("text");
            kind = in_.text(40).trimmed();
        } else if (name == u"offset") {
            harmony.start = std::max(0.0, position_ + in_.number() * kQuarter / part_.divisions);
        } else if (name == u"staff") {
            harmony.staff = std::clamp(in_.integer(), 1, limits::kMaxStaves);
        } else if (name == u"degree") {
            degrees += readDegree();
        } else {
            in_.skip();  // frames, functions: the symbol says enough
        }
    }
    if (!printed)
        return;
    // No chord: printed "N.C." unless the file prints it otherwise (an empty text prints
    // nothing, as a chord's end that is not shown).
    if (kind == u"none") {
        const auto shown = music::parseChordSymbol(kindText.toStdU16String());
        if (kindTextGiven && !(shown && shown->none))
            return;
        harmony.text = u"N.C.";
        measure_->harmonies.push_back(std::move(harmony));
        return;
    }
    // The printed suffix when it reads as a symbol, else the usual one of the kind.
    std::optional<music::ChordSymbol> chord;
    const QString head = noteName(root, rootAlter);
    const QString tail = bass.isEmpty() ? QString() : QLatin1Char('/') + noteName(bass, bassAlter);
    if (!kindText.isEmpty())
        chord = music::parseChordSymbol((head + kindText + tail).toStdU16String());
    if (!chord)
        if (const auto suffix = music::suffixOfKind(kind.toStdString())) {
            const QString quality = head + QString::fromStdString(*suffix);
            if (!degrees.isEmpty()) {
                chord = music::parseChordSymbol(
                    (quality + QLatin1Char('(') + degrees + QLatin1Char(')') + tail)
                        .toStdU16String());
                if (!chord)
                    dropped(QStringLiteral("chord alterations this editor cannot write dropped"));
            }
            if (!chord)
                chord = music::parseChordSymbol((quality + tail).toStdU16String());
        }
    if (!chord) {
        dropped(QStringLiteral("chord symbols this editor cannot write dropped"));
        return;
    }
    harmony.text = chord->text();
    measure_->harmonies.push_back(std::move(harmony));
}

QString MeasureReader::readDegree() {
    int value = 0;
    double alter = 0;
    QString type;
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"degree-value")
            value = in_.integer();
        else if (name == u"degree-alter")
            alter = in_.number();
        else if (name == u"degree-type")
            type = in_.text(16).trimmed();
        else
            in_.skip();
    }
    if (value < 2 || value > 13)
        return {};
    const QString number = QString::number(value);
    if (type == u"add" && alter > -0.5 && alter < 0.5)
        return QStringLiteral("add") + number;
    if (type == u"add" || type == u"alter")
        return (alter >= 0.5 ? QStringLiteral("#") : alter <= -0.5 ? QStringLiteral("b")
                                                                   : QString()) +
               number;
    dropped(QStringLiteral("chord alterations this editor cannot write dropped"));
    return {};
}

void MeasureReader::readLyric(ParsedNote& note) {
    ParsedLyric lyric;
    const QStringView number = in_.attribute("number").trimmed();
    bool numeric = false;
    const int verse = number.toInt(&numeric);
    if (number.isEmpty()) {
        lyric.verse = 1;
    } else if (numeric) {
        lyric.verse = verse;
    } else {
        // A verse named otherwise ("iii", "chorus") comes after the verses seen so far.
        auto [at, inserted] = part_.verseNames.try_emplace(number.toString(), 0);
        if (inserted)
            at->second = part_.highestVerse + 1;
        lyric.verse = at->second;
    }
    if (lyric.verse >= 1 && lyric.verse <= limits::kMaxVerses)
        part_.highestVerse = std::max(part_.highestVerse, lyric.verse);
    bool sung = true;
    bool written = false;
    QString joint;
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"text") {
            written = true;
            lyric.text += joint + in_.text(limits::kMaxTextLength);
            joint.clear();
        } else if (name == u"elision") {
            joint = in_.text(16);
            if (joint.isEmpty())
                joint = QStringLiteral("\u203F");  // the undertie that joins two syllables
        } else if (name == u"syllabic") {
            const QStringView syllabic = in_.textView(16).trimmed();
            lyric.continues = syllabic == u"begin" || syllabic == u"middle";
        } else if (name == u"humming" || name == u"laughing") {
            sung = false;
            in_.skip();
        } else {
            in_.skip();  // extend: a held syllable needs no sign in jianpu
        }
    }
    if (!sung) {
        dropped(QStringLiteral("hummed or laughed syllables dropped"));
        return;
    }
    if (!written)
        return;  // only the line of a held syllable, which jianpu leaves to the notes
    // Two lines of one number told apart by their names ("Verse", "Chorus") on one note: the
    // later goes to the next verse the note leaves free, so that neither overprints the other.
    const auto taken = [&note](int verse) {
        return std::any_of(note.lyrics.begin(), note.lyrics.end(),
                           [verse](const ParsedLyric& l) { return l.verse == verse; });
    };
    while (lyric.verse >= 1 && lyric.verse <= limits::kMaxVerses && taken(lyric.verse))
        ++lyric.verse;
    if (lyric.verse >= 1 && lyric.verse <= limits::kMaxVerses)
        part_.highestVerse = std::max(part_.highestVerse, lyric.verse);
    if (lyric.verse < 1 || lyric.verse > limits::kMaxVerses) {
        dropped(QStringLiteral("syllables of verses beyond %1 dropped").arg(limits::kMaxVerses));
        return;
    }
    lyric.text.truncate(limits::kMaxTextLength);
    note.lyrics.push_back(std::move(lyric));
}

bool MeasureReader::readMetronome(bool atStart) {
    TempoMark mark;
    bool understood = true;
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"beat-unit") {
            const QString unit = in_.text(16);
            mark.beatUnit = unit == u"half" ? 2 : unit == u"eighth" ? 8 : 4;
            understood = understood && (unit == u"half" || unit == u"quarter" || unit == u"eighth");
        } else if (name == u"beat-unit-dot") {
            mark.dotted = true;
            in_.skip();
        } else if (name == u"per-minute") {
            // A range or "c. 60" is printed as it is; the number played is its middle until
            // the direction's sound says the tempo.
            const std::optional<MetronomeNumber> number =
                readMetronomeNumber(in_.text(limits::kMaxTextLength));
            if (number) {
                mark.perMinute = static_cast<std::uint16_t>(number->beats + 0.5);
                mark.perMinuteText = number->printed.toStdU16String();
            } else {
                understood = false;
            }
        } else {
            in_.skip();  // a metric modulation (beat unit = beat unit) and the like
            understood = false;
        }
    }
    if (understood && mark.perMinute > 0 && atStart && score_.tempo.perMinute == 0) {
        mark.text = score_.tempo.text;
        score_.tempo = mark;
        return true;
    }
    // A change of tempo later in the first part: a mark over its measure.
    if (understood && mark.perMinute > 0 && !atStart) {
        mark.text = measure_->tempo.text;
        measure_->tempo = mark;
        return true;
    }
    if (!understood)
        dropped(QStringLiteral("tempo marks dropped"));
    return false;
}

namespace {

// The jumps that words over a measure name: "D.S. al Coda", "Fine", "To Coda", "Da Capo".
std::uint32_t jumpsOfWords(const QString& words) {
    QString w = words.simplified().toLower();
    w.remove(u' ');
    std::uint32_t jumps = 0;
    const bool dalSegno = w.startsWith(u"d.s.") || w.startsWith(u"dalsegno") || w == u"ds";
    const bool daCapo = w.startsWith(u"d.c.") || w.startsWith(u"dacapo") || w == u"dc";
    if (dalSegno || daCapo) {
        jumps |= dalSegno ? jump::kDalSegno : jump::kDaCapo;
        if (w.contains(u"alfine"))
            jumps |= jump::kAlFine;
        else if (w.contains(u"alcoda"))
            jumps |= jump::kAlCoda;
    } else if (w == u"fine") {
        jumps |= jump::kFine;
    } else if (w.startsWith(u"tocoda")) {
        jumps |= jump::kToCoda;
    }
    return jumps;
}

// The jumps a <sound> element plays.
std::uint32_t jumpsOfSound(const XmlInput& in) {
    std::uint32_t jumps = 0;
    if (in.hasAttribute("dacapo") && in.attribute("dacapo") == u"yes")
        jumps |= jump::kDaCapo;
    if (in.hasAttribute("dalsegno"))
        jumps |= jump::kDalSegno;
    if (in.hasAttribute("fine"))
        jumps |= jump::kFine;
    if (in.hasAttribute("tocoda"))
        jumps |= jump::kToCoda;
    if (in.hasAttribute("segno"))
        jumps |= jump::kSegno;
    if (in.hasAttribute("coda"))
        jumps |= jump::kCoda;
    return jumps;
}

}  // namespace

// What a <direction> says, as its children are read. Tempo changes and jumps are noted in
// every part; the import keeps those of the top part, which numbers the measures of every
// track.
struct MeasureReader::Direction {
    bool atStart = false;        // over the start of the score
    bool metronomeHere = false;  // it holds the metronome mark its words go with
    std::uint32_t signs = 0;
    std::uint32_t sounds = 0;
    std::uint32_t words = 0;
    QString tempoWords;
    bool firstWordsHere = false;  // it holds the score's first words
    std::vector<std::u16string> chords;  // words that are chord symbols ("N.C.", "Fm7(b5)")
    QString text;                        // other words, written at their note
    bool below = false;                  // under the staff
    double offset = 0;                   // in divisions, from where the direction stands
    int staff = 1;
};

void MeasureReader::readDirection() {
    Direction direction;
    direction.atStart = part_.part.id == score_.firstPart && part_.part.measures.size() == 1 &&
                        measure_->notes.empty() && position_ == 0;
    direction.below = in_.attribute("placement") == u"below";
    while (in_.nextChild()) {
        if (in_.name() == u"sound")
            readSound(direction);
        else if (in_.name() == u"direction-type")
            readDirectionType(direction);
        else if (in_.name() == u"offset")
            direction.offset = in_.number();
        else if (in_.name() == u"staff")
            direction.staff = std::clamp(in_.integer(), 1, limits::kMaxStaves);
        else
            in_.skip();  // voice: placement only
    }
    setDirection(direction);
    // Words that name a chord are the chord symbol of the note at their beat; other words are
    // written at that note, on the side the file puts them.
    const ExactTicks start =
        std::max(0.0, position_ + direction.offset * kQuarter / part_.divisions);
    for (std::u16string& chord : direction.chords)
        measure_->harmonies.push_back({start, direction.staff, std::move(chord)});
    if (!direction.text.isEmpty())
        measure_->words.push_back({start, direction.staff, direction.below,
                                   direction.text.toStdU16String()});
}

void MeasureReader::readSound(Direction& direction) {
    direction.sounds |= jumpsOfSound(in_);
    bool ok = false;
    const double tempo = in_.attribute("tempo").toDouble(&ok);
    // The tempo played under a mark whose number is printed otherwise ("100–110"): the
    // number stored, in the mark's beat, is what is played (and what an older version prints).
    if (direction.metronomeHere && ok) {
        TempoMark& mark = direction.atStart ? score_.tempo : measure_->tempo;
        if (const int beats = beatsOfQuarters(tempo, mark.beatUnit, mark.dotted);
            beats > 0 && !mark.perMinuteText.empty())
            mark.perMinute = static_cast<std::uint16_t>(beats);
    }
    // A tempo to play at, over the start and with no metronome mark: the mark's number.
    if (direction.atStart && ok && tempo >= 1 && tempo <= 1000 && score_.tempo.perMinute == 0) {
        score_.tempo.beatUnit = 4;
        score_.tempo.dotted = false;
        score_.tempo.perMinute = static_cast<std::uint16_t>(tempo + 0.5);
    }
    in_.skip();
}

void MeasureReader::readDirectionType(Direction& direction) {
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"words") {
            readWords(direction);
        } else if (name == u"metronome") {
            direction.metronomeHere = readMetronome(direction.atStart);
        } else if (name == u"segno" || name == u"coda") {
            direction.signs |= name == u"segno" ? jump::kSegno : jump::kCoda;
            in_.skip();
        } else {
            const QStringView type = in_.attribute("type");
            const char* what = droppedDirection(name);
            if (type != u"stop" && type != u"continue")
                dropped(what ? QString::fromLatin1(what)
                             : QStringLiteral("other directions dropped"));
            in_.skip();
        }
    }
}

void MeasureReader::readWords(Direction& direction) {
    const QString text = in_.text(limits::kMaxTextLength);
    const auto addTempoWords = [&] {
        direction.tempoWords +=
            (direction.tempoWords.isEmpty() ? QString() : QStringLiteral(" ")) + text;
    };
    if (const std::uint32_t named = jumpsOfWords(text)) {
        direction.words |= named;
        return;
    }
    // Lead sheets write chord symbols as words too ("N.C.", "Fm7(b5)" under the melody). A
    // letter alone is a rehearsal or section letter more often than a chord.
    if (const auto chord = music::parseChordSymbol(text.simplified().toStdU16String());
        chord && text.simplified().size() > 1 &&
        chord->text().size() <= extension::kLongestChordSymbol) {
        direction.chords.push_back(chord->text());
        return;
    }
    // Words over the start of the score are its tempo or expression, which jianpu writes
    // beside the key: with the metronome mark they are its tempo text.
    if (direction.metronomeHere) {
        addTempoWords();
        return;
    }
    // The words of the first direction over the start (under it they are a note's); a direction
    // after it there is a text of the first measure, as one later in it would be.
    if (direction.atStart && !direction.below && !score_.firstWords) {
        score_.firstWords = text;
        direction.firstWordsHere = true;
    } else if (direction.atStart && direction.firstWordsHere && !direction.below &&
               score_.firstWords->size() < limits::kMaxTextLength) {
        score_.firstWords = *score_.firstWords + QLatin1Char(' ') + text;
    } else if (!text.trimmed().isEmpty()) {
        direction.text += (direction.text.isEmpty() ? QString() : QStringLiteral(" ")) +
                          text.simplified();
    } else {
        dropped(QStringLiteral("text directions dropped"));
    }
}

// A coda sign with a "tocoda" sound is the place to jump from, not the coda itself.
void MeasureReader::setDirection(const Direction& direction) {
    if (!direction.tempoWords.isEmpty()) {
        // Words beside the opening metronome mark are its text; other words stand over
        // their measure.
        TempoMark& mark =
            direction.atStart && direction.metronomeHere ? score_.tempo : measure_->tempo;
        mark.text = (QString::fromStdU16String(mark.text) +
                     (mark.text.empty() ? QString() : QStringLiteral(" ")) + direction.tempoWords)
                        .left(limits::kMaxTextLength)
                        .toStdU16String();
    }
    std::uint32_t signs = direction.signs;
    const std::uint32_t words = direction.words;
    if ((direction.sounds & jump::kToCoda) && (signs & jump::kCoda))
        signs &= ~jump::kCoda;  // the sign that says where to leave for the coda
    measure_->jumps |= signs | words |
                       (direction.sounds & ~(signs | words) &
                        (jump::kDaCapo | jump::kDalSegno | jump::kFine | jump::kToCoda |
                         jump::kSegno | jump::kCoda));
    // A D.C. or D.S. sound beside words that name only Fine or To Coda: the words' ending.
    if ((measure_->jumps & (jump::kDaCapo | jump::kDalSegno)) &&
        !(measure_->jumps & (jump::kAlFine | jump::kAlCoda)) && (words & jump::kToCoda))
        measure_->jumps = (measure_->jumps & ~jump::kToCoda) | jump::kAlCoda;
}

void MeasureReader::readBarline() {
    const QString location = in_.hasAttribute("location") ? in_.attribute("location").toString()
                                                          : QStringLiteral("right");
    QString style;
    bool forward = false;
    bool backward = false;
    QString ending;
    QString endingNumber;
    QString endingText;
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"bar-style") {
            style = in_.textView(32).trimmed().toString();
        } else if (name == u"repeat") {
            const QStringView direction = in_.attribute("direction");
            forward = forward || direction == u"forward";
            backward = backward || direction == u"backward";
            in_.skip();
        } else if (name == u"ending") {
            ending = in_.attribute("type").toString();
            endingNumber = in_.attribute("number").trimmed().toString();
            endingText = in_.text(limits::kMaxTextLength).trimmed();
        } else if (name == u"segno" || name == u"coda") {
            measure_->jumps |= name == u"segno" ? jump::kSegno : jump::kCoda;
            in_.skip();
        } else if (name == u"fermata" || name == u"segno" || name == u"coda" ||
                   name == u"wavy-line") {
            dropped(QStringLiteral("signs on bar lines dropped"));
            in_.skip();
        } else {
            in_.skip();
        }
    }
    if (location == u"middle") {
        dropped(QStringLiteral("bar lines inside measures dropped"));
        return;
    }
    if (location == u"left") {
        measure_->forwardRepeat = measure_->forwardRepeat || forward;
        if (ending == u"start") {
            measure_->endingStarts = true;
            // The printed text when there is one, else the numbers ("1, 2" reads "1,2"); "1"
            // is what an unlabelled bracket shows.
            QString label = endingText;
            if (label.isEmpty()) {
                QStringList numbers;
                for (const QString& number : endingNumber.split(u',', Qt::SkipEmptyParts))
                    numbers << number.trimmed();
                label = numbers.join(u',');
            }
            measure_->endingLabel = label.left(32);
        }
        return;
    }
    if (ending == u"stop" || ending == u"discontinue")
        measure_->endingStops = true;
    if (backward) {
        measure_->barType = 4;
    } else if (forward) {
        measure_->barType = 3;
    } else if (!style.isEmpty()) {
        const std::optional<BarStyle> found = barStyleOf(style);
        measure_->barType = found ? found->barType : 0;
        if (!found || found->approximate)
            dropped(QStringLiteral("bar line styles written as the nearest this editor has"));
    }
}

}  // namespace qe::musicxml
