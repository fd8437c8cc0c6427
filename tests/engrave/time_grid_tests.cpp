#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <sstream>

#include "engrave/measure.h"
#include "engrave/note_element.h"
#include "engrave/page_view.h"
#include "engrave/recording_surface.h"
#include "engrave/system.h"
#include "engrave/time_grid.h"
#include "support/lyrics_doc.h"
#include "support/notation.h"
#include "support/random_music.h"

namespace qe {
namespace {

// A random score of one to three tracks of the same length; with `words`, syllables of one or
// two verses (some long) on random notes, chord tones and chord symbols, laid out into pages.
struct RandomSong {
    RandomSong(unsigned seed, bool words) : rng(seed) {
        const int tracks = 1 + static_cast<int>(rng() % 3);
        const int measures = 4 + static_cast<int>(rng() % 30);
        std::vector<std::string> texts;
        for (int t = 0; t < tracks; ++t)
            texts.push_back(test::randomTrack(rng, measures, words));
        doc = test::scoreOfTracks(texts);
        if (words) {
            static const char16_t* const kWords[] = {u"la", u"Hal-", u"le-", u"lu-", u"jah",
                                                     u"everlasting", u"o", u"星"};
            for (int t = 0; t < tracks; ++t) {
                std::istringstream tokens(texts[static_cast<std::size_t>(t)]);
                std::string token;
                for (int record = 0; tokens >> token; ++record) {
                    const bool digit = token.find_first_of("1234567") != std::string::npos;
                    if (!digit)
                        continue;
                    for (int verse = 0; verse < 2; ++verse)
                        if (rng() % 3 == 0)
                            test::addSyllable(doc, verse, t, record, kWords[rng() % 8]);
                    if (rng() % 7 == 0)
                        test::changeExtra(doc, t, record, [&](NoteExtra& extra) {
                            extra.tones.push_back(NoteTone{static_cast<std::uint8_t>(1 + rng() % 7), 1, 0});
                        });
                    if (rng() % 9 == 0)
                        test::changeExtra(doc, t, record,
                                          [&](NoteExtra& extra) { extra.chordSymbol = u"F#m7b5"; });
                }
            }
        }
        score = test::scoreFrom(doc);
        view.build(score.get());
        view.rebuild(g);
    }

    // Each display line of every page.
    template <typename F>
    void forEachLine(F&& f) const {
        for (int p = 0; p < view.childCount(); ++p)
            for (int k = 0; k < view.page(p)->childCount(); ++k)
                f(*static_cast<const System*>(view.page(p)->child(k)));
    }

