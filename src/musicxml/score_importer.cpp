#include "musicxml/score_importer.h"

#include "musicxml/measure_time.h"
#include "musicxml/musicxml_error.h"
#include "musicxml/track_builder.h"

#include "music/attributes.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace qe::musicxml {

namespace {

// A staff holds this many tracks at most; more voices than that are not music a jianpu
// page can show, and each costs a track of rests wherever it is silent.
constexpr int kMostVoiceTracks = 8;

bool sounding(const ParsedNote& n) {
    return !n.rest && !n.grace && !n.cue && n.length > 0;
}

// The tracks one staff is written as: each a list of voices that never sound in the same
// measure (a program that numbers one melody's voice differently from measure to measure
// gives one track), in the order of their numbers, so that voice 1 (soprano) stands above
// voice 2 (alto). A staff with no notes at all is one track of its first voice.
std::vector<std::vector<int>> tracksOfStaff(const ParsedPart& part, int staff,
                                            ConversionReport& report) {
    const int voices = static_cast<int>(part.voiceNumbers.size());
    // Per voice, the measures where it sounds.
    std::vector<std::vector<bool>> sounds(static_cast<std::size_t>(voices),
                                          std::vector<bool>(part.measures.size(), false));
    std::vector<bool> used(static_cast<std::size_t>(voices), false);
    int firstVoice = -1;
    for (std::size_t m = 0; m < part.measures.size(); ++m) {
        for (const ParsedNote& n : part.measures[m].notes) {
            if (n.staff != staff || n.voice < 0 || n.voice >= voices)
                continue;
            if (firstVoice < 0 && !n.grace && !n.cue && !n.chord)
                firstVoice = n.voice;
            if (sounding(n)) {
                sounds[static_cast<std::size_t>(n.voice)][m] = true;
                used[static_cast<std::size_t>(n.voice)] = true;
            }
        }
    }
    std::vector<int> order;
    for (int v = 0; v < voices; ++v)
        if (used[static_cast<std::size_t>(v)])
            order.push_back(v);
    std::stable_sort(order.begin(), order.end(), [&part](int a, int b) {
        return part.voiceNumbers[static_cast<std::size_t>(a)] <
               part.voiceNumbers[static_cast<std::size_t>(b)];
    });
    std::vector<std::vector<int>> tracks;
    std::vector<std::vector<bool>> taken;  // per track, the measures its voices sound in
    int lost = 0;
    for (const int v : order) {
        const std::vector<bool>& mine = sounds[static_cast<std::size_t>(v)];
        std::size_t t = 0;
        for (; t < tracks.size(); ++t) {
            bool clash = false;
            for (std::size_t m = 0; m < mine.size() && !clash; ++m)
                clash = mine[m] && taken[t][m];
            if (!clash)
                break;
        }
        if (t == tracks.size()) {
            if (static_cast<int>(tracks.size()) >= kMostVoiceTracks) {
                ++lost;
                continue;
            }
            tracks.emplace_back();
            taken.emplace_back(mine.size(), false);
        }
        tracks[t].push_back(v);
        for (std::size_t m = 0; m < mine.size(); ++m)
            taken[t][m] = taken[t][m] || mine[m];
    }
    if (lost)
        report.addOnce(QStringLiteral("voices beyond the eighth of a staff dropped"));
    if (tracks.empty())
        tracks.push_back({std::max(firstVoice, 0)});
    return tracks;
}

// The voice of a track in one measure: the one of its voices that sounds there, else its
// first (whose rests, or the measure's silence, the track shows).
int voiceOfMeasure(const ParsedMeasure& measure, int staff, const std::vector<int>& voices) {
    for (const ParsedNote& n : measure.notes)
        if (n.staff == staff && sounding(n) &&
            std::find(voices.begin(), voices.end(), n.voice) != voices.end())
            return n.voice;
    return voices.front();
}

Format formatRecord(std::uint8_t type, int track, int from, int to) {
    Format record;
    record.type = type;
    record.from = location(1, track, static_cast<std::int16_t>(from));
    record.to = location(1, track, static_cast<std::int16_t>(to));
    return record;
}

// The key of each measure of the first part, whose key changes every part follows (a part
// in another key, a transposing instrument, is written in the score's key).
std::vector<std::optional<int>> keysOfMeasures(const ParsedScore& score) {
    std::vector<std::optional<int>> keys;
    if (score.parts.empty())
        return keys;
    std::optional<int> fifths = score.fifths;
    for (const ParsedMeasure& measure : score.parts.front().measures) {
        if (measure.fifths)
            fifths = measure.fifths;
        keys.push_back(fifths);
    }
    return keys;
}

// The tune of a score, whose octave dots the octave of "1" keeps few: the first voice of
// the first staff the import writes (the soprano of a choir, a piano's right hand).
struct Melody {
    const ParsedPart* part = nullptr;
    int staff = 1;
    std::vector<int> voices;

