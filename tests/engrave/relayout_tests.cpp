#include <gtest/gtest.h>

#include <sstream>

#include "engrave/line_breaker.h"
#include "engrave/measure.h"
#include "engrave/note_element.h"
#include "engrave/page_view.h"
#include "engrave/recording_surface.h"
#include "engrave/score_layout.h"
#include "music/note_marks.h"
#include "support/fake_host.h"
#include "support/notation.h"

#include <random>

#include "edit/lyrics_text.h"

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
    if (const auto* m = dynamic_cast<const Measure*>(&node))
        out << "o" << m->ornaments().top() << ';';
    if (const auto* m = dynamic_cast<const Measure*>(&node))
        for (const MeasureLyrics::Box& b : m->lyrics().boxes())
            out << b.box.left << ',' << b.box.top << ',' << b.box.right << ',' << b.box.bottom
                << ';';
    if (const auto* e = dynamic_cast<const NoteElement*>(&node))
        out << e->dotsTop << ',' << e->dotsBottom << ';';
    const auto shapes = [&](const std::vector<TieArc>& arcs,
                            const std::vector<VoltaBracket>& jumps) {
        for (const TieArc& arc : arcs) {
            box(arc.style);
            for (const Rect& r : arc.strips)
                out << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << ';';
        }
        for (const VoltaBracket& jump : jumps) {
            box(jump.style);
            for (const Rect& r : jump.strips)
                out << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << ';';
        }
    };
    if (const auto* view = dynamic_cast<const PageView*>(&node)) {
        out << geometry(view->linear);
        shapes(view->arcs, view->voltas);
    } else if (const auto* strip = dynamic_cast<const LinearView*>(&node)) {
        shapes(strip->arcs, strip->voltas);
    }
    for (int i = 0; i < node.childCount(); ++i)
        out << '[' << geometry(*node.child(i)) << ']';
    return out.str();
}

QeDocument song() {
    std::string melody;
    for (int i = 0; i < 30; ++i)
        melody += "1_ 2_ 3'' . 4,_ - #5__ 6__ 7_ | ";
    QeDocument doc = test::scoreOf({melody, "1 2 3 4 | 5 - - - |"});
    test::addFormat(doc, 1, 0, 0, 1);
    test::addFormat(doc, 4, 0, 9, 29);
    return doc;
}

// Where two geometries part, for a failure to read: the text of each from a little before.
std::string whereTheyPart(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    const std::size_t from = i > 120 ? i - 120 : 0;
    return "at " + std::to_string(i) + "\n  live:  " + a.substr(from, 300) +
           "\n  fresh: " + b.substr(from, 300);
}

// A page layout made afresh from the records of a document.
std::string freshPages(const QeDocument& doc) {
    const auto score = test::scoreFrom(doc);
    PageView fresh;
    fresh.build(score.get());
    RecordingSurface f;
    fresh.rebuild(f);
    return geometry(fresh);
}

TEST(Relayout, KeepingMeasurementsGivesTheSameCoordinatesAsAFreshLayout) {
    QeDocument doc = song();
    PageView again;
    const auto score = test::scoreFrom(doc);
    again.build(score.get());
    RecordingSurface g;
    again.rebuild(g);
    again.rebuild(g);  // every measure unchanged: placed without measuring
    EXPECT_EQ(geometry(again), freshPages(doc));
}

TEST(Relayout, AnEditedMeasureIsMeasuredAgainAndTheRestKept) {
    QeDocument doc = song();
    const auto score = test::scoreFrom(doc);
    ScoreLayout layout(*score, ScoreLayout::kPageMode);
    RecordingSurface g;
    layout.update(g);
    score->removeEntry(0, 3, 8);  // the last note of the fourth measure
    layout.update(g);

    doc.noteTracks()[0].content.items.erase(doc.noteTracks()[0].content.items.begin() + 3 * 10 + 8);
    EXPECT_EQ(geometry(*layout.pages()), freshPages(doc));
}

TEST(Relayout, ChangedFontsOrAnotherKindOfSurfaceMeasureEverythingAgain) {
    QeDocument doc = song();
    const auto score = test::scoreFrom(doc);
    ScoreLayout layout(*score, ScoreLayout::kPageMode);
    RecordingSurface g;
    layout.update(g);
    doc.formatSettings().fonts[kNoteFont].logFont.height = -400;
    score->setFormat(doc.formatSettings());
    layout.update(g);
    EXPECT_EQ(geometry(*layout.pages()), freshPages(doc));
    PageView& view = *layout.pages();

    // A surface with no shared metrics never reuses measurements.
    struct Unknown : RecordingSurface {
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
            const std::string live = geometry(*ed.view.layout().pages());
            const std::string fresh = freshPages(ed.committed());
            ASSERT_TRUE(live == fresh)
                << "seed " << seed << " step " << step << " " << whereTheyPart(live, fresh);
        }
    }
}