    std::mt19937 rng;
    QeDocument doc;
    std::unique_ptr<music::Score> score;
    PageView view;
    RecordingSurface g;
};

// The centre of each slot's timed element, by its start in the measure.
std::map<music::Ticks, int> centresOf(const Measure& m) {
    std::map<music::Ticks, int> centres;
    for (const Measure::Slot& slot : m.timeSlots()) {
        const Style& s = m.child(slot.anchor)->style;
        centres[slot.start] = s.x + s.width / 2;
    }
    return centres;
}

TEST(TimeGrid, PartsShareBarLinesAndMomentsAndNoGlyphsOfATrackOverlap) {
    int shared = 0;  // moments that two tracks had in common
    for (unsigned seed = 1; seed <= 40; ++seed) {
        RandomSong song(seed, true);
        song.forEachLine([&](const System& line) {
            const Node* top = line.child(0);
            for (int t = 1; t < line.childCount(); ++t) {
                const Node* row = line.child(t);
                ASSERT_EQ(row->style.x, top->style.x);
                for (int i = 0; i < row->childCount() && i < top->childCount(); ++i) {
                    // The same bar lines: every measure of a column as wide and at one x.
                    EXPECT_EQ(row->child(i)->style.x, top->child(i)->style.x) << seed;
                    EXPECT_EQ(row->child(i)->style.width, top->child(i)->style.width) << seed;
                    // A moment that both tracks have stands at one x in both.
                    const auto upper = centresOf(*asMeasure(top->realChild(i)));
                    for (const auto& [start, x] : centresOf(*asMeasure(row->realChild(i)))) {
                        const auto same = upper.find(start);
                        if (same == upper.end())
                            continue;
                        EXPECT_EQ(x, same->second) << "seed " << seed << " at " << start;
                        ++shared;
                    }
                }
            }
            for (int t = 0; t < line.childCount(); ++t) {
                for (int i = 0; i < line.child(t)->childCount(); ++i) {
                    const Measure* m = asMeasure(line.child(t)->realChild(i));
                    // Glyphs in order, none over the next, none past the bar line.
                    for (int e = 1; e < m->childCount(); ++e) {
                        const Style& a = m->child(e - 1)->style;
                        const Style& b = m->child(e)->style;
                        EXPECT_LE(a.x + a.width + a.marginRight, b.x - b.marginLeft) << seed;
                    }
                    if (m->childCount() > 0) {
                        const Style& last = m->lastChild()->style;
                        EXPECT_LE(last.x + last.width, m->style.width - m->barWidth) << seed;
                    }
                    // Syllables of a row apart by the gap.
                    std::map<int, int> rightOf;
                    for (const MeasureLyrics::Box& box : m->lyrics().boxes()) {
                        const auto before = rightOf.find(box.row);
                        if (before != rightOf.end()) {
                            EXPECT_GE(box.box.left - before->second, MeasureLyrics::kGap) << seed;
                        }
                        rightOf[box.row] = box.box.right;
                    }
                }
            }
        });
    }
    EXPECT_GT(shared, 500);
}

TEST(TimeGrid, EqualDurationsGetEqualRoomAcrossALine) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        RandomSong song(seed, false);
        song.forEachLine([&](const System& line) {
            // From each moment to the next in a column, by the time between them.
            std::map<music::Ticks, std::pair<int, int>> room;  // least and most
            for (int i = 0; i < line.child(0)->childCount(); ++i) {
                std::map<music::Ticks, int> moments;
                for (int t = 0; t < line.childCount(); ++t)
                    if (i < line.child(t)->childCount())
                        for (const auto& [start, x] :
                             centresOf(*asMeasure(line.child(t)->realChild(i))))
                            moments[start] = x;
                for (auto a = moments.begin(), b = std::next(a);
                     a != moments.end() && b != moments.end(); ++a, ++b) {
                    const music::Ticks time = b->first - a->first;
                    // Sixteenths may stand as close as their digits allow.
                    if (time < music::kTicksPerQuarter / 2)
                        continue;
                    auto [at, fresh] = room.try_emplace(time, b->second - a->second,
                                                        b->second - a->second);
                    at->second.first = std::min(at->second.first, b->second - a->second);
                    at->second.second = std::max(at->second.second, b->second - a->second);
                }
            }
            for (const auto& [time, range] : room)
                EXPECT_LE(range.second, range.first * 1.01 + 1) << "seed " << seed << " time "
                                                                 << time;
        });
    }
}

// The centres of the digits of the first measure of a one-track score with a syllable on its
// second note.
std::vector<int> spacedWith(const std::u16string& syllable) {
    QeDocument doc = test::scoreOf({"4 5 6 7 | 1_ 1_ 1 2 - |"});
    if (!syllable.empty())
        test::addSyllable(doc, 0, 0, 1, syllable);
    const auto score = test::scoreFrom(doc);
    PageView view;
    view.build(score.get());
    RecordingSurface g;
    view.rebuild(g);
    std::vector<int> centres;
    for (int m = 0; m < 2; ++m) {
        const Measure* measure = view.linear.measureNode(0, m);
        for (int e = 0; e < measure->childCount(); ++e)
            centres.push_back(measure->child(e)->style.x + measure->child(e)->style.width / 2);
    }
    return centres;
}

