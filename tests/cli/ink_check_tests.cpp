#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QPointF>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "cli/cli_actions.h"
#include "cli/layout_json.h"
#include "edit/score_session.h"
#include "engrave/page_view.h"
#include "engrave/score_layout.h"
#include "musicxml/musicxml_file.h"
#include "support/notation.h"
#include "support/qt/test_fonts.h"

namespace qe {
namespace {

struct InkBox {
    int thing, left, top, right, bottom;
    std::vector<QPointF> outline;  // a curve's line, closely sampled; empty for other ink
    double half = 0;               // half the curve's pen
};

InkBox inkBox(const QJsonObject& v) {
    const QJsonObject box = v["box"].toObject();
    InkBox b{v["thing"].toInt(), box["left"].toInt(), box["top"].toInt(), box["right"].toInt(),
             box["bottom"].toInt()};
    const QJsonArray outline = v["outline"].toArray();
    double right = b.left;
    for (qsizetype i = 0; i < outline.size(); ++i) {
        const QPointF p(outline[i].toArray()[0].toDouble(), outline[i].toArray()[1].toDouble());
        right = std::max(right, p.x());
        if (!b.outline.empty()) {
            // Points a few units apart, so that no ink slips between two of them.
            const QPointF from = b.outline.back();
            const int steps = std::max(1, static_cast<int>((p - from).manhattanLength() / 8));
            for (int k = 1; k < steps; ++k)
                b.outline.push_back(from + (p - from) * k / steps);
        }
        b.outline.push_back(p);
    }
    b.half = b.right - right;  // the box is the line's, widened by half the pen
    return b;
}

bool boxesMeet(const InkBox& a, const InkBox& b) {
    return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

// Whether two things' ink meets: a curve's by its line and pen, not by the box around it,
// which holds whatever it arches over.
bool inkMeets(const InkBox& a, const InkBox& b) {
    if (!boxesMeet(a, b))
        return false;
    if (!a.outline.empty() && !b.outline.empty()) {
        const double reach = a.half + b.half;
        for (const QPointF& p : a.outline)
            for (const QPointF& q : b.outline)
                if (std::abs(p.x() - q.x()) < reach && std::abs(p.y() - q.y()) < reach)
                    return true;
        return false;
    }
    const InkBox& curve = a.outline.empty() ? b : a;
    const InkBox& other = a.outline.empty() ? a : b;
    if (curve.outline.empty())
        return true;
    return std::any_of(curve.outline.begin(), curve.outline.end(), [&](const QPointF& p) {
        return other.left - curve.half < p.x() && p.x() < other.right + curve.half &&
               other.bottom - curve.half < p.y() && p.y() < other.top + curve.half;
    });
}

// What the ink list of a laid-out score shows that a publisher would not print: a box outside
// its page, and two different things over one another, counted.
int findings(const QJsonObject& layout) {
    int found = 0;
    for (const QJsonValue& pageValue : layout["pages"].toArray()) {
        const QJsonObject page = pageValue.toObject();
        std::vector<InkBox> boxes;
        for (const QJsonValue& v : page["ink"].toArray()) {
            boxes.push_back(inkBox(v.toObject()));
            const InkBox& b = boxes.back();
            if (b.left < 0 || b.right > page["width"].toInt() || b.top > 0 ||
                b.bottom < page["height"].toInt())
                ++found;
        }
        for (std::size_t i = 0; i < boxes.size(); ++i)
            for (std::size_t j = i + 1; j < boxes.size(); ++j)
                if (boxes[i].thing != boxes[j].thing && inkMeets(boxes[i], boxes[j]))
                    ++found;
    }
    return found;
}

// The findings of a MusicXML file imported and laid out in pages; -1 when it is refused.
int findingsOf(const QString& path) {
    QeDocument doc;
    if (!musicxml::importMusicXmlFile(path, doc).ok())
        return -1;
    ScoreSession session;
    session.load(doc);
    ScoreLayout& layout = session.layout(ScoreLayout::kPageMode);
    int status = 0;
    if (!layOut(test::fonts(), layout, status))
        return -1;
    return findings(pageLayoutToJson(*layout.pages(), &test::fonts()));
}

// Words at the last note of a measure run on past its bar line; the words at the first note
// of the next measure start after them, over the notes and under them alike.
TEST(InkCheck, LongWordsOfNeighbouringMeasuresStandApart) {
    QeDocument doc = test::scoreOf({"1 2 3 4 | 5 6 7 1' | 1 |"});
    for (int record : {3, 5})
        test::changeExtra(doc, 0, record, [](NoteExtra& e) {
            e.textAbove = u"poco a poco crescendo";
            e.textBelow = u"sempre legato e dolce";
        });
    ScoreSession session;
    session.load(doc);
    ScoreLayout& layout = session.layout(ScoreLayout::kPageMode);
    int status = 0;
    ASSERT_TRUE(layOut(test::fonts(), layout, status));
    const QJsonObject json = pageLayoutToJson(*layout.pages(), &test::fonts());
    int words = 0;
    for (const QJsonValue& ink : json["pages"].toArray()[0].toObject()["ink"].toArray())
        words += ink.toObject()["role"].toString() == QStringLiteral("words") ? 1 : 0;
    EXPECT_EQ(words, 4);
    EXPECT_EQ(findings(json), 0);
}

const QString kKnown = QStringLiteral(QE_SOURCE_DIR "/tests/data/ink_findings.txt");

std::map<QString, int> knownFindings() {
    std::map<QString, int> known;
    QFile file(kKnown);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return known;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() == 2 && !fields[0].startsWith(QLatin1Char('#')))
            known[fields[0]] = fields[1].toInt();
    }
    return known;
}

// Every thing drawn on a page stands clear of every other and inside its page, over the
// project's songs and the public MusicXML test suite. What is not yet so is listed, file by
// file, in tests/data/ink_findings.txt: a file may not find more than its line says (a change
// that makes pages worse fails here), and one that finds fewer is said, so that the list only
// shrinks. QE_UPDATE_INK_FINDINGS=1 writes the list anew.
TEST(InkCheck, PagesCollideNoMoreThanTheirKnownFindings) {
    QStringList files;
    for (const QFileInfo& song :
         QDir(QStringLiteral(QE_SOURCE_DIR "/tests/musicxml/data/songs"))
             .entryInfoList({QStringLiteral("*.musicxml")}, QDir::Files, QDir::Name))
        files << song.absoluteFilePath();
    QString suite = qEnvironmentVariable("QE_MUSICXML_SUITE");
    if (suite.isEmpty())
        suite = QStringLiteral(QE_SOURCE_DIR "/../shared/data/musicxml-testsuite");
    for (const QFileInfo& file : QDir(suite).entryInfoList(
             {QStringLiteral("*.xml"), QStringLiteral("*.musicxml")}, QDir::Files, QDir::Name))
        files << file.absoluteFilePath();
    const std::map<QString, int> known = knownFindings();
    std::map<QString, int> now;
    int fewer = 0;
    for (const QString& path : files) {
        const QString name = QFileInfo(path).completeBaseName();
        const int found = findingsOf(path);
        if (found <= 0)
            continue;
        now[name] = found;
        const auto listed = known.find(name);
        const int allowed = listed == known.end() ? 0 : listed->second;
        EXPECT_LE(found, allowed) << name.toStdString() << ": things collide or leave the page";
        fewer += found < allowed ? 1 : 0;
    }
    for (const auto& [name, count] : known)
        fewer += now.count(name) == 0 ? 1 : 0;
    if (fewer > 0)
        std::cout << fewer << " files find fewer collisions than tests/data/ink_findings.txt "
                  << "lists: write it anew with QE_UPDATE_INK_FINDINGS=1\n";
    if (qEnvironmentVariableIsSet("QE_UPDATE_INK_FINDINGS")) {
        QFile out(kKnown);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Text));
        QTextStream text(&out);
        text << "# Collisions and boxes off the page still found, by file (see "
                "ink_check_tests.cpp).\n";
        for (const auto& [name, count] : now)
            text << name << ' ' << count << '\n';
    }
}

}  // namespace
}  // namespace qe
