#include "musicxml/score_writer.h"

#include <algorithm>

#include "music/track_walk.h"
#include "musicxml/musicxml_error.h"
#include "musicxml/part_writer.h"
#include "musicxml/xml_text.h"
#include "musicxml/xml_writer.h"

namespace qe::musicxml {

namespace {

// Forty tenths of MusicXML make 400 twips (a 20-point staff), so a tenth is 10 twips.
constexpr double kTwipsPerTenth = 10;

QString tenths(std::int32_t twips) {
    return QString::number(twips / kTwipsPerTenth, 'f', 1);
}

// The item of a measure's closing bar line; for a measure no bar line closes, the item its bar
// line would be.
int barItem(const music::TrackWalk& walk, int measure) {
    if (measure < 0 || static_cast<std::size_t>(measure) >= walk.measures.size())
        return static_cast<int>(walk.items.size());
    const music::MeasureSpan& span = walk.measures[static_cast<std::size_t>(measure)];
    return span.barType >= 0 ? span.endItem - 1 : span.endItem;
}

class ScoreWriter {
public:
    ScoreWriter(const music::Score& score, ConversionReport& report)
        : score_(score), report_(report), xml_(capacity(score)) {}

    QByteArray write();

private:
    static qsizetype capacity(const music::Score& score);
    QString text(const std::u16string& text);
    void writeIdentification();
    void writeDefaults();
    void writeCredit(const char* type, const QString& words, std::int32_t x, std::int32_t y,
                     const char* justify, int size);
    std::vector<PartSource> sources(const std::vector<music::TrackWalk>& walks);
    void addSyllables(std::vector<PartSource>& parts);