TEST(TimeGrid, LongerNotesGetMoreRoomAndLyricsOnlyTheRoomTheyNeed) {
    const std::vector<int> plain = spacedWith(u"");
    const int quarter = plain[1] - plain[0];
    EXPECT_EQ(plain[2] - plain[1], quarter);
    EXPECT_EQ(plain[3] - plain[2], quarter);
    // In the second measure: two eighths, a quarter, a note held by a dash.
    const int eighth = plain[5] - plain[4];
    EXPECT_GT(quarter, eighth * 11 / 10);
    EXPECT_EQ(plain[6] - plain[5], eighth);
    EXPECT_EQ(plain[7] - plain[6], quarter);
    EXPECT_EQ(plain[8] - plain[7], quarter);
    // A short syllable fits the room the notes have: nothing moves.
    EXPECT_EQ(spacedWith(u"la"), plain);
    // A syllable wider than that room makes room for itself before its note, and the notes
    // after it keep the room of a quarter.
    const std::vector<int> wide = spacedWith(u"everlastingly");
    EXPECT_GT(wide[1] - wide[0], quarter);
    EXPECT_EQ(wide[2] - wide[1], quarter);
    EXPECT_EQ(wide[3] - wide[2], quarter);
}

// A score of one track laid out into pages, and the first display line's row of it.
struct LaidOut {
    explicit LaidOut(const QeDocument& doc) : score(test::scoreFrom(doc)) {
        view.build(score.get());
        view.rebuild(g);
    }
    const Node& row() const { return *view.page(0)->child(0)->child(0); }
    const Measure& measure(int i) const { return *asMeasure(row().realChild(i)); }
    // The centre of element `e` of measure `m`, and the left and right of its ink, in the row.
    int x(int m) const { return row().child(m)->style.x; }
    int centre(int m, int e) const {
        const Style& s = measure(m).child(e)->style;
        return x(m) + s.x + s.width / 2;
    }
    int left(int m, int e) const { return x(m) + measure(m).child(e)->style.x; }
    int right(int m, int e) const {
        const Style& s = measure(m).child(e)->style;
        return x(m) + s.x + s.width;
    }

    std::unique_ptr<music::Score> score;
    PageView view;
    RecordingSurface g;
};

TEST(TimeGrid, ATupletLeavesAfterItTheRoomOfOneNoteAsLongAsTheWholeGroup) {
    // A triplet of eighths in the time of a quarter, then quarters; in the next measure two
    // plain eighths, then quarters.
    QeDocument doc = test::scoreOf({"5_ 6_ 5_ 3 2 1 | 5_ 6_ 5 3 2 |]"});
    test::addTuplet(doc, 0, 0, 2, 3, 2);
    const LaidOut laid(doc);
    const int inside = laid.centre(0, 1) - laid.centre(0, 0);
    EXPECT_NEAR(laid.centre(0, 2) - laid.centre(0, 1), inside, 1);  // evenly within the group
    const int afterTriplet = laid.centre(0, 3) - laid.centre(0, 2);
    const int afterQuarter = laid.centre(0, 4) - laid.centre(0, 3);
    const int afterEighth = laid.centre(1, 1) - laid.centre(1, 0);
    EXPECT_NEAR(afterTriplet, afterQuarter, 1);
    EXPECT_GT(afterTriplet, afterEighth);
    EXPECT_GT(afterTriplet, inside * 5 / 4);
}

TEST(TimeGrid, ATupletEndingTheMeasureKeepsItsRoomBeforeTheBarLine) {
    QeDocument doc = test::scoreOf({"1 2 3 5_ 6_ 5_ | 1 2 3 5_ 6_ 5 |]"});
    test::addTuplet(doc, 0, 3, 5, 3, 2);
    const LaidOut laid(doc);
    const auto beforeBar = [&](int m) {
        return laid.x(m) + laid.measure(m).barLineBox()->left - laid.right(m, 5);
    };
    EXPECT_GE(beforeBar(0), beforeBar(1));
}

}  // namespace
}  // namespace qe
