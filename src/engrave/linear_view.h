#pragma once

#include <memory>
#include <vector>

#include "engrave/key_text.h"
#include "engrave/measure_lyrics.h"
#include "engrave/measure_mark_text.h"
#include "engrave/system.h"
#include "engrave/tie_arc.h"
#include "engrave/volta_bracket.h"
#include "records/doc_chunks.h"

namespace qe {

class Measure;
class NoteElement;

namespace music {
class Score;
struct EntryRef;
}  // namespace music

// The scroll-mode root: every note track of a score as one unbroken track line, stacked in
// track order, with the score's tie arcs and volta brackets held beside the tree. Page mode
// cuts its pages from the one its page view holds. Everything here is made from the score:
// a track line has one measure node per measure of its track, in order.
class LinearView : public System {
public:
    static constexpr int kPadding = 320;

    LinearView();
    LinearView(const LinearView&) = delete;
    LinearView& operator=(const LinearView&) = delete;

    // Fills an empty view from `score`: track lines, then arcs and jump lines.
    void build(const music::Score* score);
    void buildTrackLines();
    // Makes the arcs and jump lines of the score's ties and voltas.
    void buildShapes();
    void relayout(Surface& g);

    // The node that shows measure `m` of track `t`, and the element that stands for an item
    // (a note's digit, a mark); null for places the view does not have.
    Measure* measureNode(int t, int m) const;
    NoteElement* itemNode(int t, const music::EntryRef& at) const;

    // Empties the tree and the shape lists; keeps the score, format and line starts.
    void clearChildren() override;
    void arrange(Surface& g) override;
    // The frame of the strip, then the arcs and jump lines, under the notes.
    void draw(Surface& g) const override;

    // Takes the score's format settings again, for a layout after they may have changed,
    // with the beat of the time signature and the rows of lyrics of every track line.
    void refreshSettings();
    // The rows of lyrics of track `t`: one per verse that has a syllable in it, in verse order;
    // null when it has none.
    std::shared_ptr<const MeasureLyrics::Rows> lyricRowsOf(int t) const;

    // The strip of scroll mode spaces its columns as page mode spaces a line at its natural
    // unit; the edit tree of page mode leaves the spacing to its display lines.
    bool stripSpacing = false;
    // Whether the view makes and lays out arcs and jump lines of its own; page mode makes
    // its own on its pages.
    bool withShapes = true;
    // Whether the strip opens with the key and time signature (scroll mode's strip).
    bool withHead = false;

    // The share of their stored size the fonts of the music are set at: below 1 when the
    // pages are fitted to a number of them and closer systems were not enough.
    double scale = 1.0;

    const music::Score* score = nullptr;
    // The score's format settings as layout uses them (sizes kept in range); every node of
    // the tree points at these.
    format_track_header settings;
    std::vector<int> lineStarts;
    std::vector<TieArc> arcs;
    std::vector<VoltaBracket> voltas;
    std::vector<MarkText> marks;
    // The strip's head: the key and time signature before the first measure, as a page's
    // first line has them in its title block (none in page mode's edit tree).
    std::vector<KeyText> keyTexts;

    // The texts of the score's measure marks over the first track's measures (page-mode
    // copies when `onPage`), not laid out.
    std::vector<MarkText> makeMarks(bool onPage) const;

private:
    // Lays out the strip's head and returns the room it takes before the tracks.
    int layOutHead(Surface& g);
    // Stands the head level with the first track's digits, once the tracks are placed.
    void placeHead();
};

}  // namespace qe