    bool holds(const ParsedNote& n) const {
        return n.staff == staff && std::find(voices.begin(), voices.end(), n.voice) != voices.end();
    }
};

// The octave of the undotted "1" in each measure of the first part: per stretch of one
// key, the one of the three a title block can store that writes the melody with the fewest
// octave dots; of equal counts the usual octave, then the lower. In 1=G a melody around G4
// is so written without dots, as hymnals print it.
std::vector<int> tonicShifts(const Melody& melody, const std::vector<std::optional<int>>& keys) {
    std::vector<int> shifts(keys.size(), 0);
    if (!melody.part)
        return shifts;
    const std::vector<ParsedMeasure>& measures = melody.part->measures;
    std::size_t from = 0;
    while (from < keys.size()) {
        std::size_t to = from + 1;
        while (to < keys.size() && keys[to] == keys[from])
            ++to;
        const music::Key key = keys[from] ? music::Key::fromFifths(*keys[from]) : music::Key();
        std::array<long long, 3> dots{};
        for (std::size_t m = from; m < to && m < measures.size(); ++m) {
            for (const ParsedNote& n : measures[m].notes) {
                const int midi = n.pitch.midi();
                if (n.rest || n.cue || n.grace || !melody.holds(n) || midi < 0 || midi > 127)
                    continue;
                for (int shift = -1; shift <= 1; ++shift) {
                    const music::Key shifted = key.shifted(shift);
                    const std::optional<music::ScaleNote> written = shifted.noteOf(n.pitch);
                    const int octave = written ? written->octave : shifted.noteOfMidi(midi).octave;
                    dots[static_cast<std::size_t>(shift + 1)] += std::abs(octave);
                }
            }
        }
        int best = 0;
        for (const int shift : {-1, 1})
            if (dots[static_cast<std::size_t>(shift + 1)] < dots[static_cast<std::size_t>(best + 1)])
                best = shift;
        std::fill(shifts.begin() + static_cast<std::ptrdiff_t>(from),
                  shifts.begin() + static_cast<std::ptrdiff_t>(to), best);
        from = to;
    }
    return shifts;
}

// The measure marks of the score from its first part, whose measures number every track's:
// where the key, the time signature or free meter, or the tempo changes, and the jumps.
// `trackMeasure` gives the index in the first track of each of the part's measures (a begin
// repeat may stand in a measure of its own).
void setMarks(const ParsedScore& score, const std::vector<int>& trackMeasure,
              const std::vector<int>& shifts, doc_header& header) {
    if (score.parts.empty())
        return;
    const std::vector<ParsedMeasure>& measures = score.parts.front().measures;
    if (!measures.empty())
        header.freeMeter = measures.front().freeMeter;
    std::optional<int> fifths = score.fifths;
    music::Meter meter = score.meter.value_or(music::Meter{});
    bool free = header.freeMeter;
    for (std::size_t m = 0; m < measures.size() && m < trackMeasure.size(); ++m) {
        const ParsedMeasure& measure = measures[m];
        MeasureMark mark;
        mark.measure = static_cast<std::uint32_t>(trackMeasure[m]);
        if (m > 0 && measure.fifths && measure.fifths != fifths) {
            fifths = measure.fifths;
            doc_header keyOnly;
            music::Key::fromFifths(*fifths).toTitle(keyOnly);
            mark.keyChange = true;
            mark.keyLetter = keyOnly.keyLetter;
            mark.keyAccidental = keyOnly.keyAccidental;
            mark.tonicShift = static_cast<std::int8_t>(m < shifts.size() ? shifts[m] : 0);
        }
        if (m > 0 && measure.meterShown) {
            if (measure.freeMeter && !free) {
                mark.meterChange = true;
                mark.numerator = mark.denominator = 0;
            } else if (!measure.freeMeter && measure.meterKnown &&
                       (free || !(measure.meter == meter))) {
                mark.meterChange = true;
                mark.numerator = static_cast<std::uint8_t>(measure.meter.numerator);
                mark.denominator = static_cast<std::uint8_t>(measure.meter.denominator);
            }
        }
        // A hidden time signature times the measures without changing what the page shows.
        if (measure.meterKnown && !measure.freeMeter && (measure.meterShown || m == 0))
            meter = measure.meter;
        free = measure.freeMeter;
        // Over the first measure the title block's mark says it already.
        if (m > 0 || header.tempo.empty())
            mark.tempo = measure.tempo;
        mark.jumps = measure.jumps;
        if (!mark.empty())
            music::setMark(header, mark);
    }
}

// The tracks of one staff, each a list of the voices it is written from.
using StaffTracks = std::vector<std::vector<int>>;

// Writes a parsed score into an empty document: the title block, the note tracks of every
// staff in part order, then the arcs, volta brackets and lyrics the tracks gathered.
class DocumentBuilder {
public:
    DocumentBuilder(ParsedScore& score, QeDocument& doc, ConversionReport& report)
        : score_(score), doc_(doc), report_(report) {}

