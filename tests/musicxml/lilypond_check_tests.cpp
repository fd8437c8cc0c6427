#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <tuple>
#include <vector>

#include "music/track_walk.h"
#include "musicxml/musicxml_file.h"
#include "musicxml/musicxml_support.h"
#include "musicxml/random_score.h"
#include "support/notation.h"

namespace qe::test {
namespace {

// A sounding note: where it starts, its MIDI pitch and how long it sounds, ties joined.
using Sound = std::tuple<long long, int, long long>;

// What the score sounds: from the track walk, the editor's own reading of its notes.
std::vector<std::vector<Sound>> soundsOf(const QeDocument& doc) {
    std::vector<std::vector<Sound>> tracks;
    for (const music::TrackWalk& walk : test::walkRecords(doc)) {
        std::vector<Sound>& sounds = tracks.emplace_back();
        for (const music::SoundingNote& n : walk.notes)
            if (n.pitch && !n.tieContinues)
                sounds.emplace_back(n.start, n.pitch->midi(), n.soundLength);
    }
    return tracks;
}

// What LilyPond's converter made of the file, read from the music of each part in absolute
// pitches: notes with their durations (a missing one repeats the last), ties, rests. Skips
// stand for measures without notes, which take no time in jianpu. Fails on anything else
// that takes time.
std::vector<std::vector<Sound>> soundsOf(const QString& ly) {
    std::vector<std::vector<Sound>> parts;
    const QRegularExpression head(QStringLiteral(R"(^PartP\w+VoiceOne =\s*\{)"),
                                  QRegularExpression::MultilineOption);
    const QRegularExpression token(QStringLiteral(
        R"re(%[^\n]*|"(?:[^"\\]|\\.)*"|\\[A-Za-z.]+|[A-Za-z][A-Za-z.]*[',]*(?:\d+|\\breve)?\.*(?:\*\d+(?:/\d+)?)?|[0-9/#]+|\S)re"));
    const QRegularExpression note(QStringLiteral(R"(^([a-g])([a-z]*)([',]*)(\d+|\\breve)?(\.*)$)"));
    // r a rest, R a whole-measure rest (times a scale), s a skip.
    const QRegularExpression rest(
        QStringLiteral(R"(^([rRs])(\d+|\\breve)?(\.*)(?:\*(\d+)(?:/(\d+))?)?$)"));
    // Arguments of the commands the converter writes before them.
    const std::map<QString, int> kArguments = {
        {QStringLiteral("\\clef"), 1},
        {QStringLiteral("\\time"), 1},
        {QStringLiteral("\\key"), 2},
        {QStringLiteral("\\bar"), 1},
        {QStringLiteral("\\barNumberCheck"), 1},
        {QStringLiteral("\\omit"), 1},
        {QStringLiteral("\\repeat"), 2},
        {QStringLiteral("\\partial"), 1},
    };
    auto match = head.globalMatch(ly);
    while (match.hasNext()) {
        int at = static_cast<int>(match.next().capturedEnd());
        int depth = 1;
        int skip = 0;
        long long onset = 0, last = 1920;
        bool tie = false;
        std::vector<Sound>& sounds = parts.emplace_back();
        auto tokens = token.globalMatch(ly, at);
        while (depth > 0 && tokens.hasNext()) {
            const QString t = tokens.next().captured();
            if (t == u"{" || t == u"}") {
                depth += t == u"{" ? 1 : -1;
                continue;
            }
            if (skip > 0) {
                --skip;
                continue;
            }
            if (t.startsWith(u'\\')) {
                skip = kArguments.count(t) ? kArguments.at(t) : 0;
                continue;
            }
            if (t == u"~") {
                tie = true;
                continue;
            }
            EXPECT_NE(t, QStringLiteral("<")) << "a chord in the converted score";
            const auto length = [&last](const QString& value, const QString& dots) {
                if (!value.isEmpty()) {
                    const long long whole = 4 * 1920;
                    long long base = value == u"\\breve" ? 2 * whole : whole / value.toLongLong();
                    long long total = base;
                    for (qsizetype d = 0; d < dots.size(); ++d)
                        total += base >>= 1;
                    last = total;
                }
                return last;
            };
            if (const auto n = note.match(t); n.hasMatch()) {
                static const int kSemitones[] = {9, 11, 0, 2, 4, 5, 7};  // a..g
                const QString suffix = n.captured(2);
                // Dutch names: "is" sharpens, "es" flattens, and "as" is a flat A.
                const int alter = static_cast<int>(suffix.count(QStringLiteral("is")) -
                                                   suffix.count(QStringLiteral("es"))) -
                                  (suffix.startsWith(u's') ? 1 : 0);
                int octave = 3;
                for (const QChar c : n.captured(3))
                    octave += c == u'\'' ? 1 : -1;
                const int midi =
                    12 * (octave + 1) + kSemitones[n.captured(1)[0].unicode() - 'a'] + alter;
                const long long value = length(n.captured(4), n.captured(5));
                if (tie && !sounds.empty() && std::get<1>(sounds.back()) == midi)
                    std::get<2>(sounds.back()) += value;
                else
                    sounds.emplace_back(onset, midi, value);
                onset += value;
                tie = false;
            } else if (const auto r = rest.match(t); r.hasMatch()) {
                long long value = length(r.captured(2), r.captured(3));
                if (!r.captured(4).isEmpty())
                    value = value * r.captured(4).toLongLong() /
                            (r.captured(5).isEmpty() ? 1 : r.captured(5).toLongLong());
                if (r.captured(1) != u"s") {
                    onset += value;
                    tie = false;
                }
            }
        }
    }
    return parts;
}

class LilyPondCheck : public ::testing::Test {
protected:
    void SetUp() override {
        converter = QStandardPaths::findExecutable(QStringLiteral("musicxml2ly"));
        if (converter.isEmpty())
            GTEST_SKIP() << "musicxml2ly (Debian package lilypond) is not installed";
    }

    // Exports the document and converts it; returns the converted file, or nothing when the
    // converter failed.
    QString convert(const QeDocument& doc, const QString& name) {
        const QString xml = dir.filePath(name + QStringLiteral(".musicxml"));
        const QString ly = dir.filePath(name + QStringLiteral(".ly"));
        if (!musicxml::exportMusicXmlFile(*test::scoreFrom(doc), xml).ok())
            return {};
        QProcess process;
        process.start(converter, {QStringLiteral("-a"), QStringLiteral("-o"), ly, xml});
        process.waitForFinished(60000);
        const QString messages = QString::fromUtf8(process.readAllStandardError());
        EXPECT_EQ(process.exitCode(), 0) << messages.toStdString();
        EXPECT_FALSE(messages.contains(QStringLiteral("error"), Qt::CaseInsensitive))
            << messages.toStdString();
        return process.exitCode() == 0 ? ly : QString();
    }

    // Exports the document, converts it and compares what both sound.
    void check(const QeDocument& doc, const QString& name) {
        SCOPED_TRACE(name.toStdString());
        const QString ly = convert(doc, name);
        ASSERT_FALSE(ly.isEmpty());
        // The converter leaves out parts without notes.
        const auto sounding = [](std::vector<std::vector<Sound>> tracks) {
            std::erase_if(tracks, [](const std::vector<Sound>& t) { return t.empty(); });
            return tracks;
        };
        const auto converted = sounding(soundsOf(QString::fromUtf8(readFile(ly))));
        const auto expected = sounding(soundsOf(doc));
        ASSERT_EQ(converted.size(), expected.size());
        for (std::size_t t = 0; t < expected.size(); ++t) {
            const auto [a, b] = std::mismatch(converted[t].begin(), converted[t].end(),
                                              expected[t].begin(), expected[t].end());
            if (a != converted[t].end() || b != expected[t].end())
                ADD_FAILURE() << "track " << t << ", note " << (b - expected[t].begin()) << ": "
                              << ::testing::PrintToString(a == converted[t].end() ? Sound{} : *a)
                              << " instead of "
                              << ::testing::PrintToString(b == expected[t].end() ? Sound{} : *b);
        }
    }

    QString converter;
    QTemporaryDir dir;
};

TEST_F(LilyPondCheck, TheSampleSoundsTheSameInLilyPond) {
    check(loadDocument(QStringLiteral(QE_SOURCE_DIR "/resources/samples/jasmine.qe")),
          QStringLiteral("jasmine"));
}

TEST_F(LilyPondCheck, RandomScoresSoundTheSameInLilyPond) {
    for (std::uint32_t seed = 1000; seed < 1016; ++seed)
        check(randomScore(seed, false), QStringLiteral("random%1").arg(seed));
}

TEST_F(LilyPondCheck, ScoresWithRepeatsAndEndingsAnywhereConvert) {
    // The converter loses track of notes in repeats and endings that do not nest as music
    // writes them, so only the conversion itself is checked here.
    for (std::uint32_t seed = 2000; seed < 2008; ++seed) {
        SCOPED_TRACE(seed);
        EXPECT_FALSE(convert(randomScore(seed), QStringLiteral("repeats%1").arg(seed)).isEmpty());
    }
}

TEST_F(LilyPondCheck, NotesThatNoOneValueShowsAreTiedAcrossBarLines) {
    // A note lengthened past its bar line, five quarters, two and a half quarters, dashes
    // with no note before them, an empty measure and measures off the meter.
    QeDocument doc =
        scoreOf({"5 - - | - 3 - - - - | 0 - . 2 - . 1_ |] | - 6, . | 1' - - - - - - - - |]",
                 "1 | 2 | 3 |"});
    doc.header.keyLetter = 1;  // 1=bB
    doc.header.keyAccidental = 2;
    check(doc, QStringLiteral("odd"));
}

TEST_F(LilyPondCheck, RepeatsWithEndingsAsMusicWritesThem) {
    QeDocument doc = scoreOf({"1 2 3 4 |: 5 6 5 4 | 3 2 1 - | 2 2 2 2 :| 1 - - - |]"});
    addFormat(doc, Format::kVolta, 0, 19, 19);  // the first ending: the measure before :|
    addFormat(doc, Format::kVolta, 0, 24, 24);  // the second: the last measure
    check(doc, QStringLiteral("repeats"));
}

}  // namespace
}  // namespace qe::test
