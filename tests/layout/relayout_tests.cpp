#include <gtest/gtest.h>

#include <sstream>

#include "draw/note_element.h"
#include "draw/recording_gdi.h"
#include "layout/measure.h"
#include "layout/page_view.h"
#include "layout/score_layout.h"
#include "support/fake_host.h"
#include "support/notation.h"

#include <random>

namespace qe {
namespace {

// Every coordinate of a laid-out page view: nodes, dots, underlines, shapes.
std::string geometry(const Node& node) {
    std::ostringstream out;
    const auto box = [&](const Style& s) {
        out << s.x << ',' << s.y << ',' << s.width << ',' << s.height << ';';
    };
    box(node.style);
    if (const auto* m = dynamic_cast<const Measure*>(&node)) {
        for (const Symbol& dot : m->symbols())
            box(dot.style);
        for (const Underline& line : m->underlines())
            box(line.style);
    }
    if (const auto* e = dynamic_cast<const NoteElement*>(&node))
        out << e->dotsTop << ',' << e->dotsBottom << ';';
    if (const auto* view = dynamic_cast<const PageView*>(&node)) {
        out << geometry(view->linear);
        for (const SusArc& arc : view->arcs)
            box(arc.style);
        for (const JumpLine& jump : view->jumpLines)
            box(jump.style);
    }
    for (int i = 0; i < node.childCount(); ++i)
        out << '[' << geometry(*node.child(i)) << ']';
    return out.str();
}

QanorDoc song() {
    std::string melody;
    for (int i = 0; i < 30; ++i)
        melody += "1_ 2_ 3'' . 4,_ - #5__ 6__ 7_ | ";
    QanorDoc doc = test::scoreOf({melody, "1 2 3 4 | 5 - - - |"});
    test::addFormat(doc, 1, 0, 0, 1);
    test::addFormat(doc, 4, 0, 9, 29);
    return doc;
}

// A page layout made afresh from the records of a document.
std::string freshPages(const QanorDoc& doc) {
    const auto score = test::scoreFrom(doc);
    PageView fresh;
    fresh.build(score.get());
    RecordingGDI f;
    fresh.rebuild(f);
    return geometry(fresh);
}

TEST(Relayout, KeepingMeasurementsGivesTheSameCoordinatesAsAFreshLayout) {
    QanorDoc doc = song();
    PageView again;
    const auto score = test::scoreFrom(doc);
    again.build(score.get());
    RecordingGDI g;
    again.rebuild(g);
    again.rebuild(g);  // every measure unchanged: placed without measuring
    EXPECT_EQ(geometry(again), freshPages(doc));
}

TEST(Relayout, AnEditedMeasureIsMeasuredAgainAndTheRestKept) {
    QanorDoc doc = song();
    const auto score = test::scoreFrom(doc);
    ScoreLayout layout(*score, ScoreLayout::kPageMode);
    RecordingGDI g;
    layout.update(g);
    score->removeEntry(0, 3, 8);  // the last note of the fourth measure
    layout.update(g);

    doc.noteTracks()[0].content.items.erase(doc.noteTracks()[0].content.items.begin() + 3 * 10 + 8);
    EXPECT_EQ(geometry(*layout.pages()), freshPages(doc));
}

TEST(Relayout, ChangedFontsOrAnotherKindOfSurfaceMeasureEverythingAgain) {
    QanorDoc doc = song();
    const auto score = test::scoreFrom(doc);
    ScoreLayout layout(*score, ScoreLayout::kPageMode);
    RecordingGDI g;
    layout.update(g);
    doc.formatSettings().fonts[kNoteFont].logFont.height = -400;
    score->setFormat(doc.formatSettings());
    layout.update(g);
    EXPECT_EQ(geometry(*layout.pages()), freshPages(doc));
    PageView& view = *layout.pages();

    // A surface with no shared metrics never reuses measurements.
    struct Unknown : RecordingGDI {
        Unknown() { metricsId = 0; }
    } unknown;
    const std::size_t before = unknown.calls.size();
    view.rebuild(unknown);
    EXPECT_GT(unknown.calls.size(), before);  // it selected fonts to measure
}

TEST(Relayout, AfterEveryEditThePagesAreThoseOfAFreshLayout) {
    // Notes of 64th and shorter weigh nothing: a line of them has nothing to spread.
    std::string melody;
    for (int i = 0; i < 12; ++i)
        melody += "1 2_ 3__ 4' | 5______ 6______ | ";
    for (unsigned seed = 1; seed <= 6; ++seed) {
        test::Editor ed(test::scoreOf({melody, "1 2 3 4 | 5 - - - |"}));
        std::mt19937 rng(seed);
        const std::u32string keys = U"1234567\b\b\b\r|-.kl";
        for (int step = 0; step < 300; ++step) {
            const char32_t key =
                keys[std::uniform_int_distribution<std::size_t>(0, keys.size() - 1)(rng)];
            if (key == U'\\')
                ed.view.caretRight();
            else
                ed.view.onChar(key == U'b' ? 8 : key);
            if (step % 7 == 0)
                ed.view.caretLeft();
            if (step % 25 != 0 || ed.view.layout().pages()->childCount() == 0)
                continue;
            ASSERT_EQ(geometry(*ed.view.layout().pages()), freshPages(ed.committed()))
                << "seed " << seed << " step " << step;
        }
    }
}

TEST(Relayout, ScrollModeKeepsNaturalPlaces) {
    QanorDoc doc = song();
    LinearView view;
    const auto score = test::scoreFrom(doc);
    view.build(score.get());
    RecordingGDI g;
    view.relayout(g);
    view.relayout(g);
    LinearView fresh;
    fresh.build(score.get());
    RecordingGDI f;
    fresh.relayout(f);
    EXPECT_EQ(geometry(view), geometry(fresh));
}

}  // namespace
}  // namespace qe