    void build();

private:
    // A score of nothing but tablature or drums is written as it is rather than not at all.
    bool anyPitchedStaff() const;
    bool skips(const ParsedPart& part, int staff) const {
        return pitched_ && (part.tablature.count(staff) || part.percussion.count(staff));
    }
    // By part: whether any of its staves is written.
    std::vector<bool> writtenParts() const;
    // The tracks of every staff, by part and staff (none for a staff left out); the first
    // voice of the first of them is the melody.
    void findTracks();
    // Measures of a part longer than the first stay in the first part's last key.
    int shiftAt(std::size_t m) const {
        return shifts_.empty() ? 0 : shifts_[std::min(m, shifts_.size() - 1)];
    }
    void writeTitle();
    void writePart(std::size_t p);
    void writeTrack(const ParsedPart& part, int staff, const std::vector<int>& voices,
                    bool partFirst);
    // Each measure of a part in its key, for the track of `voices` on `staff`.
    void addMeasures(TrackBuilder& builder, const ParsedPart& part, int staff,
                     const std::vector<int>& voices, bool firstTrack);
    // A finished track into the document, with its extras, and what it gathered for the
    // format records and the lyrics tracks.
    void keepTrack(TrackBuilder& builder, const ParsedPart& part, int track, bool partFirst);
    // Arcs first, then volta brackets, as the editor writes them.
    void writeFormats();
    void writeLyrics();

