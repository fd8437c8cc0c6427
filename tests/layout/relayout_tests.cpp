#include <gtest/gtest.h>

#include <sstream>

#include "draw/note_element.h"
#include "draw/recording_gdi.h"
#include "layout/measure.h"
#include "layout/page_view.h"
#include "support/notation.h"

namespace qe {
namespace {

// Every coordinate of a laid-out page view: nodes, dots, underlines, shapes.
std::string geometry(const Node& node) {
    std::ostringstream out;
    const auto box = [&](const Style& s) { out << s.x << ',' << s.y << ',' << s.width << ',' << s.height << ';'; };
    box(node.style);
    if (const auto* m = dynamic_cast<const Measure*>(&node)) {
        for (const Symbol& dot : m->symbols()) box(dot.style);
        for (const Underline& line : m->underlines()) box(line.style);
    }
    if (const auto* e = dynamic_cast<const NoteElement*>(&node)) out << e->dotsTop << ',' << e->dotsBottom << ';';
    if (const auto* view = dynamic_cast<const PageView*>(&node)) {
        out << geometry(view->linear);
        for (const SusArc& arc : view->arcs) box(arc.style);
        for (const JumpLine& jump : view->jumpLines) box(jump.style);
    }
    for (int i = 0; i < node.childCount(); ++i) out << '[' << geometry(*node.child(i)) << ']';
    return out.str();
}

QanorDoc song() {
    std::string melody;
    for (int i = 0; i < 30; ++i) melody += "1_ 2_ 3'' . 4,_ - #5__ 6__ 7_ | ";
    QanorDoc doc = test::scoreOf({melody, "1 2 3 4 | 5 - - - |"});
    test::addFormat(doc, 1, 0, 0, 1);
    test::addFormat(doc, 4, 0, 9, 29);
    return doc;
}

TEST(Relayout, KeepingMeasurementsGivesTheSameCoordinatesAsAFreshLayout) {
    QanorDoc doc = song();
    PageView again;
    again.build(&doc);
    RecordingGDI g;
    again.rebuild(g);
    again.rebuild(g);  // every measure unchanged: placed without measuring
    PageView fresh;
    fresh.build(&doc);
    RecordingGDI f;
    fresh.rebuild(f);
    EXPECT_EQ(geometry(again), geometry(fresh));
}

TEST(Relayout, AnEditedMeasureIsMeasuredAgainAndTheRestKept) {
    QanorDoc doc = song();
    PageView view;
    view.build(&doc);
    RecordingGDI g;
    view.rebuild(g);
    Node* measure = view.linear.child(0)->child(3);
    measure->removeChild(measure->childCount() - 1);  // the removed node is deleted here
    static_cast<Measure*>(measure)->dropDecorations();
    view.rebuild(g);

    doc.noteTracks()[0].content.items.erase(doc.noteTracks()[0].content.items.begin() + 3 * 10 + 8);
    PageView fresh;
    fresh.build(&doc);
    RecordingGDI f;
    fresh.rebuild(f);
    EXPECT_EQ(geometry(view), geometry(fresh));
}

TEST(Relayout, ChangedFontsOrAnotherKindOfSurfaceMeasureEverythingAgain) {
    QanorDoc doc = song();
    PageView view;
    view.build(&doc);
    RecordingGDI g;
    view.rebuild(g);
    doc.formatSettings().fonts[kNoteFont].logFont.height = -400;
    view.rebuild(g);
    PageView fresh;
    fresh.build(&doc);
    RecordingGDI f;
    fresh.rebuild(f);
    EXPECT_EQ(geometry(view), geometry(fresh));

    // A surface with no shared metrics never reuses measurements.
    struct Unknown : RecordingGDI {
        Unknown() { metricsId = 0; }
    } unknown;
    const std::size_t before = unknown.calls.size();
    view.rebuild(unknown);
    EXPECT_GT(unknown.calls.size(), before);  // it selected fonts to measure
}

}  // namespace
}  // namespace qe
