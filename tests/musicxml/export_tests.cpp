#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <map>
#include <string>
#include <vector>

#include "musicxml/musicxml_file.h"
#include "musicxml/musicxml_support.h"
#include "support/file_size_limit.h"
#include "support/notation.h"

namespace qe::test {
namespace {

struct Element {
    QString name;
    std::map<QString, QString> attributes;
    QString text;
    std::vector<Element> children;

    const Element* child(const QString& n) const {
        for (const Element& c : children)
            if (c.name == n)
                return &c;
        return nullptr;
    }
    QString attribute(const QString& n) const {
        const auto at = attributes.find(n);
        return at == attributes.end() ? QString() : at->second;
    }
};

Element parse(QXmlStreamReader& in) {
    Element e;
    e.name = in.name().toString();
    for (const QXmlStreamAttribute& a : in.attributes())
        e.attributes[a.name().toString()] = a.value().toString();
    while (!in.atEnd()) {
        in.readNext();
        if (in.isStartElement())
            e.children.push_back(parse(in));
        else if (in.isCharacters())
            e.text += in.text().trimmed();
        else if (in.isEndElement())
            break;
    }
    return e;
}

Element parse(const QByteArray& xml) {
    QXmlStreamReader in(xml);
    while (!in.atEnd() && !in.isStartElement())
        in.readNext();
    return parse(in);
}

// One measure in a line of text: hidden time signatures, bar lines with their style, repeat and
// ending, and notes as pitch (or r), divisions and type, with ~ for a tie, ! and the sign for an
// accidental, () for parentheses, s1( and s1) for slurs, v for a breath mark, and syllables.
QString describe(const Element& measure) {
    QStringList out;
    for (const Element& e : measure.children) {
        if (e.name == u"attributes") {
            if (const Element* time = e.child(QStringLiteral("time"));
                time && time->attribute(QStringLiteral("print-object")) == u"no")
                out << QStringLiteral("time %1/%2")
                           .arg(time->child(QStringLiteral("beats"))->text,
                                time->child(QStringLiteral("beat-type"))->text);
        } else if (e.name == u"barline") {
            QString bar = QStringLiteral("[") + e.attribute(QStringLiteral("location"));
            for (const Element& c : e.children) {
                if (c.name == u"bar-style")
                    bar += u' ' + c.text;
                else
                    bar += u' ' + c.attribute(QStringLiteral("direction")) +
                           c.attribute(QStringLiteral("type")) +
                           c.attribute(QStringLiteral("number"));
            }
            out << bar + u']';
        } else if (e.name == u"note") {
            QString n;
            if (const Element* pitch = e.child(QStringLiteral("pitch"))) {
                n = pitch->child(QStringLiteral("step"))->text;
                if (const Element* alter = pitch->child(QStringLiteral("alter")))
                    n += QStringLiteral("(%1)").arg(alter->text);
                n += pitch->child(QStringLiteral("octave"))->text;
            } else {
                n = QStringLiteral("r");
            }
            n += u'/' + e.child(QStringLiteral("duration"))->text;
            for (const Element& c : e.children) {
                if (c.name == u"tie" && c.attribute(QStringLiteral("type")) == u"start")
                    n += u'~';
                else if (c.name == u"accidental")
                    n += u'!' + c.text;
                else if (c.name == u"notehead")
                    n = u'(' + n + u')';
                else if (c.name == u"notations")
                    for (const Element& x : c.children) {
                        if (x.name == u"slur")
                            n += QStringLiteral(" s") + x.attribute(QStringLiteral("number")) +
                                 (x.attribute(QStringLiteral("type")) == u"start" ? u'(' : u')');
                        else if (x.name == u"articulations")
                            n += QStringLiteral(" v");
                    }
                else if (c.name == u"lyric")
                    n += QStringLiteral(" %1:%2:%3")
                             .arg(c.attribute(QStringLiteral("number")),
                                  c.child(QStringLiteral("syllabic"))->text,
                                  c.child(QStringLiteral("text"))->text);
            }
            out << n;
        }
    }
    return out.join(QStringLiteral(" "));
}

struct Exported {
    musicxml::Outcome outcome;
    Element score;
    // The measures of each part, described; a pickup is marked by its number 0.
    std::vector<QStringList> parts;
};

Exported exported(const QeDocument& doc) {
    Exported result;
    QByteArray bytes;
    result.outcome = musicxml::exportMusicXml(*test::scoreFrom(doc), false, bytes);
    result.score = parse(bytes);
    for (const Element& part : result.score.children) {
        if (part.name != u"part")
            continue;
        QStringList& measures = result.parts.emplace_back();
        for (const Element& measure : part.children)
            measures << (measure.attribute(QStringLiteral("number")) == u"0"
                             ? QStringLiteral("pickup: ")
                             : QString()) +
                            describe(measure);
    }
    return result;
}

// A score in 1=C, so that the digits 1..7 are C4..B4.
QeDocument scoreInC(std::initializer_list<std::string> tracks) {
    QeDocument doc = scoreOf(tracks);
    doc.header.keyLetter = 2;
    return doc;
}

TEST(Export, BarLinesRepeatsAndEndingsTakeTheirMusicXmlForms) {
    // Brackets over the measure of 4 and over that of 5, closed by the items 7 and 9.
    QeDocument doc = scoreInC({"1 | 2 || 3 |: 4 :| 5 |. 6 / 7 |1 1' |: |: 2 |:"});
    doc.header.timeNumerator = 1;  // measures of one quarter
    addFormat(doc, Format::kVolta, 0, 7, 7);
    addFormat(doc, Format::kVolta, 0, 9, 9);
    const Exported out = exported(doc);
    const QStringList expected = {
        "C4/128",
        "D4/128 [right light-light]",
        "E4/128",
        "[left heavy-light start1 forward] F4/128 [right light-heavy stop1 backward]",
        "[left start2] G4/128 [right dashed stop2]",
        "A4/128 [right none]",
        "B4/128 [right heavy]",
        "C5/128",
        // Two begin repeats in a row: the empty measure between them stays.
        "[left heavy-light forward]",
        "[left heavy-light forward] D4/128 [right heavy-light forward]",
    };
    ASSERT_EQ(out.parts.size(), 1u);
    EXPECT_EQ(out.parts[0], expected);
    EXPECT_TRUE(out.outcome.report.isEmpty());
}

TEST(Export, VoltaBracketsTakeTurns) {
    // The second bracket begins inside the first: MusicXML endings cannot overlap.
    QeDocument doc = scoreInC({"1 | 2 | 3 | 4 |"});
    doc.header.timeNumerator = 1;
    addFormat(doc, Format::kVolta, 0, 1, 5);
    addFormat(doc, Format::kVolta, 0, 3, 7);
    const Exported out = exported(doc);
    const QStringList expected = {"[left start1] C4/128", "D4/128", "E4/128 [right stop1]",
                                  "F4/128"};
    EXPECT_EQ(out.parts[0], expected);
    EXPECT_EQ(out.outcome.report,
              QStringList{"1 volta brackets over a measure that has one dropped (first in "
                          "measure 2)"});
}

TEST(Export, ArcsBreathMarksParenthesesAndAccidentals) {
    // A tie between two Cs, a slur over three notes crossing it, a sharp the measure holds,
    // a natural, parentheses and a breath mark.
    QeDocument doc = scoreInC({"1 1 #2 2 | ( n4 ) v 3 - |]"});
    addFormat(doc, Format::kArc, 0, 0, 1);
    addFormat(doc, Format::kArc, 0, 1, 3);
    addFormat(doc, Format::kArc, 0, 3, 9);
    const Exported out = exported(doc);
    const QStringList expected = {
        "C4/128~ C4/128 s1( D(1)4/128!sharp D(1)4/128 s1) s2(",
        "time 3/4 (F4/128!natural) v E4/256 s2) [right light-heavy]",
    };
    EXPECT_EQ(out.parts[0], expected);
}

TEST(Export, NotesAreCutAtBarLinesAndMeasuresOffTheMeterSayTheirLength) {
    // A pickup, a note that runs over its bar line, five quarters, dashes with no note before
    // them, and an empty measure.
    QeDocument doc = scoreInC({"5_ | 1 - - - - | - - 2 . 3_ | |"});
    const Exported out = exported(doc);
    const QStringList expected = {
        "pickup: G4/64",
        "time 5/4 C4/512~ C4/128~",
        "time 4/4 C4/256 D4/192 E4/64",
        "",
    };
    EXPECT_EQ(out.parts[0], expected);
}

TEST(Export, SyllablesWithAHyphenContinueTheirWord) {
    QeDocument doc = scoreInC({"1 2 3 4 | 5 |]"});
    auto& verse = doc.content.lyrics.items.emplace_back().content.items;
    for (const auto& [item, text] : std::vector<std::pair<int, std::u16string>>{
             {0, u"Hal-"}, {1, u"le-"}, {2, u"lu"}, {3, u"-"}, {5, u"好"}}) {
        lyrics& l = verse.emplace_back();
        l.text = text;
        l.place = location(1, 0, static_cast<std::int16_t>(item));
    }
    const Exported out = exported(doc);
    const QStringList expected = {
        "C4/128 1:begin:Hal D4/128 1:middle:le E4/128 1:end:lu F4/128 1:single:-",
        "time 1/4 G4/128 1:single:好 [right light-heavy]",
    };
    EXPECT_EQ(out.parts[0], expected);
}

TEST(Export, WhatMusicXmlCannotCarryIsReported) {
    QeDocument doc = scoreInC({"v - 1 ( 2 3 ) |"});
    doc.header.title = u"bad\u0001title";
    doc.content.tempo.content.items.emplace_back();
    doc.formatSettings().fonts[0].logFont.height = -500;
    lyrics& stray = doc.content.lyrics.items.emplace_back().content.items.emplace_back();
    stray.text = u"la";
    stray.place = location(1, 0, 7);  // the bar line
    const Exported out = exported(doc);
    ASSERT_TRUE(out.outcome.ok());
    const QStringList expected = {
        "characters XML cannot hold written as U+FFFD",
        "tempo records not written: MusicXML has no place for them",
        "fonts not written: MusicXML has no place for them",
        "1 breath marks before the first note dropped (first in measure 1)",
        "2 parentheses not around one note dropped (first in measure 1)",
        "1 syllables not under a note or rest dropped (first in measure 1)",
        "1 dashes and dots after no note written as rests",
    };
    EXPECT_EQ(out.outcome.report, expected);
    EXPECT_EQ(out.score.child(QStringLiteral("work"))->child(QStringLiteral("work-title"))->text,
              QStringLiteral("bad\uFFFDtitle"));

    QeDocument empty;
    QByteArray bytes;
    const musicxml::Outcome none = musicxml::exportMusicXml(*test::scoreFrom(empty), false, bytes);
    EXPECT_FALSE(none.ok());
    EXPECT_EQ(none.message, QStringLiteral("the document has no note track to export"));
}

TEST(ExportFile, AFullDiskIsAFailureAndLeavesNoFile) {
    const QeDocument doc = scoreOf({"1 2 3 4 | 5 6 7 1' |]"});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.musicxml"));
    musicxml::Outcome outcome;
    {
        // Small enough to sit in the file's buffer until the last flush.
        const FileSizeLimit full(200);
        outcome = musicxml::exportMusicXmlFile(*test::scoreFrom(doc), path);
    }
    EXPECT_FALSE(outcome.ok());
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
}  // namespace qe::test
