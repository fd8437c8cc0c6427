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

class ScoreWriter {
public:
    ScoreWriter(const QeDocument& doc, ConversionReport& report)
        : doc_(doc), report_(report), xml_(capacity(doc)) {}

    QByteArray write();

private:
    static qsizetype capacity(const QeDocument& doc);
    QString text(const std::u16string& text);
    void writeIdentification();
    void writeDefaults();
    void writeCredit(const char* type, const QString& words, std::int32_t x, std::int32_t y,
                     const char* justify, int size);
    std::vector<PartSource> sources(const std::vector<music::TrackWalk>& walks);

    const QeDocument& doc_;
    ConversionReport& report_;
    XmlWriter xml_;
};

// Room for the whole score at once: a record takes some 160 bytes of MusicXML.
qsizetype ScoreWriter::capacity(const QeDocument& doc) {
    qsizetype items = 0;
    for (const note_track& track : doc.noteTracks())
        items += static_cast<qsizetype>(track.content.items.size());
    return 64 * 1024 + std::min<qsizetype>(items, 4 * 1024 * 1024) * 160;
}

QString ScoreWriter::text(const std::u16string& value) {
    // The document's own characters, not a copy: the document outlives the writing, and
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
    if (doc_.noteTracks().empty())
        throw MusicXmlError{QStringLiteral("the document has no note track to export")};
    const doc_header& h = doc_.header;
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

    const format_track_header& page = doc_.formatSettings();
    const std::int32_t centre = page.pageWidth / 2;
    const std::int32_t right = page.pageWidth - page.marginRight;
    const std::int32_t top = page.pageHeight - page.marginTop;
    writeCredit("title", text(h.title), centre, top, "center", 24);
    writeCredit("subtitle", text(h.subtitle), centre, top - 600, "center", 14);
    writeCredit("composer", text(h.author1), right, top - 1000, "right", 10);
    writeCredit("lyricist", text(h.author2), right, top - 1300, "right", 10);
    writeCredit("arranger", text(h.author3), right, top - 1600, "right", 10);
    writeCredit("comment", text(h.comment2), page.marginLeft, top - 1300, "left", 10);

    const std::vector<music::TrackWalk> walks = music::walkDocument(doc_);
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

    if (!doc_.content.tempo.content.items.empty())
        report_.addOnce(
            QStringLiteral("tempo records not written: MusicXML has no place for them"));
    if (doc_.formatSettings().fonts != format_track_header().fonts)
        report_.addOnce(QStringLiteral("fonts not written: MusicXML has no place for them"));
    return out;
}

void ScoreWriter::writeIdentification() {
    const doc_header& h = doc_.header;
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
    const format_track_header& page = doc_.formatSettings();
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
    const std::vector<music::TrackTies> arcs = music::readTies(doc_.formatRecords(), tracks);
    for (std::size_t t = 0; t < tracks; ++t) {
        parts[t].walk = &walks[t];
        parts[t].arcs = arcs[t];
    }
    int unplaced = 0;
    extension::VoltaLabels labels;
    if (const ExtensionEntry* entry = extension::find(doc_.header.extension, extension::kVoltaLabels))
        labels = extension::decodeVoltaLabels(entry->bytes);
    for (std::size_t r = 0; r < doc_.formatRecords().size(); ++r) {
        const Format& record = doc_.formatRecords()[r];
        if (record.type == Format::kArc)
            continue;  // read above, and reported where they join no notes
        const location& from = record.from;
        const location& to = record.to;
        if (record.type != Format::kJumpLine || from.placeKind != 1 || to.placeKind != 1 ||
            from.trackIndex != to.trackIndex || from.trackIndex < 0 ||
            static_cast<std::size_t>(from.trackIndex) >= tracks) {
            ++unplaced;
            continue;
        }
        PartSource& part = parts[static_cast<std::size_t>(from.trackIndex)];
        part.brackets.emplace_back(from.itemIndex, to.itemIndex);
        std::u16string label;
        for (const auto& [index, text] : labels)
            if (index == r)
                label = text;
        part.bracketLabels.push_back(label);
    }
    for (const Format& record : doc_.formatRecords()) {
        if (record.type != Format::kArc)
            continue;
        const location& from = record.from;
        const location& to = record.to;
        if (from.placeKind != 1 || to.placeKind != 1 || from.trackIndex != to.trackIndex ||
            from.trackIndex < 0 || static_cast<std::size_t>(from.trackIndex) >= tracks ||
            from.itemIndex >= to.itemIndex)
            ++unplaced;
    }
    if (unplaced)
        report_.add(QStringLiteral("arcs and brackets that name no place in a track dropped"),
                    QString(), unplaced);
    const auto& verses = doc_.content.lyrics.items;
    int strays = 0;
    for (std::size_t v = 0; v < verses.size(); ++v) {
        for (const lyrics& syllable : verses[v].content.items) {
            const location& at = syllable.place;
            if (at.placeKind != 1 || at.trackIndex < 0 ||
                static_cast<std::size_t>(at.trackIndex) >= tracks) {
                ++strays;
                continue;
            }
            parts[static_cast<std::size_t>(at.trackIndex)].syllables.push_back(
                PlacedSyllable{at.itemIndex, static_cast<int>(v) + 1, text(syllable.text)});
        }
    }
    // Verse after verse, each by item: sorted by item, each item's syllables keep their verse
    // order.
    const auto byItem = [](const PlacedSyllable& a, const PlacedSyllable& b) {
        return a.item < b.item;
    };
    for (PartSource& part : parts)
        if (!std::is_sorted(part.syllables.begin(), part.syllables.end(), byItem))
            std::stable_sort(part.syllables.begin(), part.syllables.end(), byItem);
    if (strays)
        report_.add(QStringLiteral("syllables that name no place in a track dropped"), QString(),
                    strays);
    parts[0].words = text(doc_.header.comment1);
    parts[0].tempo = doc_.header.tempo;
    parts[0].carriesMarks = true;
    return parts;
}

}  // namespace

QByteArray writeScore(const QeDocument& doc, ConversionReport& report) {
    return ScoreWriter(doc, report).write();
}

}  // namespace qe::musicxml