TEST(Relayout, ScrollModeKeepsNaturalPlaces) {
    QeDocument doc = song();
    LinearView view;
    const auto score = test::scoreFrom(doc);
    view.build(score.get());
    RecordingSurface g;
    view.relayout(g);
    view.relayout(g);
    LinearView fresh;
    fresh.build(score.get());
    RecordingSurface f;
    fresh.relayout(f);
    EXPECT_EQ(geometry(view), geometry(fresh));
}

// A layout made afresh from a document's records in either mode.
std::string freshLayout(const QeDocument& doc, int mode) {
    const auto score = test::scoreFrom(doc);
    ScoreLayout layout(*score, mode);
    RecordingSurface g;
    try {
        layout.update(g);
    } catch (const Exception& e) {
        if (e.code != kLayoutOverflow)
            throw;
    }
    return geometry(layout.root());
}

// Long random sessions on a score of several pages, two tracks with lyrics, ties and brackets:
// after every step the layout the editor keeps up to date is, number for number, the one a
// fresh layout of the saved score gives, in both modes.
TEST(Relayout, EveryStepOfARandomSessionLaysOutAsAFreshLayout) {
    std::string upper;
    std::string lower;
    for (int i = 0; i < 40; ++i) {
        upper += i % 9 == 4 ? "{ 1 #2_ 3__ 4'~ | } 4' 5______ 6______ - | "
                            : "1 #2_ 3__ 4' | 5 6 - . | ";
        lower += "5, 6, 7, 1 | 2 - 3_ 4_ 5 | ";
    }
    QeDocument doc = test::scoreWithShapes({upper + "|]", lower + "|]"});
    long checks = 0;
    long changed = 0;  // steps after which the layout differs from the step before
    for (int mode : {ScoreLayout::kPageMode, ScoreLayout::kScrollMode}) {
        for (unsigned seed = 1; seed <= 3; ++seed) {
            test::Editor ed(doc, mode);
            ed.view.layLyrics(0, 0, 0, splitSyllables(u"la li lo lu le la li lo lu le la li lo"));
            std::mt19937 rng(seed);
            const auto pick = [&](int lo, int hi) {
                return std::uniform_int_distribution<int>(lo, hi)(rng);
            };
            const std::u32string keys = U"1234567\b\b\b\r|-.klsu/";
            std::string previous;
            for (int step = 0; step < 150; ++step) {
                const int what = pick(0, 99);
                const music::Score& score = ed.score();
                const int t = pick(0, score.trackCount() - 1);
                const int m = pick(0, score.measureCount(t) - 1);
                const Position somewhere = ed.at(m, pick(0, stopCount(score.measure(t, m))), t);
                if (what < 8) {
                    ed.view.setCaret(somewhere);
                } else if (what < 14) {
                    ed.view.caret.selectionAnchor = ed.view.caret.at;
                    ed.view.caret.selectionEnd = somewhere;
                    ed.view.caret.selectionShown = true;
                    if (pick(0, 1))
                        ed.view.notes().addTie();
                    else
                        ed.view.notes().addVolta(u"2.");
                } else if (what < 18) {
                    ed.view.layLyrics(t, pick(0, 1), m, splitSyllables(u"do re mi fa"));
                } else if (what < 22) {
                    ed.view.caret.selectionAnchor = ed.view.caret.at;
                    ed.view.caret.selectionEnd = somewhere;
                    const Fragment cut = test::cutOut(ed.view);
                    ed.view.paste(cut);
                    if (pick(0, 1))
                        ed.view.paste(cut);
                } else if (what < 27) {
                    // What notes carry beyond their digits changes the room above a line.
                    ed.view.setCaret(somewhere);
                    switch (pick(0, 4)) {
                        case 0:
                            ed.view.notes().addChordTone(pick(1, 7), pick(0, 1) == 1);
                            break;
                        case 1:
                            ed.view.notes().setChordSymbol(pick(0, 3) ? u"Am7" : u"");
                            break;
                        case 2:
                            ed.view.notes().toggleArticulation(articulation::kFermata);
                            break;
                        case 3:
                            ed.view.notes().addGraceNote(pick(1, 7), pick(0, 1) == 1);
                            break;
                        default:
                            ed.view.caret.selectionAnchor = ed.view.caret.at;
                            ed.view.caret.selectionEnd =
                                ed.at(m, stopCount(score.measure(t, m)), t);
                            ed.view.caret.selectionShown = true;
                            ed.view.notes().toggleTuplet(3, 2);
                            break;
                    }
                } else if (what < 30) {
                    for (int i = pick(1, 4); i > 0; --i)
                        ed.view.undo();
                } else if (what < 34) {
                    for (int i = pick(1, 4); i > 0; --i)
                        ed.view.redo();
                } else {
                    ed.view.onChar(
                        keys[static_cast<std::size_t>(pick(0, static_cast<int>(keys.size()) - 1))]);
                }
                const std::string live = geometry(ed.view.layout().root());
                const std::string fresh = freshLayout(ed.committed(), mode);
                changed += fresh != previous ? 1 : 0;
                previous = fresh;
                ASSERT_TRUE(live == fresh) << "mode " << mode << " seed " << seed << " step "
                                           << step << " " << whereTheyPart(live, fresh);
                ++checks;
            }
        }
    }
    EXPECT_EQ(checks, 2 * 3 * 150);
    EXPECT_GT(changed, checks * 6 / 10);
}

}  // namespace
}  // namespace qe

