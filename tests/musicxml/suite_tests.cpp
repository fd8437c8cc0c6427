#include <gtest/gtest.h>

#include <QDir>
#include <QXmlStreamReader>
#include <cstdio>
#include <map>
#include <set>

#include "music/track_walk.h"
#include "musicxml/musicxml_support.h"
#include "support/notation.h"

namespace qe::test {
namespace {

// What a suite file holds that the document cannot: read straight from the XML, apart from the
// importer.
struct Holds {
    bool chords = false;
    bool voices = false;  // two voices with notes on one staff in one measure
    bool tuplets = false;
    bool graces = false;
};

Holds holdsOf(const QByteArray& xml) {
    Holds holds;
    // part/measure/staff → voices with notes
    std::map<QString, std::set<QString>> voicesOfStaff;
    QXmlStreamReader in(xml);
    QString part, measure;
    while (!in.atEnd()) {
        in.readNext();
        if (!in.isStartElement())
            continue;
        if (in.name() == u"part" && in.attributes().hasAttribute(QStringLiteral("id")))
            part = in.attributes().value(QStringLiteral("id")).toString();
        if (in.name() == u"measure")
            measure = in.attributes().value(QStringLiteral("number")).toString();
        if (in.name() != u"note")
            continue;
        QString voice = QStringLiteral("1"), staff = QStringLiteral("1");
        bool rest = false, grace = false, cue = false;
        int depth = 1;
        while (depth > 0 && !in.atEnd()) {
            in.readNext();
            if (in.isEndElement()) {
                --depth;
                continue;
            }
            if (!in.isStartElement())
                continue;
            ++depth;
            const QStringView name = in.name();
            holds.chords = holds.chords || name == u"chord";
            holds.tuplets = holds.tuplets || name == u"time-modification";
            grace = grace || name == u"grace";
            cue = cue || name == u"cue";
            rest = rest || name == u"rest";
            if (name == u"voice" || name == u"staff") {
                const QString text = in.readElementText().trimmed();
                --depth;
                (name == u"voice" ? voice : staff) = text;
            }
        }
        holds.graces = holds.graces || grace;
        if (!rest && !grace && !cue)
            voicesOfStaff[part + u'/' + measure + u'/' + staff].insert(voice);
    }
    for (const auto& [staff, voices] : voicesOfStaff)
        holds.voices = holds.voices || voices.size() > 1;
    return holds;
}

class Suite : public ::testing::Test {
protected:
    void SetUp() override {
        folder = suiteFolder();
        if (folder.isEmpty())
            GTEST_SKIP() << "the MusicXML test suite is not beside the project (set "
                            "QE_MUSICXML_SUITE to its folder to run these tests)";
    }
    QStringList files() const {
        return QDir(folder).entryList({QStringLiteral("*.xml"), QStringLiteral("*.mxl")},
                                      QDir::Files, QDir::Name);
    }
    QString folder;
};

TEST_F(Suite, EveryFileImportsOrIsRefusedAndReportsWhatItDrops) {
    const bool dump = qEnvironmentVariableIsSet("QE_DUMP_SUITE");
    for (const QString& name : files()) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = readFile(folder + u'/' + name);
        const Imported imported = importBytes(bytes);
        if (dump) {
            std::printf("== %s %s\n", qPrintable(name), imported.ok ? "imported" : "REFUSED");
            if (!imported.ok)
                std::printf("   error: %s\n", qPrintable(imported.error));
            for (const QString& line : imported.report)
                std::printf("   report: %s\n", qPrintable(line));
            for (std::size_t t = 0; imported.ok && t < imported.doc.noteTracks().size(); ++t)
                std::printf("   track %zu: %s\n", t, trackText(imported.doc, t).c_str());
        }
        if (!imported.ok) {
            EXPECT_FALSE(imported.error.isEmpty());
            continue;
        }
        ASSERT_FALSE(imported.doc.noteTracks().empty());
        if (name.endsWith(u".mxl"))
            continue;
        const Holds holds = holdsOf(bytes);
        EXPECT_EQ(holds.chords, reports(imported.report, QStringLiteral("chord notes dropped")));
        EXPECT_EQ(holds.voices,
                  reports(imported.report, QStringLiteral("second and further voices")));
        EXPECT_EQ(holds.tuplets, reports(imported.report, QStringLiteral("tuplet notes")));
        EXPECT_EQ(holds.graces, reports(imported.report, QStringLiteral("grace notes dropped")));
    }
}

}  // namespace
}  // namespace qe::test
