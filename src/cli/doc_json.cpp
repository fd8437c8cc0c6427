#include "cli/doc_json.h"

#include <map>

#include <QJsonArray>
#include <QString>

#include "music/jump_marks.h"
#include "music/note_marks.h"

namespace qe {

namespace {

QString toQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QJsonObject locationJson(const location& loc) {
    return QJsonObject{{"timeA", loc.timeA},
                       {"timeB", loc.timeB},
                       {"placeKind", loc.placeKind},
                       {"trackIndex", loc.trackIndex},
                       {"itemIndex", loc.itemIndex}};
}

QJsonObject fontJson(const FontRecord& font) {
    const LogFont& lf = font.logFont;
    return QJsonObject{{"face", toQString(lf.face())},
                       {"height", lf.height},
                       {"width", lf.width},
                       {"weight", lf.weight},
                       {"italic", lf.italic},
                       {"underline", lf.underline},
                       {"strikeOut", lf.strikeOut},
                       {"charSet", lf.charSet},
                       {"pitchAndFamily", lf.pitchAndFamily},
                       {"color", static_cast<qint64>(font.color)}};
}

QJsonObject tempoJson(const TempoMark& mark) {
    QJsonObject json{{"beatUnit", mark.beatUnit},
                     {"dotted", mark.dotted},
                     {"perMinute", mark.perMinute},
                     {"text", toQString(mark.text)}};
    // Only a mark whose number is printed otherwise has it: other files read as before.
    if (!mark.perMinuteText.empty())
        json.insert(QStringLiteral("perMinuteText"), toQString(mark.perMinuteText));
    return json;
}

QJsonObject toneJson(const NoteTone& t) {
    return QJsonObject{{"degree", t.degree}, {"octave", t.octave}, {"accidental", t.accidental}};
}

// The title block's texts, key and time signature.
QJsonObject titleJson(const doc_header& h) {
    return QJsonObject{
        {"version", static_cast<qint64>(h.version)}, {"title", toQString(h.title)},
        {"subtitle", toQString(h.subtitle)},         {"author1", toQString(h.author1)},
        {"author2", toQString(h.author2)},           {"author3", toQString(h.author3)},
        {"comment1", toQString(h.comment1)},         {"comment2", toQString(h.comment2)},
        {"keyAccidental", h.keyAccidental},          {"keyLetter", h.keyLetter},
        {"timeNumerator", h.timeNumerator},          {"timeDenominator", h.timeDenominator}};
}

// The page size and margins, and the fonts.
void addFormat(QJsonObject& json, const format_track_header& f) {
    json["page"] = QJsonObject{{"width", f.pageWidth},         {"height", f.pageHeight},
                               {"marginLeft", f.marginLeft},   {"marginTop", f.marginTop},
                               {"marginRight", f.marginRight}, {"marginBottom", f.marginBottom}};
    QJsonArray fonts;
    for (const FontRecord& font : f.fonts)
        fonts.append(fontJson(font));
    json["fonts"] = fonts;
}

QJsonArray tempoRecordsJson(const QeDocument& doc) {
    QJsonArray tempos;
    for (const tempo& t : doc.content.tempo.content.items)
        tempos.append(QJsonObject{{"timeA", t.at.timeA},
                                  {"timeB", t.at.timeB},
                                  {"valueA", t.valueA},
                                  {"valueB", t.valueB},
                                  {"valueC", t.valueC}});
    return tempos;
}

// The ties and brackets as stored, each bracket with its label.
QJsonArray formatsJson(const QeDocument& doc) {
    // A bracket's label is stored in the extension block; one without reads "1".
    std::map<std::uint32_t, std::u16string> labels;
    if (const ExtensionEntry* entry = extension::find(doc.header.extension, extension::kVoltaLabels))
        for (const auto& [index, label] : extension::decodeVoltaLabels(entry->bytes))
            labels[index] = label;
    QJsonArray formats;
    for (std::uint32_t i = 0; i < doc.formatRecords().size(); ++i) {
        const Format& record = doc.formatRecords()[i];
        QJsonObject shape{{"type", record.type},
                          {"from", locationJson(record.from)},
                          {"to", locationJson(record.to)}};
        if (const auto label = labels.find(i); label != labels.end())
            shape["label"] = toQString(label->second);
        formats.append(shape);
    }
    return formats;
}

// Settings of the score beyond the title block's fields; only when set.
void addSettings(QJsonObject& json, const doc_header& h) {
    if (!h.tempo.empty())
        json["tempoMark"] = tempoJson(h.tempo);
    if (h.freeMeter)
        json["freeMeter"] = true;
    if (h.tonicShift != 0)
        json["tonicShift"] = h.tonicShift;
    if (h.measureNumbers)
        json["measureNumbers"] = true;
    if (h.hideEmptyTracks)
        json["hideEmptyTracks"] = true;
    if (h.pageCount != 0)
        json["pageCount"] = h.pageCount;
}

QJsonObject measureMarkJson(const MeasureMark& mark) {
    QJsonObject m{{"measure", static_cast<qint64>(mark.measure) + 1}};
    if (mark.keyChange)
        m["key"] = QJsonObject{{"letter", mark.keyLetter},
                               {"accidental", mark.keyAccidental},
                               {"tonicShift", mark.tonicShift}};
    if (mark.meterChange)
        m["time"] = mark.numerator == 0
                        ? QJsonValue(QStringLiteral("free"))
                        : QJsonValue(QStringLiteral("%1/%2").arg(mark.numerator).arg(mark.denominator));
    if (!mark.tempo.empty())
        m["tempo"] = tempoJson(mark.tempo);
    QJsonArray jumps;
    for (const music::JumpMark& j : music::jumpMarks())
        if (mark.jumps & j.flag)
            jumps.append(QString::fromLatin1(j.name));
    if (!jumps.isEmpty())
        m["jumps"] = jumps;
    return m;
}

// What a note record carries beyond its digit.
QJsonObject noteExtraJson(const PlacedNoteExtra& placed) {
    const NoteExtra& e = placed.extra;
    QJsonObject x{{"track", static_cast<qint64>(placed.track)},
                  {"record", static_cast<qint64>(placed.record)}};
    QJsonArray tones;
    for (const NoteTone& t : e.tones)
        tones.append(toneJson(t));
    if (!tones.isEmpty())
        x["chordTones"] = tones;
    QJsonArray graces;
    for (const GraceNote& g : e.graces) {
        QJsonObject grace = toneJson(g.tone);
        grace["underlines"] = g.underlines;
        grace["after"] = g.after;
        graces.append(grace);
    }
    if (!graces.isEmpty())
        x["graceNotes"] = graces;
    QJsonArray marks;
    // By bit, so that a mark added later comes after those before it.
    for (std::uint32_t bit = 1; bit != 0; bit <<= 1)
        if (const music::NoteMark* mark = music::noteMarkOf(bit); mark && (e.articulations & bit))
            marks.append(QString::fromLatin1(mark->name));
    if (!marks.isEmpty())
        x["articulations"] = marks;
    QJsonArray tuplets;
    for (const TupletMark& t : e.tuplets)
        if (t.active())
            tuplets.append(
                QJsonObject{{"actual", t.actual}, {"normal", t.normal}, {"starts", t.starts}});
    if (!tuplets.isEmpty())
        x["tuplets"] = tuplets;
    if (!e.chordSymbol.empty())
        x["chordSymbol"] = toQString(e.chordSymbol);
    if (!e.textAbove.empty())
        x["textAbove"] = toQString(e.textAbove);
    if (!e.textBelow.empty())
        x["textBelow"] = toQString(e.textBelow);
    return x;
}

// The parts of the extension block: measure marks, part names, note extras, and the entries
// this version keeps without knowing them; each only when there is one.
void addExtension(QJsonObject& json, const doc_header& h) {
    QJsonArray marks;
    for (const MeasureMark& mark : h.marks)
        marks.append(measureMarkJson(mark));
    if (!marks.isEmpty())
        json["measureMarks"] = marks;
    QJsonArray names;
    for (const PartName& part : h.partNames)
        names.append(QJsonObject{{"name", toQString(part.name)},
                                 {"shortName", toQString(part.shortName)}});
    if (!names.isEmpty())
        json["partNames"] = names;
    QJsonArray extras;
    for (const PlacedNoteExtra& placed : h.noteExtras)
        extras.append(noteExtraJson(placed));
    if (!extras.isEmpty())
        json["noteExtras"] = extras;
    QJsonArray kept;
    for (const ExtensionEntry& entry : h.extension)
        if (entry.kind != extension::kVoltaLabels)
            kept.append(QJsonObject{{"kind", static_cast<qint64>(entry.kind)},
                                    {"bytes", static_cast<qint64>(entry.bytes.size())}});
    if (!kept.isEmpty())
        json["extension"] = kept;
}

// The note tracks record by record, and the lyrics tracks syllable by syllable.
void addTracks(QJsonObject& json, const QeDocument& doc) {
    QJsonArray tracks;
    for (const note_track& track : doc.noteTracks()) {
        QJsonArray notes;
        for (const note& n : track.content.items)
            notes.append(QJsonObject{{"code", n.code}, {"value", n.value}});
        tracks.append(notes);
    }
    json["tracks"] = tracks;
    QJsonArray lyricTracks;
    for (const lyrics_track& track : doc.content.lyrics.items) {
        QJsonArray texts;
        for (const lyrics& l : track.content.items)
            texts.append(
                QJsonObject{{"text", toQString(l.text)}, {"place", locationJson(l.place)}});
        lyricTracks.append(texts);
    }
    json["lyrics"] = lyricTracks;
}

}  // namespace

QJsonObject documentToJson(const QeDocument& doc) {
    QJsonObject json = titleJson(doc.header);
    addFormat(json, doc.formatSettings());
    json["tempo"] = tempoRecordsJson(doc);
    json["formats"] = formatsJson(doc);
    addSettings(json, doc.header);
    addExtension(json, doc.header);
    addTracks(json, doc);
    return json;
}

}  // namespace qe
