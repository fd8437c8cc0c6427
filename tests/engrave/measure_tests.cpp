#include <gtest/gtest.h>

#include <cmath>

#include "engrave/measure.h"
#include "engrave/time_grid.h"
#include "engrave/note_element.h"
#include "engrave/note_line.h"
#include "engrave/recording_surface.h"
#include "engrave/symbols.h"
#include "records/doc_chunks.h"
#include "support/error_code.h"
#include "support/notation.h"
#include "support/test_nodes.h"

namespace qe {
namespace {

// A track line built from notes and laid out on a recording surface, where every note glyph
// is 192 x -320 and a bar line 240 x -400 with the default fonts.
struct Track {
    explicit Track(std::vector<note> notes) {
        QeDocument doc;
        note_track stored;
        stored.content.items = std::move(notes);
        doc.noteTracks().push_back(std::move(stored));
        score = test::scoreFrom(doc);
        buildTrackLine(&format, line, score->track(0));
        line.layout(g, true);
    }
    Measure* measure(int i) { return static_cast<Measure*>(line.child(i)); }
    NoteElement* element(int m, int e) { return static_cast<NoteElement*>(measure(m)->child(e)); }

    format_track_header format;
    std::unique_ptr<music::Score> score;
    NoteLine line{nullptr, 40, 40};
    RecordingSurface g;
};

note digit(int degree, int duration = 0, int octave = 0, int accidental = 0) {
    return note(accidental, degree, octave, duration);
}

TEST(TrackLine, BarLinesCloseMeasuresAndElementsNameTheirEntries) {
    Track t({digit(1), note::mark(note::kOpenParen), digit(2, 0, 0, 1), note::barLine(0),
             note::barLine(2), digit(3), note(0x0C09, 0), note(0x2000, 0), note(0, 0, 1, 6),
             digit(4)});
    ASSERT_EQ(t.line.childCount(), 3);
    // Measure 0: digit, parenthesis, accidental + digit of one entry; the bar line closes it.
    ASSERT_EQ(t.measure(0)->childCount(), 4);
    EXPECT_EQ(t.element(0, 1)->entry, 1);
    EXPECT_EQ(t.element(0, 2)->elementKind, kAccidentalElement);
    EXPECT_EQ(t.element(0, 2)->entry, 2);
    EXPECT_EQ(t.element(0, 3)->entry, 2);
    EXPECT_EQ(t.measure(0)->barType, 0);
    // Two bar lines in a row give an empty measure that still shows its bar line.
    EXPECT_EQ(t.measure(1)->childCount(), 0);
    EXPECT_EQ(t.measure(1)->barType, 2);
    // A bar type with bit 3 set, an unknown class and an unknown mark show nothing and keep
    // their entries; the unfinished last measure shows its elements and bar type 0.
    ASSERT_EQ(t.measure(2)->childCount(), 2);
    EXPECT_EQ(t.element(2, 0)->entry, 0);
    EXPECT_EQ(t.element(2, 1)->entry, 4);
    EXPECT_EQ(t.measure(2)->barGlyph, glyph::barLine(0));
}

TEST(TrackLine, ANewDocumentsTrackIsOneEmptyMeasureWithTheFinalBar) {
    Track t({note::barLine(6)});
    ASSERT_EQ(t.line.childCount(), 1);
    EXPECT_EQ(t.measure(0)->barGlyph, 0xF02F);
    EXPECT_EQ(t.measure(0)->style.width, 240);
    EXPECT_EQ(t.measure(0)->style.height, -400 - 320);
    Track empty({});
    EXPECT_EQ(empty.line.childCount(), 0);
}

TEST(MeasureArrange, PlacesTheRowBetweenThePaddings) {
    Track t({digit(1), digit(2), note::barLine(0)});
    EXPECT_EQ(t.element(0, 0)->style.y, -200);  // (-400 + 320) / 2 - 160
    // Spaced by time alone until a column places it: a quarter after a quarter.
    const double quarter = 192 * timeSpace(1920);
    EXPECT_EQ(t.element(0, 0)->style.x, 0);
    EXPECT_EQ(t.element(0, 1)->style.x, std::lround(quarter));
    // The bar line after the time of the last quarter, less what the gap after it gives back.
    EXPECT_EQ(t.measure(0)->style.width, std::lround(96 + 2 * quarter - 0.75 * 192) + 240);
    EXPECT_EQ(t.line.style.height, -720);  // as deep as its deepest measure
    EXPECT_EQ(t.measure(0)->style.y, 0);
}

struct UnderlineSpan {
    const Node* from;
    const Node* to;
    int level;
    friend bool operator==(const UnderlineSpan&, const UnderlineSpan&) = default;
};

std::vector<UnderlineSpan> spans(const Measure* m) {
    std::vector<UnderlineSpan> out;
    for (const Underline& u : m->underlines())
        out.push_back({u.from, u.to, u.level});
    return out;
}

TEST(UnderlineGrouping, TwoEighthsThenAQuarter) {
    Track t({digit(1, 1), digit(2, 1), digit(3)});
    EXPECT_EQ(spans(t.measure(0)),
              (std::vector<UnderlineSpan>{{t.element(0, 0), t.element(0, 1), 0}}));
}

TEST(UnderlineGrouping, DottedEighthAndSixteenth) {
    Track t({digit(1, 1), note::mark(note::kAugmentationDot), digit(2, 2)});
    const Node* e8 = t.element(0, 0);
    const Node* e16 = t.element(0, 2);
    EXPECT_EQ(spans(t.measure(0)), (std::vector<UnderlineSpan>{{e16, e16, 1}, {e8, e16, 0}}));
}

TEST(UnderlineGrouping, FourSixteenthsShareBothLevels) {
    Track t({digit(1, 2), digit(2, 2), digit(3, 2), digit(4, 2)});
    const Node* a = t.element(0, 0);
    const Node* d = t.element(0, 3);
    EXPECT_EQ(spans(t.measure(0)), (std::vector<UnderlineSpan>{{a, d, 1}, {a, d, 0}}));
}

TEST(UnderlineGrouping, BreaksWhereANoteHasFewerUnderlinesAndAtEachBeat) {
    // Sixteenth, sixteenth, eighth: the second level ends at the second note; then the beat ends.
    // Then eighth, eighth, eighth: the first two fill a beat, the third stays open to the end.
    Track t({digit(1, 2), digit(2, 2), digit(3, 1), digit(4, 1), digit(5, 1), digit(6, 1)});
    const auto e = [&](int i) -> const Node* { return t.element(0, i); };
    EXPECT_EQ(spans(t.measure(0)),
              (std::vector<UnderlineSpan>{
                  {e(0), e(1), 1}, {e(0), e(2), 0}, {e(3), e(4), 0}, {e(5), e(5), 0}}));
    // Level geometry: each level lies 2 x (-320 / 15) = -42 below the previous one.
    const Underline& second = t.measure(0)->underlines()[0];
    EXPECT_EQ(second.style.y, -200 - 320 - 42);
    EXPECT_EQ(second.thickness, -21);
    EXPECT_EQ(second.style.x, 0);
    EXPECT_EQ(second.style.width, e(1)->style.x + 192);
}

TEST(OctaveDots, StackAboveTheGlyphAndBelowTheUnderlines) {
    Track t({digit(1, 0, 2), digit(2, 2, -1), digit(3, 0, -2)});
    const auto& dots = t.measure(0)->symbols();
    ASSERT_EQ(dots.size(), 5u);
    const NoteElement* high = t.element(0, 0);
    // The dot font is -320 / 6 = -53: dots are 31 wide and 53 high, centred on the note.
    EXPECT_EQ(dots[0].style.x, high->style.x + 81);  // floor((192 - 31) / 2 + 0.5)
    EXPECT_EQ(dots[0].style.y, high->style.y + 53);
    EXPECT_EQ(dots[1].style.y, high->style.y + 106);  // directly on the first
    EXPECT_EQ(high->dotsTop, 106);
    const NoteElement* low = t.element(0, 1);
    // Below a note with two underlines: under the second underline.
    EXPECT_EQ(dots[2].style.y, low->style.y - 320 - 2 * 42);
    const NoteElement* lower = t.element(0, 2);
    EXPECT_EQ(dots[3].style.y, lower->style.y - 320);
    EXPECT_EQ(dots[4].style.y, lower->style.y - 320 - 53);
    // Arranging again does not move a dot.
    t.line.layout(t.g, true);
    EXPECT_EQ(t.measure(0)->symbols()[4].style.y, lower->style.y - 320 - 53);
}

TEST(MeasureHitTest, OnlyXDecidesAndTheCentreGoesBefore) {
    Track t({digit(1), digit(2), note::barLine(0)});
    Measure* m = t.measure(0);
    EXPECT_EQ(m->hitTest({96, -300}), t.element(0, 0));  // exactly at the centre
    EXPECT_EQ(m->hitTest({97, -300}), t.element(0, 1));
    EXPECT_EQ(m->hitTest({t.element(0, 1)->style.x + 96, -300}), t.element(0, 1));
    EXPECT_EQ(m->hitTest({t.element(0, 1)->style.x + 97, -5}), m);  // right of the last centre
    EXPECT_EQ(m->hitTest({10, 5}), nullptr);
    Track empty({note::barLine(0)});
    EXPECT_EQ(empty.measure(0)->hitTest({10, -10}), empty.measure(0));
}

TEST(MeasureSlots, TimedElementsCarryWhatStandsAgainstThem) {
    // An eighth, a sharp eighth, a dash with a breath mark after it.
    Track t({digit(1, 1), digit(2, 1, 0, 1), note::mark(note::kDash), note::mark(note::kBreath),
             note::barLine(0)});
    Measure* m = t.measure(0);
    EXPECT_EQ(m->weight(), 8 + 1 + 8 + 16 + 1);
    const std::vector<Measure::Slot>& slots = m->timeSlots();
    ASSERT_EQ(slots.size(), 3u);
    EXPECT_EQ(slots[0].start, 0);
    EXPECT_EQ(slots[1].start, 960);
    EXPECT_EQ(slots[2].start, 1920);
    EXPECT_EQ(m->length(), 3840);
    // The sharp stands with the digit after it, the breath mark with the dash before it.
    EXPECT_EQ(slots[1].first, 1);
    EXPECT_EQ(slots[1].anchor, 2);
    EXPECT_EQ(slots[2].anchor, 3);
    EXPECT_EQ(slots[2].last, 4);
    EXPECT_EQ(slots[1].left, 96 + t.element(0, 1)->style.width);
    EXPECT_EQ(slots[2].right, 96 + t.element(0, 4)->style.width);
}

TEST(MeasureSlots, PlacedByTimeWithoutMeasuring) {
    Track t({digit(1, 1), digit(2, 1), note::mark(note::kDash), note::barLine(0)});
    Measure* m = t.measure(0);
    const std::size_t measured = t.g.calls.size();
    ColumnGrid({m}).place(2.0, 1.0, t.g);
    const auto centre = [&](int i) {
        return t.element(0, i)->style.x + t.element(0, i)->style.width / 2;
    };
    const double eighth = 2.0 * 192 * timeSpace(960);
    const double quarter = 2.0 * 192 * timeSpace(1920);
    EXPECT_NEAR(centre(1) - centre(0), eighth, 1.0);
    EXPECT_NEAR(centre(2) - centre(1), eighth, 1.0);
    EXPECT_GT(quarter, eighth * 1.1);  // a longer note gets noticeably more room
    // The underline follows the placed notes, and nothing was measured again.
    EXPECT_EQ(m->underlines()[0].style.x, t.element(0, 0)->style.x);
    for (std::size_t i = measured; i < t.g.calls.size(); ++i)
        EXPECT_NE(t.g.calls[i].op, "drawText");
}

TEST(MeasureDraw, ElementsThenUnderlinesDotsAndTheBarLine) {
    Track t({digit(1, 1, 1), digit(2, 1), note::barLine(3)});
    RecordingSurface g(0, 0, -100000, 100000, 100000, -100000, false);
    t.line.paint(g);
    std::vector<std::string> ops;
    for (const DrawCall& call : g.calls)
        if (call.op != "setFont")
            ops.push_back(call.op);
    EXPECT_EQ(ops, (std::vector<std::string>{"drawText", "drawText", "fillRect", "drawText",
                                             "drawText"}));
    const auto texts = g.callsOf("drawText");
    EXPECT_EQ(texts[0].text, u"\uF031");
    EXPECT_EQ(texts[0].args, (std::vector<int>{0, -200}));
    EXPECT_EQ(texts[3].text, u"\uF02C");  // begin-repeat bar line at the right end
    const int bar = t.measure(0)->style.width - 240;
    EXPECT_EQ(texts[3].args, (std::vector<int>{bar, -160}));
    // The underline joins the two eighths; one pixel thick on a 15-unit pixel: -21 rounds
    // to -15.
    const int end = t.element(0, 1)->style.x + 192;
    EXPECT_EQ(g.callsOf("fillRect")[0].args, (std::vector<int>{0, -200 - 320, end, -15, 0, 0, 0}));
    EXPECT_TRUE(g.translations.empty());
}

TEST(MeasureDraw, HiddenBarLineDrawsNothingAndTakesNoRoom) {
    Track t({digit(1), note::barLine(7)});
    EXPECT_EQ(t.measure(0)->barGlyph, 0);
    EXPECT_EQ(t.measure(0)->style.width, std::lround(96 + 192 * timeSpace(1920) - 0.75 * 192));
    RecordingSurface g(0, 0, -100000, 100000, 100000, -100000, false);
    t.line.paint(g);
    EXPECT_EQ(g.callsOf("drawText").size(), 1u);
}

TEST(UnderlineDraw, LevelsArePixelAlignedOnEveryDevice) {
    Track t({digit(1, 2), digit(2, 2)});
    RecordingSurface g(0, 0, -100000, 100000, 100000, -100000, false);
    g.pixel = 5;  // 288 dpi: -21 becomes -20 and level 1 starts 2 x 20 below level 0's top
    t.line.paint(g);
    const auto fills = g.callsOf("fillRect");
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].args[3], -20);
    EXPECT_EQ(t.measure(0)->underlines()[0].level, 1);
    EXPECT_EQ(fills[1].args[1], -520);            // level 0 right under the digits
    EXPECT_EQ(fills[0].args[1], -520 + 2 * -20);  // level 1 one thickness further down
}

}  // namespace
}  // namespace qe

namespace qe {
namespace {

TEST(MeasureChildren, AreNoteElementsOnly) {
    Measure m(nullptr, 0);
    m.appendChild(NoteElement::makeNote(1, 0, 0));
    EXPECT_EQ(test::codeOf([&] { m.appendChild(std::make_unique<Measure>(nullptr, 0)); }),
              kWrongKind);
    EXPECT_EQ(test::codeOf([&] { m.insertChild(0, std::make_unique<Measure>(nullptr, 0)); }),
              kWrongKind);
    std::unique_ptr<Node> other = std::make_unique<Measure>(nullptr, 0);
    EXPECT_EQ(test::codeOf([&] { m.insertChild(other, m.child(0)); }), kWrongKind);
    EXPECT_NE(other, nullptr);  // refused: still the caller's
    ASSERT_EQ(m.childCount(), 1);
    EXPECT_EQ(m.elementAt(0)->degree, 1);
}

}  // namespace
}  // namespace qe
