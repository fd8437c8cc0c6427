#include "musicxml/score_importer.h"

#include "musicxml/musicxml_error.h"
#include "musicxml/track_builder.h"

#include "music/attributes.h"

namespace qe::musicxml {

namespace {

// The voice a staff is read in: that of its first note. Jianpu writes one voice per line.
int mainVoice(const ParsedPart& part, int staff) {
    for (const ParsedMeasure& measure : part.measures)
        for (const ParsedNote& n : measure.notes)
            if (n.staff == staff && !n.grace && !n.cue && !n.chord)
                return n.voice;
    return 0;
}

// The voice of one measure: the staff's main voice when it has notes there, else the first
// voice that has.
int voiceOfMeasure(const ParsedMeasure& measure, int staff, int main) {
    int first = -1;
    for (const ParsedNote& n : measure.notes) {
        if (n.staff != staff || n.grace || n.cue)
            continue;
        if (n.voice == main)
            return main;
        if (first < 0)
            first = n.voice;
    }
    return first < 0 ? main : first;
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

// The measure marks of the score from its first part, whose measures number every track's:
// where the key, the time signature or free meter, or the tempo changes, and the jumps.
// `trackMeasure` gives the index in the first track of each of the part's measures (a begin
// repeat may stand in a measure of its own).
void setMarks(const ParsedScore& score, const std::vector<int>& trackMeasure, doc_header& header) {
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
        if (measure.meterKnown && !measure.freeMeter)
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

}  // namespace

void buildDocument(const ParsedScore& score, QeDocument& doc, ConversionReport& report) {
    const music::Key key = score.fifths ? music::Key::fromFifths(*score.fifths) : music::Key();
    const music::Meter meter = score.meter.value_or(music::Meter{});
    doc_header& header = doc.header;
    key.toTitle(header);
    header.timeNumerator = static_cast<std::uint8_t>(meter.numerator);
    header.timeDenominator = static_cast<std::uint8_t>(meter.denominator);
    header.title = score.titles.title.toStdU16String();
    header.subtitle = score.titles.subtitle.toStdU16String();
    header.author1 = score.titles.author1.toStdU16String();
    header.author2 = score.titles.author2.toStdU16String();
    header.author3 = score.titles.author3.toStdU16String();
    header.comment1 = score.titles.comment1.toStdU16String();
    header.comment2 = score.titles.comment2.toStdU16String();
    header.tempo = score.tempo;
    header.measureNumbers = score.measureNumbers;
    const std::vector<std::optional<int>> keys = keysOfMeasures(score);
    std::vector<int> trackMeasure;  // of the first track, by measure of the first part

    int budget = limits::kMaxItems;
    extension::VoltaLabels labels;  // by index among the brackets, until the arcs are counted
    std::vector<Format> arcs;
    std::vector<Format> brackets;
    std::vector<std::vector<lyrics>> verses;
    for (const ParsedPart& part : score.parts) {
        if (part.measures.empty())
            continue;
        for (int staff = 1; staff <= part.staves; ++staff) {
            const int track = static_cast<int>(doc.noteTracks().size());
            const int main = mainVoice(part, staff);
            TrackBuilder builder(key, meter, staff == 1, budget, report);
            std::optional<int> fifths = score.fifths;
            const bool first = track == 0;
            for (std::size_t m = 0; m < part.measures.size(); ++m) {
                const ParsedMeasure& measure = part.measures[m];
                const std::optional<int> now = m < keys.size() ? keys[m] : fifths;
                if (measure.fifths && now && measure.fifths != now)
                    report.addOnce(QStringLiteral("key signatures that differ from the first "
                                                  "part's written in its key"));
                if (now && now != fifths) {
                    fifths = now;
                    builder.setKey(music::Key::fromFifths(*fifths).shifted(key.tonicShift()));
                }
                if (measure.forwardRepeat)
                    builder.beginRepeat();
                if (first)
                    trackMeasure.push_back(builder.measureCount());
                builder.addMeasure(measure, staff, voiceOfMeasure(measure, staff, main));
            }
            builder.finish();
            if (staff == 1 && !part.name.empty()) {
                doc.header.partNames.resize(static_cast<std::size_t>(track) + 1);
                doc.header.partNames[static_cast<std::size_t>(track)] = part.name;
            }
            note_track& out = doc.noteTracks().emplace_back();
            out.content.items = std::move(builder.records);
            for (auto& [record, extra] : builder.extras)
                header.noteExtras.push_back({static_cast<std::uint32_t>(track),
                                             static_cast<std::uint32_t>(record), std::move(extra)});
            for (const auto& [from, to] : builder.arcs)
                arcs.push_back(formatRecord(Format::kArc, track, from, to));
            for (std::size_t b = 0; b < builder.brackets.size(); ++b) {
                const auto [from, to] = builder.brackets[b];
                const std::u16string& label = builder.bracketLabels[b];
                // "1" is what an unlabelled bracket shows: no need to store it.
                if (!label.empty() && label != u"1")
                    labels.emplace_back(static_cast<std::uint32_t>(brackets.size()), label);
                brackets.push_back(formatRecord(Format::kJumpLine, track, from, to));
            }
            if (verses.size() < builder.verses.size())
                verses.resize(builder.verses.size());
            for (std::size_t v = 0; v < builder.verses.size(); ++v) {
                for (auto& [item, text] : builder.verses[v]) {
                    lyrics& syllable = verses[v].emplace_back();
                    syllable.text = std::move(text);
                    syllable.place = location(1, track, static_cast<std::int16_t>(item));
                }
            }
        }
    }
    if (doc.noteTracks().empty())
        throw MusicXmlError{QStringLiteral("the score has no measures to import")};
    setMarks(score, trackMeasure, header);
    // Arcs first, then volta brackets, as the editor writes them.
    std::vector<Format>& formats = doc.formatRecords();
    formats = std::move(arcs);
    formats.insert(formats.end(), brackets.begin(), brackets.end());
    for (auto& [index, label] : labels)
        index += static_cast<std::uint32_t>(arcs.size());
    if (!labels.empty())
        extension::put(header.extension, extension::kVoltaLabels,
                       extension::encodeVoltaLabels(labels));
    for (std::vector<lyrics>& verse : verses) {
        lyrics_track& track = doc.content.lyrics.items.emplace_back();
        track.content.items = std::move(verse);
    }
}

}  // namespace qe::musicxml
