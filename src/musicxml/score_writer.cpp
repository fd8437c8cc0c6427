#include "musicxml/score_writer.h"

#include <QXmlStreamWriter>

#include "music/track_walk.h"
#include "musicxml/musicxml_error.h"
#include "musicxml/part_writer.h"
#include "musicxml/xml_text.h"

namespace qe::musicxml {

namespace {

// Forty tenths of MusicXML make 400 twips (a 20-point staff), so a tenth is 10 twips.
constexpr double kTwipsPerTenth = 10;

QString tenths(std::int32_t twips) {
    return QString::number(twips / kTwipsPerTenth, 'f', 1);
}

class ScoreWriter {
public:
    ScoreWriter(const QanorDoc& doc, ConversionReport& report)
        : doc_(doc), report_(report), out_(reserved(doc)), xml_(&out_) {}

    QByteArray write();

private:
    static QByteArray reserved(const QanorDoc& doc);
    QString text(const std::u16string& text);
    void writeIdentification();
    void writeDefaults();
    void writeCredit(const char* type, const QString& words, std::int32_t x, std::int32_t y,
                     const char* justify, int size);
    std::vector<PartSource> sources(const std::vector<music::TrackWalk>& walks);

    const QanorDoc& doc_;
    ConversionReport& report_;
    QByteArray out_;
    QXmlStreamWriter xml_;
};

// An empty buffer with room for the whole score: the writer appends to it in pieces of a few
// bytes, and growing it as it goes would cost more than the writing.
QByteArray ScoreWriter::reserved(const QanorDoc& doc) {
    qsizetype items = 0;
    for (const note_track& track : doc.noteTracks())
        items += static_cast<qsizetype>(track.content.items.size());
    QByteArray out;
    out.reserve(64 * 1024 + std::min<qsizetype>(items, 4 * 1024 * 1024) * 160);
    return out;
}

QString ScoreWriter::text(const std::u16string& value) {
    bool changed = false;
    const QString out = xmlText(QString::fromStdU16String(value), changed);
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
    xml_.setAutoFormatting(false);
    xml_.writeStartDocument();
    xml_.writeDTD(QStringLiteral(
        "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
        "\"http://www.musicxml.org/dtds/partwise.dtd\">"));
    xml_.writeStartElement(QStringLiteral("score-partwise"));
    xml_.writeAttribute(QStringLiteral("version"), QStringLiteral("4.0"));
    // The main title is always written, even empty, so that a subtitle reads back as one.
    xml_.writeStartElement(QStringLiteral("work"));
    xml_.writeTextElement(QStringLiteral("work-title"), text(h.title));
    xml_.writeEndElement();
    if (!h.subtitle.empty())
        xml_.writeTextElement(QStringLiteral("movement-title"), text(h.subtitle));
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
    xml_.writeStartElement(QStringLiteral("part-list"));
    for (std::size_t t = 0; t < parts.size(); ++t) {
        xml_.writeStartElement(QStringLiteral("score-part"));
        xml_.writeAttribute(QStringLiteral("id"), QStringLiteral("P%1").arg(t + 1));
        xml_.writeStartElement(QStringLiteral("part-name"));
        xml_.writeAttribute(QStringLiteral("print-object"), QStringLiteral("no"));
        xml_.writeCharacters(QStringLiteral("Track %1").arg(t + 1));
        xml_.writeEndElement();
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
    const music::Key key = music::Key::fromTitle(h).value_or(music::Key());
    for (std::size_t t = 0; t < parts.size(); ++t) {
        PartWriter writer(xml_, key, h, report_);
        writer.write(QStringLiteral("P%1").arg(t + 1), parts[t]);
    }
    xml_.writeEndElement();
    xml_.writeEndDocument();

    if (!doc_.content.tempo.content.items.empty())
        report_.addOnce(
            QStringLiteral("tempo records not written: MusicXML has no place for them"));
    if (doc_.formatSettings().fonts != format_track_header().fonts)
        report_.addOnce(QStringLiteral("fonts not written: MusicXML has no place for them"));
    return out_;
}

void ScoreWriter::writeIdentification() {
    const doc_header& h = doc_.header;
    xml_.writeStartElement(QStringLiteral("identification"));
    for (const auto& [type, name] :
         {std::pair{"composer", &h.author1}, std::pair{"lyricist", &h.author2},
          std::pair{"arranger", &h.author3}}) {
        if (name->empty())
            continue;
        xml_.writeStartElement(QStringLiteral("creator"));
        xml_.writeAttribute(QStringLiteral("type"), QLatin1String(type));
        xml_.writeCharacters(text(*name));
        xml_.writeEndElement();
    }
    xml_.writeStartElement(QStringLiteral("encoding"));
    xml_.writeTextElement(QStringLiteral("software"), QStringLiteral("Qanor简谱编辑器"));
    xml_.writeEndElement();
    xml_.writeEndElement();
}

void ScoreWriter::writeDefaults() {
    const format_track_header& page = doc_.formatSettings();
    xml_.writeStartElement(QStringLiteral("defaults"));
    xml_.writeStartElement(QStringLiteral("scaling"));
    xml_.writeTextElement(QStringLiteral("millimeters"), QStringLiteral("7.0556"));
    xml_.writeTextElement(QStringLiteral("tenths"), QStringLiteral("40"));
    xml_.writeEndElement();
    xml_.writeStartElement(QStringLiteral("page-layout"));
    xml_.writeTextElement(QStringLiteral("page-height"), tenths(page.pageHeight));
    xml_.writeTextElement(QStringLiteral("page-width"), tenths(page.pageWidth));
    xml_.writeStartElement(QStringLiteral("page-margins"));
    xml_.writeAttribute(QStringLiteral("type"), QStringLiteral("both"));
    xml_.writeTextElement(QStringLiteral("left-margin"), tenths(page.marginLeft));
    xml_.writeTextElement(QStringLiteral("right-margin"), tenths(page.marginRight));
    xml_.writeTextElement(QStringLiteral("top-margin"), tenths(page.marginTop));
    xml_.writeTextElement(QStringLiteral("bottom-margin"), tenths(page.marginBottom));
    xml_.writeEndElement();
    xml_.writeEndElement();
    xml_.writeEndElement();
}

void ScoreWriter::writeCredit(const char* type, const QString& words, std::int32_t x,
                              std::int32_t y, const char* justify, int size) {
    if (words.isEmpty())
        return;
    xml_.writeStartElement(QStringLiteral("credit"));
    xml_.writeAttribute(QStringLiteral("page"), QStringLiteral("1"));
    xml_.writeTextElement(QStringLiteral("credit-type"), QLatin1String(type));
    xml_.writeStartElement(QStringLiteral("credit-words"));
    xml_.writeAttribute(QStringLiteral("default-x"), tenths(x));
    xml_.writeAttribute(QStringLiteral("default-y"), tenths(y));
    xml_.writeAttribute(QStringLiteral("justify"), QLatin1String(justify));
    xml_.writeAttribute(QStringLiteral("valign"), QStringLiteral("top"));
    xml_.writeAttribute(QStringLiteral("font-size"), QString::number(size));
    xml_.writeCharacters(words);
    xml_.writeEndElement();
    xml_.writeEndElement();
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
    for (const Format& record : doc_.formatRecords()) {
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
        parts[static_cast<std::size_t>(from.trackIndex)].brackets.emplace_back(from.itemIndex,
                                                                               to.itemIndex);
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
            parts[static_cast<std::size_t>(at.trackIndex)].syllables[at.itemIndex].emplace_back(
                static_cast<int>(v) + 1, text(syllable.text));
        }
    }
    if (strays)
        report_.add(QStringLiteral("syllables that name no place in a track dropped"), QString(),
                    strays);
    parts[0].words = text(doc_.header.comment1);
    return parts;
}

}  // namespace

QByteArray writeScore(const QanorDoc& doc, ConversionReport& report) {
    return ScoreWriter(doc, report).write();
}

}  // namespace qe::musicxml