    ParsedScore& score_;
    QeDocument& doc_;
    ConversionReport& report_;
    std::vector<std::optional<int>> keys_;
    bool pitched_ = false;
    std::vector<std::vector<StaffTracks>> staffTracks_;
    Melody melody_;
    std::vector<int> shifts_;
    music::Key key_;
    music::Meter meter_;
    std::vector<int> trackMeasure_;  // of the first track, by measure of the first part
    int budget_ = limits::kMaxItems;
    extension::VoltaLabels labels_;  // by index among the brackets, until the arcs are counted
    std::vector<Format> arcs_;
    std::vector<Format> brackets_;
    std::vector<std::vector<lyrics>> verses_;
};

void DocumentBuilder::build() {
    const ScoreEdges edges = dropHiddenEdges(score_, report_);
    keys_ = keysOfMeasures(score_);
    pitched_ = anyPitchedStaff();
    alignParts(score_, writtenParts(), edges, report_);
    if (!pitched_)
        report_.addOnce(
            QStringLiteral("tablature or percussion staves written as melody: the "
                           "score has no other staff"));
    findTracks();
    shifts_ = tonicShifts(melody_, keys_);
    writeTitle();
    for (std::size_t p = 0; p < score_.parts.size(); ++p)
        writePart(p);
    if (doc_.noteTracks().empty())
        throw MusicXmlError{QStringLiteral("the score has no measures to import")};
    setMarks(score_, trackMeasure_, shifts_, doc_.header);
    writeFormats();
    writeLyrics();
}

bool DocumentBuilder::anyPitchedStaff() const {
    bool pitched = false;
    for (const ParsedPart& part : score_.parts)
        for (int staff = 1; staff <= part.staves && !part.measures.empty(); ++staff)
            pitched = pitched || (!part.tablature.count(staff) && !part.percussion.count(staff));
    return pitched;
}

std::vector<bool> DocumentBuilder::writtenParts() const {
    std::vector<bool> written;
    for (const ParsedPart& part : score_.parts) {
        bool any = false;
        for (int staff = 1; staff <= part.staves && !any; ++staff)
            any = !skips(part, staff);
        written.push_back(any && !part.measures.empty());
    }
    return written;
}

void DocumentBuilder::findTracks() {
    staffTracks_.resize(score_.parts.size());
    for (std::size_t p = 0; p < score_.parts.size(); ++p) {
        const ParsedPart& part = score_.parts[p];
        for (int staff = 1; staff <= part.staves; ++staff) {
            auto& tracks = staffTracks_[p].emplace_back();
            if (part.measures.empty() || skips(part, staff))
                continue;
            tracks = tracksOfStaff(part, staff, report_);
            if (!melody_.part)
                melody_ = {&part, staff, tracks.front()};
        }
    }
}

void DocumentBuilder::writeTitle() {
    key_ =
        (score_.fifths ? music::Key::fromFifths(*score_.fifths) : music::Key()).shifted(shiftAt(0));
    meter_ = score_.meter.value_or(music::Meter{});
    doc_header& header = doc_.header;
    key_.toTitle(header);
    header.tonicShift = key_.tonicShift();
    header.timeNumerator = static_cast<std::uint8_t>(meter_.numerator);
    header.timeDenominator = static_cast<std::uint8_t>(meter_.denominator);
    header.title = score_.titles.title.toStdU16String();
    header.subtitle = score_.titles.subtitle.toStdU16String();
    header.author1 = score_.titles.author1.toStdU16String();
    header.author2 = score_.titles.author2.toStdU16String();
    header.author3 = score_.titles.author3.toStdU16String();
    header.comment1 = score_.titles.comment1.toStdU16String();
    header.comment2 = score_.titles.comment2.toStdU16String();
    header.tempo = score_.tempo;
    header.measureNumbers = score_.measureNumbers;
}

void DocumentBuilder::writePart(std::size_t p) {
    const ParsedPart& part = score_.parts[p];
    if (part.measures.empty())
        return;
    report_.setPart(part.name.name.empty() ? part.id : QString::fromStdU16String(part.name.name));
    bool partStarted = false;  // the part's first track is written
    for (int staff = 1; staff <= part.staves; ++staff) {
        if (skips(part, staff)) {
            report_.add(part.tablature.count(staff)
                            ? QStringLiteral("tablature staves skipped: jianpu writes the "
                                             "melody, not frets")
                            : QStringLiteral("percussion staves skipped: jianpu writes "
                                             "pitches, not drums"),
                        part.measures.front().number);
            continue;
        }
        for (const std::vector<int>& voices :
             staffTracks_[p][static_cast<std::size_t>(staff - 1)]) {
            writeTrack(part, staff, voices, !partStarted);
            partStarted = true;
        }
    }
}

void DocumentBuilder::writeTrack(const ParsedPart& part, int staff, const std::vector<int>& voices,
                                 bool partFirst) {
    const int track = static_cast<int>(doc_.noteTracks().size());
    TrackBuilder builder(key_, meter_, partFirst, budget_, report_);
    addMeasures(builder, part, staff, voices, track == 0);
    builder.finish();
    keepTrack(builder, part, track, partFirst);
}

void DocumentBuilder::addMeasures(TrackBuilder& builder, const ParsedPart& part, int staff,
                                  const std::vector<int>& voices, bool firstTrack) {
    std::optional<int> fifths = score_.fifths;
    int shift = shiftAt(0);
    for (std::size_t m = 0; m < part.measures.size(); ++m) {
        const ParsedMeasure& measure = part.measures[m];
        const std::optional<int> now = m < keys_.size() ? keys_[m] : fifths;
        if (measure.fifths && now && measure.fifths != now)
            report_.addOnce(
                QStringLiteral("key signatures that differ from the "
                               "first part's written in its key"));
        if ((now && now != fifths) || shiftAt(m) != shift) {
            fifths = now;
            shift = shiftAt(m);
            builder.setKey(
                (fifths ? music::Key::fromFifths(*fifths) : music::Key()).shifted(shift));
        }
        if (measure.forwardRepeat)
            builder.beginRepeat();
        if (firstTrack)
            trackMeasure_.push_back(builder.measureCount());
        builder.addMeasure(measure, staff, voiceOfMeasure(measure, staff, voices));
    }
}

void DocumentBuilder::keepTrack(TrackBuilder& builder, const ParsedPart& part, int track,
                                bool partFirst) {
    doc_header& header = doc_.header;
    if (partFirst && !part.name.empty()) {
        header.partNames.resize(static_cast<std::size_t>(track) + 1);
        header.partNames[static_cast<std::size_t>(track)] = part.name;
    }
    note_track& out = doc_.noteTracks().emplace_back();
    out.content.items = std::move(builder.records);
    for (auto& [record, extra] : builder.extras)
        header.noteExtras.push_back({static_cast<std::uint32_t>(track),
                                     static_cast<std::uint32_t>(record), std::move(extra)});
    for (const auto& [from, to] : builder.arcs)
        arcs_.push_back(formatRecord(Format::kArc, track, from, to));
    for (std::size_t b = 0; b < builder.brackets.size(); ++b) {
        const auto [from, to] = builder.brackets[b];
        const std::u16string& label = builder.bracketLabels[b];
        // "1" is what an unlabelled bracket shows: no need to store it.
        if (!label.empty() && label != u"1")
            labels_.emplace_back(static_cast<std::uint32_t>(brackets_.size()), label);
        brackets_.push_back(formatRecord(Format::kVolta, track, from, to));
    }
    if (verses_.size() < builder.verses.size())
        verses_.resize(builder.verses.size());
    for (std::size_t v = 0; v < builder.verses.size(); ++v) {
        for (auto& [item, text] : builder.verses[v]) {
            lyrics& syllable = verses_[v].emplace_back();
            syllable.text = std::move(text);
            syllable.place = location(1, track, static_cast<std::int16_t>(item));
        }
    }
}

void DocumentBuilder::writeFormats() {
    // A label names its bracket by its place among all format records, after the arcs.
    for (auto& [index, label] : labels_)
        index += static_cast<std::uint32_t>(arcs_.size());
    std::vector<Format>& formats = doc_.formatRecords();
    formats = std::move(arcs_);
    formats.insert(formats.end(), brackets_.begin(), brackets_.end());
    if (!labels_.empty())
        extension::put(doc_.header.extension, extension::kVoltaLabels,
                       extension::encodeVoltaLabels(labels_));
}

void DocumentBuilder::writeLyrics() {
    for (std::vector<lyrics>& verse : verses_) {
        lyrics_track& track = doc_.content.lyrics.items.emplace_back();
        track.content.items = std::move(verse);
    }
}

}  // namespace

void buildDocument(ParsedScore score, QeDocument& doc, ConversionReport& report) {
    DocumentBuilder(score, doc, report).build();
}

}  // namespace qe::musicxml