namespace qe {
namespace {

// The share of its content height the lines of a page take, from its top margin down.
double usedShare(const PageView& view, const Node& page) {
    const Style& last = page.child(page.childCount() - 1)->style;
    const int content = view.pageHeight - view.marginTop - view.marginBottom;
    return static_cast<double>(-view.marginTop - (last.y + last.height)) / content;
}

// Whether the page before the last could take the first line of the last page with the room
// between its lines halved: the least they may come to.
bool pageBeforeTakes(const PageView& view) {
    const Node& before = *view.page(view.childCount() - 2);
    const Style& low = before.child(before.childCount() - 1)->style;
    int free = low.y + low.height - low.marginBottom - (view.marginBottom - view.pageHeight);
    for (int k = 0; k < before.childCount(); ++k)
        free += (before.child(k)->style.marginTop + before.child(k)->style.marginBottom) / 2;
    const Style& first = view.page(view.childCount() - 1)->child(0)->style;
    return free >= -first.height - first.marginTop - first.marginBottom;
}

// Scores of 1 to 40 systems, of one or two tracks, measures of every width, some with words:
// no last page is left holding little while the page before could take its lines, and typing
// at either end keeps the pages those of a fresh layout, whether the last pages were broken
// into fewer lines or not.
TEST(LastPage, ScoresOfOneToFortySystemsEndOnPagesTheyFill) {
    const std::vector<std::string> kinds = {"1 2 3 4 | ", "5 - - - | ",
                                            "1_ 2_ 3_ 4_ 5_ 6_ 7_ 1'_ | ", "6 5_ 3_ 2 1 | ",
                                            "1__ 2__ 3__ 4__ 5__ 6__ 7__ 1'__ 2 - | "};
    std::mt19937 rng(11);
    const auto pick = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    int tooEmpty = 0;
    int rebroken = 0;
    int scores = 0;
    for (; scores < 24; ++scores) {
        std::vector<std::string> tracks(static_cast<std::size_t>(pick(1, 2)));
        const int measures = pick(2, 140);
        for (int m = 0; m < measures; ++m)
            for (std::string& track : tracks)
                track +=
                    kinds[static_cast<std::size_t>(pick(0, static_cast<int>(kinds.size()) - 1))];
        test::Editor ed(tracks.size() == 1 ? test::scoreOf({tracks[0]})
                                           : test::scoreOf({tracks[0], tracks[1]}));
        if (pick(0, 2) == 0)
            ed.view.layLyrics(0, 0, 0, splitSyllables(u"la li lo lu le la li lo lu le la li"));
        for (int step = 0; step < 8; ++step) {
            const PageView& view = *ed.view.layout().pages();
            const int pages = view.childCount();
            const Node& last = *view.page(pages - 1);
            if (pages > 1 && (last.childCount() <= 2 || usedShare(view, last) < 1.0 / 3)) {
                ++tooEmpty;
                EXPECT_FALSE(pageBeforeTakes(view)) << "score " << scores << " step " << step;
            }
            LineBreaker natural;
            rebroken += natural.breakAll(columnGrids(view.linear),
                                         view.pageWidth - view.marginLeft - view.marginRight) !=
                        view.linear.lineStarts;
            const std::string live = geometry(view);
            const std::string fresh = freshPages(ed.committed());
            ASSERT_TRUE(live == fresh)
                << "score " << scores << " step " << step << " " << whereTheyPart(live, fresh);
            // Typed at the end or at the start.
            const music::Score& score = ed.score();
            const int m = step % 2 ? score.measureCount(0) - 1 : 0;
            ed.view.setCaret(ed.at(m, step % 2 ? stopCount(score.measure(0, m)) : 0));
            ed.view.onChar(U"1|5\b-\r2."[static_cast<std::size_t>(pick(0, 8))]);
        }
    }
    // Some last pages were taken up by breaking the lines before into fewer.
    EXPECT_GT(rebroken, 4);
    std::cout << tooEmpty << " of " << scores * 8 << " layouts end on a page holding little, "
              << rebroken << " on lines broken anew\n";
}

}  // namespace
}  // namespace qe
