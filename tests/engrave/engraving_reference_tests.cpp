#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engrave/recording_surface.h"
#include "engrave/symbols.h"
#include "music/note_marks.h"
#include "support/fake_host.h"
#include "support/lyrics_doc.h"
#include "support/notation.h"

namespace qe {
namespace {

// Whole recorded drawings of small scores, compared with reference files in
// tests/data/engraving. A reference changes only on purpose: run the tests with
// QE_UPDATE_REFERENCES=1 to write the drawings as they are now, and commit the files with the
// change that explains them.

struct Case {
    std::string name;
    std::string description;
    std::vector<std::string> tracks;
    int mode = ScoreEditor::kPageMode;
    std::function<void(QeDocument&)> setUp = nullptr;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

// Symbol-font characters by what they show, so that a reference reads as music.
std::string readable(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c >= glyph::kDigit && c <= glyph::kDigit + 7) {
            out += static_cast<char>('0' + (c - glyph::kDigit));
        } else if (c > glyph::kAccidentalBase && c <= glyph::kAccidentalBase + 5) {
            out += "#xbBn"[c - glyph::kAccidentalBase - 1];
        } else if (c >= glyph::kBarLine && c < glyph::kBarLine + 7) {
            out += "|" + std::to_string(c - glyph::kBarLine);
        } else if (c == glyph::kAugmentationDot) {
            out += ".";
        } else if (c == glyph::kDash) {
            out += "-";
        } else if (c == glyph::kBreath) {
            out += "v";
        } else if (c == glyph::kOctaveDot) {
            out += "*";
        } else if (c == glyph::kOpenParen || c == glyph::kCloseParen) {
            out += c == glyph::kOpenParen ? "(" : ")";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            std::ostringstream hex;
            hex << "\\u" << std::hex << static_cast<int>(c);
            out += hex.str();
        }
    }
    return out;
}

void writeCalls(std::ostream& out, const RecordingSurface& g) {
    for (const DrawCall& call : g.calls) {
        out << call.op << '(';
        for (std::size_t i = 0; i < call.args.size(); ++i)
            out << (i ? ", " : "") << call.args[i];
        if (!call.text.empty())
            out << (call.args.empty() ? "" : ", ") << '"' << readable(call.text) << '"';
        out << ")\n";
    }
}

// The whole drawing of a case: every page in page mode, the strip in scroll mode.
std::string drawingOf(const Case& c) {
    QeDocument doc = [&] {
        if (c.tracks.size() == 1)
            return test::scoreWithShapes({c.tracks[0]}, u"Engraving");
        if (c.tracks.size() == 2)
            return test::scoreWithShapes({c.tracks[0], c.tracks[1]}, u"Engraving");
        return test::scoreWithShapes({c.tracks[0], c.tracks[1], c.tracks[2]}, u"Engraving");
    }();
    if (c.setUp)
        c.setUp(doc);
    test::Editor ed(doc, c.mode);
    std::ostringstream out;
    out << "# " << c.description << "\n";
    if (c.mode == ScoreEditor::kScrollMode) {
        const Style& s = ed.view.layout().root().style;
        RecordingSurface g(0, 0, 0, 0, s.width, s.height, false);
        ed.view.paintAll(g);
        out << "strip " << s.width << " x " << -s.height << "\n";
        writeCalls(out, g);
        return out.str();
    }
    PageView& pages = *ed.view.layout().pages();
    for (int i = 0; i < pages.childCount(); ++i) {
        RecordingSurface g(0, 0, 0, 0, pages.pageWidth, -pages.pageHeight, false);
        ed.view.paintPage(g, i);
        out << "page " << i + 1 << " of " << pages.childCount() << "\n";
        writeCalls(out, g);
    }
    return out.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A readable difference: the lines only in the reference (-) and only in the drawing (+),
// around the first place they part, with a little context.
std::string difference(const std::string& expected, const std::string& actual) {
    const std::vector<std::string> a = linesOf(expected), b = linesOf(actual);
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    std::size_t tailA = a.size(), tailB = b.size();
    while (tailA > head && tailB > head && a[tailA - 1] == b[tailB - 1])
        --tailA, --tailB;
    std::ostringstream out;
    const std::size_t from = head >= 3 ? head - 3 : 0;
    for (std::size_t i = from; i < head; ++i)
        out << "  " << a[i] << "\n";
    const std::size_t kShown = 40;
    for (std::size_t i = head; i < tailA && i < head + kShown; ++i)
        out << "- " << a[i] << "\n";
    for (std::size_t i = head; i < tailB && i < head + kShown; ++i)
        out << "+ " << b[i] << "\n";
    if (tailA - head > kShown || tailB - head > kShown)
        out << "  ... (" << tailA - head << " lines against " << tailB - head << ")\n";
    return out.str();
}

std::string referencePath(const std::string& name) {
    return std::string(QE_TEST_DATA) + "/engraving/" + name + ".ref";
}

void setMeter(QeDocument& doc, int numerator, int denominator) {
    doc.header.timeNumerator = static_cast<std::uint8_t>(numerator);
    doc.header.timeDenominator = static_cast<std::uint8_t>(denominator);
}

void mark(QeDocument& doc, const MeasureMark& m) {
    doc.header.marks.push_back(m);
}

MeasureMark jumpsAt(std::uint32_t measure, std::uint32_t jumps) {
    MeasureMark m;
    m.measure = measure;
    m.jumps = jumps;
    return m;
}

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text + " ";
    return out;
}

const std::vector<Case>& cases() {
    static const std::vector<Case> kCases = {
        {"underlines_six_eight",
         "6/8: eighths group by the dotted quarter, three to a beam; sixteenths inside it",
         {"1_ 2_ 3_ 4_ 5_ 6_ | 5 . 3_ 2 . | 1__ 2__ 3_ 4_ 5_ 6_ 7_ | 1' . - |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) { setMeter(d, 6, 8); }},
        {"underlines_four_four",
         "4/4: eighths and sixteenths group by the quarter (unchanged by the meter's beat)",
         {"1_ 2_ 3_ 4_ 5__ 6__ 7_ 1'_ | 5_ . 3__ 2 - | 1 2_ 3_ 4 5 |]"}},
        {"underlines_two_two",
         "2/2: eighths group by the half note",
         {"1_ 2_ 3_ 4_ 5 6 | 5_ 3_ 2_ 1_ 5 - |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) { setMeter(d, 2, 2); }},
        {"scroll_spacing",
         "scroll mode: digits, beats and bar lines stand apart as on a page",
         {"1 2 3_ 4_ 5 | 6_ 6_ 5_ 5_ 4 - | 3 . 2_ 1 - |]"},
         ScoreEditor::kScrollMode},
        {"scroll_two_tracks",
         "scroll mode, two tracks with a tie and a bracket",
         {"1 2~ 2 3 | { 4 4 4 4 | } 5 - - - |]", "5, 6, 7, 1 | 2 2 2 2 | 3 - - - |]"},
         ScoreEditor::kScrollMode},
        {"tie_across_break",
         "a tie from the last note of a line to the first of the next, drawn as two half-ties",
         {repeated("1 2 3 4 |", 5) + "5 6 7 1'~ | 1' 2 3 4 | " + repeated("5 6 7 1' |", 6) + "|]"}},
        {"tie_heights",
         "ties between notes with and without octave dots: each end at its own note",
         {"1~ 1'' 2''~ 2 3,~ 3 | 4~ #4 5'~ 5' 6~ 6 |]"}},
        {"short_last_line",
         "a last line of one measure keeps the spacing of the line above, left-aligned",
         {repeated("1 2 3 4 | 5 6 7 1' |", 5) + "5 - - - |]"}},
        {"bar_balance",
         "a bar line stands as far from the note after it as from the note before it",
         {"1 2 3 4 | 5 5 5 5 | 1_ 2_ 3_ 4_ 5 6 |]"}},
        {"two_track_systems",
         "two tracks: systems stand apart more than the tracks of a system, joined by a "
         "bracket",
         {repeated("1 2 3 4 | 5 6 7 1' |", 8) + "|]",
          repeated("5, 6, 7, 1 | 2 3 4 5 |", 8) + "|]"}},
        {"bracket_across_break",
         "a volta bracket over a line break (unchanged)",
         {repeated("1 2 3 4 |", 5) + "{ 5 6 7 1' | 2 3 4 5 | } " + repeated("6 6 6 6 |", 6) +
          "|]"}},
        {"title_block",
         "title block, key and time signature, authors and comments (unchanged)",
         {"3_ 3_ 5_ 6_ 1'_ 1'_ 6_ 5_ | 5 5_ 6_ 5 - |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             d.header.subtitle = u"Subtitle";
             d.header.author1 = u"Author one";
             d.header.author2 = u"Author two";
             d.header.comment1 = u"Comment one";
             d.header.comment2 = u"Comment two";
             d.header.keyLetter = 5;
             d.header.keyAccidental = 1;
         }},
        {"measure_marks",
         "key, time and tempo changes, segno, To Coda, D.S. al Coda, coda, labelled endings",
         {"1 2 3 4 |: 5 6 7 1' | { 2' 1' 7 6 :| } { 5 - - - | } 3 2 1 2 | 3 - 2 | 1 - - || "
          "5 4 3 | 1 - - |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             extension::put(d.header.extension, extension::kVoltaLabels,
                            extension::encodeVoltaLabels({{0, u"1."}, {1, u"2."}}));
             mark(d, jumpsAt(1, jump::kSegno));
             MeasureMark change = jumpsAt(4, 0);
             change.keyChange = true;
             change.keyLetter = 3;  // 1=D
             change.tempo = TempoMark{4, false, 72, u"稍慢"};
             mark(d, change);
             MeasureMark meter = jumpsAt(5, jump::kToCoda);
             meter.meterChange = true;
             meter.numerator = 3;
             meter.denominator = 4;
             mark(d, meter);
             mark(d, jumpsAt(6, jump::kDalSegno | jump::kAlCoda));
             mark(d, jumpsAt(7, jump::kCoda));
             d.header.tempo = TempoMark{4, false, 96, u"中速"};
         }},
        {"free_meter",
         "free meter: the key without a fraction, measures as long as their notes, and 散板 "
         "over a passage in free meter after a 2/4 one",
         {"5 6 1' 2' 1' 6 5 - | 3 5 6 - | 5 3 2 | 1 - | 2 3 5 6 5 3 2 1 |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             d.header.freeMeter = true;
             MeasureMark meter = jumpsAt(3, 0);
             meter.meterChange = true;
             meter.numerator = 2;
             meter.denominator = 4;
             mark(d, meter);
             MeasureMark free = jumpsAt(4, 0);
             free.meterChange = true;
             free.numerator = free.denominator = 0;
             mark(d, free);
         }},
        {"part_names",
         "part names before the first system, short names before the later ones",
         {repeated("1 2 3 4 | 5 6 7 1' |", 8) + "|]", repeated("5, 6, 7, 1 | 2 3 4 5 |", 8) + "|]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             d.header.partNames = {{u"Soprano", u"S."}, {u"Alto", u"A."}};
         }},
        {"tuplets",
         "a triplet of eighths under its underline (the number alone), a triplet of quarters "
         "(number and bracket), a quintuplet of sixteenths",
         {"1_ 2_ 3_ 4 5 6 | 1__ 2__ 3__ 4__ 5__ 6 - - |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             test::addTuplet(d, 0, 0, 2, 3, 2);
             test::addTuplet(d, 0, 3, 5, 3, 2);
             test::addTuplet(d, 0, 7, 11, 5, 4);
         }},
        {"chords",
         "a three-tone chord with accidentals and octave dots (1 with #4 and 5 an octave up), "
         "a chord under an octave dot, a chord on a dashed half note",
         {"1 1' 3 - |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             test::changeExtra(d, 0, 0, [](NoteExtra& e) { e.tones = {{4, 0, 1}, {5, 1, 0}}; });
             test::changeExtra(d, 0, 1, [](NoteExtra& e) { e.tones = {{5, 0, 3}}; });
             test::changeExtra(d, 0, 2, [](NoteExtra& e) { e.tones = {{5, -1, 0}, {1, 0, 0}}; });
         }},
        {"grace_notes",
         "grace notes before a note (two, one an octave down), after a note (后倚音), and "
         "before a note with an accidental",
         {"5 - 3 #4 |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             test::changeExtra(d, 0, 0, [](NoteExtra& e) {
                 e.graces = {{{6, 0, 0}, 2, false}, {{5, -1, 0}, 2, false}};
             });
             test::changeExtra(d, 0, 2, [](NoteExtra& e) { e.graces = {{{2, 0, 0}, 1, true}}; });
             test::changeExtra(d, 0, 3, [](NoteExtra& e) { e.graces = {{{5, 0, 0}, 2, false}}; });
         }},
        {"arcs_over_ink",
         "a tie between two chords, over their upper tones; a slur over a fermata and a note "
         "an octave up; a tie across a bar line; grace notes on both sides of a note, and a "
         "sharpened one before a chord",
         {"1~ 1 3 4' 5 6~ | 6 - 2 2 |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             test::changeExtra(d, 0, 0, [](NoteExtra& e) { e.tones = {{5, 0, 0}}; });
             test::changeExtra(d, 0, 1, [](NoteExtra& e) { e.tones = {{5, 0, 0}}; });
             test::changeExtra(d, 0, 3,
                               [](NoteExtra& e) { e.articulations = articulation::kFermata; });
             test::addFormat(d, 1, 0, 2, 4);
             test::changeExtra(d, 0, 9, [](NoteExtra& e) {
                 e.graces = {{{1, 0, 0}, 1, false}, {{3, 0, 0}, 1, true}};
             });
             test::changeExtra(d, 0, 10, [](NoteExtra& e) {
                 e.tones = {{4, 0, 0}};
                 e.graces = {{{6, 0, 1}, 1, false}};
             });
         }},
        {"articulations",
         "a fermata over a note and over a rest, staccato, accent, and all three on one note",
         {"1 0 3 4 | 5 - - - |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             const auto marks = [&](int record, std::uint32_t flags) {
                 test::changeExtra(d, 0, record, [&](NoteExtra& e) { e.articulations = flags; });
             };
             marks(0, articulation::kFermata);
             marks(1, articulation::kFermata);
             marks(2, articulation::kStaccato);
             marks(3, articulation::kAccent);
             marks(5, articulation::kFermata | articulation::kStaccato | articulation::kAccent);
         }},
        {"tenuto",
         "a tenuto line over a note and a rest, under an accent, and over a staccato wedge with a "
         "fermata above both",
         {"1 0 3 4 | 5 - - - |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             const auto marks = [&](int record, std::uint32_t flags) {
                 test::changeExtra(d, 0, record, [&](NoteExtra& e) { e.articulations = flags; });
             };
             marks(0, articulation::kTenuto);
             marks(1, articulation::kTenuto);
             marks(2, articulation::kTenuto | articulation::kAccent);
             marks(5, articulation::kTenuto | articulation::kStaccato | articulation::kFermata);
         }},
        {"chord_symbols",
         "a row of chord symbols over the notes they start on: C, Am7, G/B, F#m7b5, Bbmaj7, on "
         "a chord and after a dash",
         {"1 3 5 - | 6 4 2 7, |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             const auto chord = [&](int record, const char16_t* text) {
                 test::changeExtra(d, 0, record, [&](NoteExtra& e) { e.chordSymbol = text; });
             };
             chord(0, u"C");
             chord(1, u"Am7");
             chord(2, u"G/B");
             chord(5, u"F#m7b5");
             chord(7, u"Bbmaj7");
             test::changeExtra(d, 0, 7, [](NoteExtra& e) { e.tones = {{2, 0, 0}, {4, 0, 0}}; });
         }},
        {"words_at_notes",
         "words at notes: \"rit.\" over a note under its chord symbol's row, \"a tempo\" over "
         "a rest, \"mf\" and \"dolce\" under notes with words, the measures wide enough "
         "that no two texts of a row touch",
         {"1 2 3 4 | 0 6 5 - |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             test::changeExtra(d, 0, 2, [](NoteExtra& e) {
                 e.chordSymbol = u"Am";
                 e.textAbove = u"rit.";
             });
             test::changeExtra(d, 0, 3, [](NoteExtra& e) { e.textAbove = u"poco a poco"; });
             test::changeExtra(d, 0, 5, [](NoteExtra& e) { e.textAbove = u"a tempo"; });
             test::changeExtra(d, 0, 0, [](NoteExtra& e) { e.textBelow = u"mf"; });
             test::changeExtra(d, 0, 6, [](NoteExtra& e) { e.textBelow = u"dolce"; });
             const char16_t* const words[] = {u"Glo-", u"ri-", u"a", u"in", u"ex-", u"cel"};
             const int records[] = {0, 1, 2, 3, 6, 7};
             for (int i = 0; i < 6; ++i)
                 test::addSyllable(d, 0, 0, records[i], words[i]);
         }},
        {"chord_octave_dots",
         "chord tones with octave dots stacked over their digits: each dot stands clear of the "
         "digits over and under it, whether it belongs to the tone under or over it",
         {"4 4' 5 5 |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             test::changeExtra(d, 0, 0, [](NoteExtra& e) {
                 e.tones = {{6, -1, 0}, {7, -1, 0}, {1, 1, 0}};
             });
             test::changeExtra(d, 0, 1, [](NoteExtra& e) { e.tones = {{6, 0, 0}}; });
             test::changeExtra(d, 0, 2, [](NoteExtra& e) { e.tones = {{2, 1, 0}, {5, 1, 0}}; });
         }},
        {"measure_marks_scroll",
         "scroll mode: a key change with a tempo, a D.C. al Fine, the part's name before the "
         "strip",
         {"1 2 3 4 | 5 6 7 1' | 2' 1' 7 6 | 5 - - - |]"},
         ScoreEditor::kScrollMode,
         [](QeDocument& d) {
             mark(d, jumpsAt(1, jump::kFine));
             MeasureMark change = jumpsAt(2, 0);
             change.keyChange = true;
             change.keyLetter = 6;  // 1=G
             change.tempo = TempoMark{4, true, 60, u""};
             mark(d, change);
             mark(d, jumpsAt(3, jump::kDaCapo | jump::kAlFine));
             d.header.partNames = {{u"Melody", u"M."}};
         }},
        {"two_part_silent_night",
         "the opening of a two-part song in 6/8 with words in the upper part: one bar line "
         "for both parts, notes that sound together one above the other",
         {"5 . 6_ 5 | 3 - - | 5 . 6_ 5 | 3 - - | 2' 2'_ 7 . | 1' 1'_ 5 . |",
          "3 . 4_ 3 | 1 . 7, . | 3 . 4_ 3 | 1 - - | 4 4_ 4 . | 3 3_ 3 . |"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             d.header.timeNumerator = 6;
             d.header.timeDenominator = 8;
             d.header.partNames = {{u"Soprano", u"S."}, {u"Alto", u"A."}};
             const char16_t* const words[] = {u"Si-",   u"lent",   u"night,", u"ho-",
                                              u"ly",    u"night,", u"All",    u"is",
                                              u"calm,", u"all",    u"is",     u"bright,"};
             const int records[] = {0, 2, 3, 9, 11, 12, 18, 19, 20, 23, 24, 25};
             for (int i = 0; i < 12; ++i)
                 test::addSyllable(d, 0, 0, records[i], words[i]);
         }},
        {"long_syllable",
         "a measure of equal quarters with one long syllable: the room it needs goes before "
         "its note, the other quarters keep theirs",
         {"4 5 6 7 | 1 2 3 4 |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             test::addSyllable(d, 0, 0, 0, u"Glo-");
             test::addSyllable(d, 0, 0, 1, u"everlastingly");
             test::addSyllable(d, 0, 0, 2, u"to");
             test::addSyllable(d, 0, 0, 3, u"God");
         }},
        {"long_title",
         "a title and a subtitle wider than the text width, wrapped inside the margins",
         {"1 2 3 4 | 5 - - - |]"},
         ScoreEditor::kPageMode,
         [](QeDocument& d) {
             d.header.title =
                 u"A Very Long Title Of A Hymn That Runs Far Past The Width Of "
                 u"Any Page";
             d.header.subtitle =
                 u"中华人民共和国各民族人民大团结万岁歌曲集第一卷第二部分选段附录及各地民歌精选集";
         }},
    };
    return kCases;
}

class EngravingReference : public testing::TestWithParam<Case> {};

TEST_P(EngravingReference, DrawsAsItsReference) {
    const Case& c = GetParam();
    const std::string drawing = drawingOf(c);
    const std::string path = referencePath(c.name);
    if (std::getenv("QE_UPDATE_REFERENCES")) {
        std::ofstream(path, std::ios::binary) << drawing;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "no reference " << path
                    << "; write it with QE_UPDATE_REFERENCES=1 and look at it";
    const std::string expected((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    EXPECT_TRUE(drawing == expected) << c.name << ": the drawing differs from " << path << "\n"
                                     << difference(expected, drawing);
}

INSTANTIATE_TEST_SUITE_P(Scores, EngravingReference, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
}  // namespace qe