    const music::Score& score_;
    ConversionReport& report_;
    XmlWriter xml_;
};

// Room for the whole score at once: a record takes some 160 bytes of MusicXML.
qsizetype ScoreWriter::capacity(const music::Score& score) {
    qsizetype items = 0;
    for (const music::Track& track : score.tracks())
        for (const music::Measure& measure : track.measures)
            items += static_cast<qsizetype>(measure.entries.size());
    return 64 * 1024 + std::min<qsizetype>(items, 4 * 1024 * 1024) * 160;
}

QString ScoreWriter::text(const std::u16string& value) {
    // The score's own characters, not a copy: the score outlives the writing, and
    // xmlText copies them only to replace one. A large score has a syllable under most notes.
    bool changed = false;
    const QString out = xmlText(QString::fromRawData(reinterpret_cast<const QChar*>(value.data()),
                                                     static_cast<qsizetype>(value.size())),
                                changed);
    if (changed)
        report_.addOnce(QStringLiteral("characters XML cannot hold written as U+FFFD"));
    return out;
}

QByteArray ScoreWriter::write() {
    if (score_.trackCount() == 0)
        throw MusicXmlError{QStringLiteral("the document has no note track to export")};
    const doc_header& h = score_.header();
    // No indentation: a large score reads and writes a third faster without the spaces, and
    // each measure still starts a line of its own.
    xml_.startDocument(
        "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
        "\"http://www.musicxml.org/dtds/partwise.dtd\">");
    xml_.startElement("score-partwise");
    xml_.attribute("version", "4.0");
    // The main title is always written, even empty, so that a subtitle reads back as one.
    xml_.startElement("work");
    xml_.textElement("work-title", text(h.title));
    xml_.endElement();
    if (!h.subtitle.empty())
        xml_.textElement("movement-title", text(h.subtitle));
    writeIdentification();
    writeDefaults();

    const format_track_header& page = score_.format();
    const std::int32_t centre = page.pageWidth / 2;
    const std::int32_t right = page.pageWidth - page.marginRight;
    const std::int32_t top = page.pageHeight - page.marginTop;
    writeCredit("title", text(h.title), centre, top, "center", 24);
    writeCredit("subtitle", text(h.subtitle), centre, top - 600, "center", 14);
    writeCredit("composer", text(h.author1), right, top - 1000, "right", 10);
    writeCredit("lyricist", text(h.author2), right, top - 1300, "right", 10);
    writeCredit("arranger", text(h.author3), right, top - 1600, "right", 10);
    writeCredit("comment", text(h.comment2), page.marginLeft, top - 1300, "left", 10);

    const std::vector<music::TrackWalk> walks = music::walkScore(score_);
    std::vector<PartSource> parts = sources(walks);
    xml_.startElement("part-list");
    for (std::size_t t = 0; t < parts.size(); ++t) {
        xml_.startElement("score-part");
        xml_.attribute("id", QStringLiteral("P%1").arg(t + 1));
        const PartName name = t < h.partNames.size() ? h.partNames[t] : PartName{};
        xml_.startElement("part-name");
        if (name.name.empty()) {
            xml_.attribute("print-object", "no");
            xml_.characters(QStringLiteral("Track %1").arg(t + 1));
        } else {
            xml_.characters(QString::fromStdU16String(name.name));
        }
        xml_.endElement();
        if (!name.shortName.empty())
            xml_.textElement("part-abbreviation", QString::fromStdU16String(name.shortName));
        xml_.endElement();
    }
    xml_.endElement();
    const music::Key key = music::Key::fromTitle(h).value_or(music::Key());
    for (std::size_t t = 0; t < parts.size(); ++t) {
        PartWriter writer(xml_, key, h, report_);
        writer.write(QStringLiteral("P%1").arg(t + 1), parts[t]);
    }
    QByteArray out = xml_.finish();

    if (!score_.kept().tempo.content.items.empty())
        report_.addOnce(
            QStringLiteral("tempo records not written: MusicXML has no place for them"));
    if (score_.format().fonts != format_track_header().fonts)
        report_.addOnce(QStringLiteral("fonts not written: MusicXML has no place for them"));
    return out;
}

void ScoreWriter::writeIdentification() {
    const doc_header& h = score_.header();
    xml_.startElement("identification");
    for (const auto& [type, name] :
         {std::pair{"composer", &h.author1}, std::pair{"lyricist", &h.author2},
          std::pair{"arranger", &h.author3}}) {
        if (name->empty())
            continue;
        xml_.startElement("creator");
        xml_.attribute("type", type);
        xml_.characters(text(*name));
        xml_.endElement();
    }
    xml_.startElement("encoding");
    xml_.textElement("software", u"Qanor简谱编辑器");
    xml_.endElement();
    xml_.endElement();
}

void ScoreWriter::writeDefaults() {
    const format_track_header& page = score_.format();
    xml_.startElement("defaults");
    xml_.startElement("scaling");
    xml_.textElement("millimeters", "7.0556");
    xml_.textElement("tenths", "40");
    xml_.endElement();
    xml_.startElement("page-layout");
    xml_.textElement("page-height", tenths(page.pageHeight));
    xml_.textElement("page-width", tenths(page.pageWidth));
    xml_.startElement("page-margins");
    xml_.attribute("type", "both");
    xml_.textElement("left-margin", tenths(page.marginLeft));
    xml_.textElement("right-margin", tenths(page.marginRight));
    xml_.textElement("top-margin", tenths(page.marginTop));
    xml_.textElement("bottom-margin", tenths(page.marginBottom));
    xml_.endElement();
    xml_.endElement();
    xml_.endElement();
}

void ScoreWriter::writeCredit(const char* type, const QString& words, std::int32_t x,
                              std::int32_t y, const char* justify, int size) {
    if (words.isEmpty())
        return;
    xml_.startElement("credit");
    xml_.attribute("page", "1");
    xml_.textElement("credit-type", type);
    xml_.startElement("credit-words");
    xml_.attribute("default-x", tenths(x));
    xml_.attribute("default-y", tenths(y));
    xml_.attribute("justify", justify);
    xml_.attribute("valign", "top");
    xml_.attribute("font-size", size);
    xml_.characters(words);
    xml_.endElement();
    xml_.endElement();
}

std::vector<PartSource> ScoreWriter::sources(const std::vector<music::TrackWalk>& walks) {
    const std::size_t tracks = walks.size();
    std::vector<PartSource> parts(tracks);
    std::vector<music::Ticks> columns;
    for (const music::TrackWalk& walk : walks) {
        columns.resize(std::max(columns.size(), walk.measures.size()), 0);
        for (std::size_t m = 0; m < walk.measures.size(); ++m)
            columns[m] = std::max(columns[m], walk.measures[m].length);
    }
    std::vector<bool> skips(columns.size(), true);
    for (const music::TrackWalk& walk : walks) {
        const std::vector<bool> own = PartWriter::repeatOnlyMeasures(walk);
        for (std::size_t m = 0; m < skips.size(); ++m)
            skips[m] = skips[m] && m < own.size() && own[m];
    }
    for (std::size_t t = 0; t < tracks; ++t) {
        parts[t].walk = &walks[t];
        parts[t].columns = columns;
        parts[t].everyTrackSkips = skips;
    }
    for (const music::Tie& tie : score_.ties()) {
        const music::TrackWalk& walk = walks[static_cast<std::size_t>(tie.track)];
        parts[static_cast<std::size_t>(tie.track)].arcs.emplace_back(
            music::itemOfEntry(walk, tie.from), music::itemOfEntry(walk, tie.to));
    }
    for (PartSource& part : parts) {
        std::sort(part.arcs.begin(), part.arcs.end());
        part.arcs.erase(std::unique(part.arcs.begin(), part.arcs.end()), part.arcs.end());
    }
    for (const music::Volta& volta : score_.voltas()) {
        const music::TrackWalk& walk = walks[static_cast<std::size_t>(volta.track)];
        PartSource& part = parts[static_cast<std::size_t>(volta.track)];
        part.brackets.emplace_back(barItem(walk, volta.from), barItem(walk, volta.to));
        // "1" is what an unlabelled bracket reads as; it is written as one.
        part.bracketLabels.push_back(volta.label == u"1" ? std::u16string() : volta.label);
    }
    // Format records of other kinds place nothing a part can show.
    if (const auto unplaced = static_cast<int>(score_.kept().otherFormats.size()))
        report_.add(QStringLiteral("arcs and brackets that name no place in a track dropped"),
                    QString(), unplaced);
    addSyllables(parts);
    parts[0].words = text(score_.header().comment1);
    parts[0].tempo = score_.header().tempo;
    parts[0].carriesMarks = true;
    return parts;
}

// The syllables under the notes of each part, by item, those of one item verse by verse; the
// syllables a file placed where the score has no item come after those of their verse.
void ScoreWriter::addSyllables(std::vector<PartSource>& parts) {
    struct Found {
        int verse = 0;
        PlacedSyllable syllable;
    };
    std::vector<std::vector<Found>> found(parts.size());
    for (std::size_t t = 0; t < parts.size(); ++t) {
        if (score_.verseCounts(static_cast<int>(t)).empty())
            continue;
        const std::vector<music::WalkItem>& items = parts[t].walk->items;
        for (std::size_t i = 0; i < items.size(); ++i)
            for (const music::Syllable& s : score_.entry(static_cast<int>(t), items[i].at).syllables)
                found[t].push_back(
                    {s.verse, PlacedSyllable{static_cast<int>(i), s.verse + 1, text(s.text())}});
    }
    int strays = 0;
    const auto& kept = score_.kept().lyricsRecords;
    for (std::size_t v = 0; v < kept.size(); ++v) {
        for (const lyrics& syllable : kept[v]) {
            const location& at = syllable.place;
            if (at.placeKind != 1 || at.trackIndex < 0 ||
                static_cast<std::size_t>(at.trackIndex) >= parts.size()) {
                ++strays;
                continue;
            }
            found[static_cast<std::size_t>(at.trackIndex)].push_back(
                {static_cast<int>(v),
                 PlacedSyllable{at.itemIndex, static_cast<int>(v) + 1, text(syllable.text)}});
        }
    }
    const auto byItem = [](const PlacedSyllable& a, const PlacedSyllable& b) {
        return a.item < b.item;
    };
    for (std::size_t t = 0; t < parts.size(); ++t) {
        std::stable_sort(found[t].begin(), found[t].end(),
                         [](const Found& a, const Found& b) { return a.verse < b.verse; });
        std::vector<PlacedSyllable>& syllables = parts[t].syllables;
        syllables.reserve(found[t].size());
        for (Found& f : found[t])
            syllables.push_back(std::move(f.syllable));
        if (!std::is_sorted(syllables.begin(), syllables.end(), byItem))
            std::stable_sort(syllables.begin(), syllables.end(), byItem);
    }
    if (strays)
        report_.add(QStringLiteral("syllables that name no place in a track dropped"), QString(),
                    strays);
}

}  // namespace

QByteArray writeScore(const music::Score& score, ConversionReport& report) {
    return ScoreWriter(score, report).write();
}

}  // namespace qe::musicxml
