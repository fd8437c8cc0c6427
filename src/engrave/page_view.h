#pragma once

#include <cstdint>
#include <vector>

#include "engrave/line_breaker.h"
#include "engrave/linear_view.h"
#include "engrave/page.h"
#include "engrave/time_grid.h"

namespace qe {

namespace music {
class Score;
}

class PageFiller;

// The lines of `text` in the surface's font, none wider than `width`: broken at spaces where
// it can, between any two characters where a word alone is too wide.
std::vector<std::u16string> wrapText(Surface& g, const std::u16string& text, int width);

// What the title block prints for a tempo mark: "♩=96 中速", "♩.=60", "Andante"; empty for none.
std::u16string tempoMarkText(const TempoMark& mark);
// The same in the two parts it is drawn in: the note of the beat, a character of the music
// symbol font drawn as tall as the text (empty for a mark of words alone), and the rest in the
// text font (".=60 中速").
struct TempoMarkParts {
    std::u16string note;
    std::u16string rest;
};
TempoMarkParts tempoMarkParts(const TempoMark& mark);
// The music symbol font at the size of a text font, for the note of a tempo mark.
FontRecord tempoNoteFont(const FontRecord& noteFont, const FontRecord& textFont);

// The page-mode root: sheets laid one below the other. It holds the track lines of page mode,
// `linear`, whose measures it measures, breaks the columns of their time grids into display
// lines of shadows justified to the content width, and stacks them on pages under the title
// block.
class PageView : public Node {
public:
    static constexpr int kPadding = 100;
    // No part name stands closer to the paper's edge than this.
    static constexpr int kPaperEdge = 120;

    PageView();
    PageView(const PageView&) = delete;
    PageView& operator=(const PageView&) = delete;

    void build(const music::Score* score);
    // Lays the score out into pages. A measure wider than a line is squeezed into a line of
    // its own (`overwide` names it). Throws kLayoutOverflow for a line taller than a page
    // (the pages finished so far stay).
    void rebuild(Surface& g);
    // Whether the pages hold the score in the number of pages its title block asks for (or
    // it asks for none); when they cannot, even with the least room between systems and the
    // music at kLeastScale of its size, the score is laid out as it would be without.
    bool fitsPageCount() const { return !fitFailed_; }
    // The least share of its size the music is set at to fit a number of pages.
    static constexpr double kLeastScale = 0.6;
    // Lays out again what changed since the last layout: the measures of columns
    // [first, end) changed (a column is the measures of one index in every track), and
    // `shift` columns came or went among them, so that column c >= end was column c - shift
    // before. `end` -1 means that every column from `first` on may have changed. The
    // breaking is chosen again as far as it changes; only the lines whose breaks or columns
    // changed are made again, and only the pages whose lines changed are filled again, until
    // a page starts where an old one started. The measures of changed columns must have been
    // laid out. Fails as `rebuild` does.
    void update(Surface& g, int first, int end, int shift);
    // Makes the arcs and jump lines of the score's ties and voltas again and lays them out.
    void rebuildShapes(Surface& g);
    // Lays out again the arcs and jump lines of track `track` (or every track, -1) that
    // reach into the columns [first, end) (`end` -1: to the end), and makes again those whose
    // notes were replaced.
    void relayoutShapes(Surface& g, int first, int end);
    // Makes the texts of the measure marks again and lays them out.
    void relayoutMarks(Surface& g);

    // Deletes the pages and shapes, then empties `linear`.
    void clearChildren() override;
    void arrange(Surface& g) override;
    void draw(Surface&) const override {}
    void paint(Surface& g) const override;
    // Draws one page with its top-left corner at the surface origin, with the arcs and jump
    // lines that fall on it. Throws kOutOfRange for a page that does not exist.
    void paintPage(int index, Surface& g) const;

    Page* page(int index) const { return static_cast<Page*>(child(index)); }

    // What the last rebuild or update changed, in this view's frame: the pages filled again
    // (every page from the first one changed when pages came or went) and the shapes laid
    // out again, where they were and where they are.
    std::vector<Rect> changed;

    const music::Score* score = nullptr;
    LinearView linear;
    int pageWidth = 0;
    int pageHeight = 0;
    int marginLeft = 0;
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
    std::vector<TieArc> arcs;
    std::vector<VoltaBracket> voltas;
    std::vector<MarkText> marks;
    // The columns (measure indexes) that were wider than a line and were squeezed into one.
    std::vector<int> overwide;

private:
    // Places the title block on the first page from `y` down; returns where it ends.
    int placeTitleBlock(Page& page, int y, Surface& g);
    // Places a text of the title block centred, on as many lines as it needs, from `top`
    // down; returns where it ends.
    int placeCentred(Page& page, const std::u16string& s, FontCategory category, int top,
                     const char* role, Surface& g);
    // Places the authors that are present at the right margin from `top` down; returns where
    // they end, and gives the height of the third author (present or not).
    int placeAuthors(Page& page, int top, int& author3Height, Surface& g);
    // Places the metronome mark and tempo text, then the first comment, beside the key and
    // time signature, the comment clear of the authors level with it (broken into lines when
    // it is longer); returns the lowest point reached.
    int placeBesideKey(Page& page, const KeyText& key, Surface& g);
    void takePageSettings();
    // Builds display line `k` of `lines` from the line starts, justified; the last line of
    // the score keeps the spacing of the line above (`unitAbove`).
    std::unique_ptr<System> makeLine(int k, int lines, Surface& g, double unitAbove);
    // Makes the grids of the columns [first, end) again (end -1: every column from `first`
    // on) and moves the others by `shift`, to `columns` in all; false when the change does
    // not add up with the columns there were.
    bool replaceColumns(int first, int end, int shift, int columns);
    // Puts the pages filled again in the place of the old pages [first, kept), now empty,
    // numbers the pages after them and places all; whether pages came or went.
    bool replacePages(int first, int kept, std::vector<std::unique_ptr<Page>>& filled);
    // The overwide columns again, from the squeeze of every line.
    void collectOverwide();
    // The room above and below a display line at `spacing`: a system of several tracks keeps
    // the room that tells it from the next system.
    static int lineMargin(bool system, double spacing);
    // Gives a line the room above and below it at the view's spacing.
    void spaceLines(Node& line) const;
    // Puts the lines on pages, the first under the title block. Throws kLayoutOverflow for a
    // line taller than a page (the pages finished so far stay).
    void fill(std::vector<std::unique_ptr<Node>> lines, Surface& g);
    // A display line as the pages hold it: its height, and whether it is a system of several
    // tracks (which keeps more room around it).
    struct LineRoom {
        int height = 0;
        bool system = false;
    };
    static LineRoom roomOf(const Node& line);
    // The lines of the breaking chosen over the columns, in order, as they would stand on the
    // pages without the last pages broken anew.
    std::vector<LineRoom> naturalRooms() const;
    // How many pages `rooms` fill at `spacing`, from a fresh page or under the title block
    // (`underTitle`), how many lines the last would hold and the share of its height they
    // take.
    int pagesFor(const std::vector<LineRoom>& rooms, double spacing, bool underTitle,
                 int* lastLines, double* lastShare) const;
    // Whether a last page of `lines` lines taking `share` of its height is one the pages
    // before should take up.
    static bool tooEmpty(int lines, double share);
    // The spacing that keeps the last page from being too empty when the pages before can
    // take its systems with less room between them; 1 when they cannot.
    double wantedSpacing();
    // Fills the pages again at the wanted spacing; whether anything moved.
    bool balance(Surface& g);
    // Fills every page again at `spacing`, the natural lines shown.
    void respace(double spacing, Surface& g);
    // Lays the score out into pages at the linear view's scale (see rebuild).
    void layOut(Surface& g);
    // Brings the pages down to the number the score asks for: closer systems, then smaller
    // music, in steps down to kLeastScale.
    void fitToPageCount(Surface& g);
    // Stands the systems closer, as little as it takes, when that brings the pages down to
    // `pages`; whether it does.
    bool spaceToFit(int pages, Surface& g);
    // When the last page is too empty and closer spacing cannot help, breaks the lines of the
    // last pages again into fewer (within the squeeze limit) if that saves a page; the first
    // column whose pages were filled again, or -1.
    int rebreakLastPages(Surface& g);
    // Makes the display lines [from, to) of the `lines` line starts, the first after a line
    // of `unit`.
    std::vector<std::unique_ptr<System>> makeLines(int from, int to, int lines, double unit,
                                                   Surface& g);
    // After an update kept the old pages from the one opening with old line `keptAt` (-1:
    // none), `moreLines` lines more than before: what the last-page rule found on the last
    // pages holds when they were among them, the lines broken anew shown again in place of
    // their natural ones (`oldShown` the line starts shown before, moved by `shift`).
    void keepLastPages(int keptAt, int moreLines, const std::vector<int>& oldShown, int shift);
    // After an update filled pages again: the last pages settled (closer systems or fewer
    // lines), and the shapes over the columns [firstColumn, endColumn) laid out again, or
    // over every column when the systems moved on every page.
    void settle(Surface& g, int firstColumn, int endColumn);
    // The natural lines shown again in place of the last pages' lines broken anew; the first
    // column whose pages were filled again.
    int restoreNatural(Surface& g);
    // A filler of new pages from page `first` on: the first page opens under the title block.
    PageFiller fillerFrom(int first, Surface& g);
    // Puts `lines` on pages from page `first` on, in place of every page from there.
    void refillFrom(int first, std::vector<std::unique_ptr<System>> lines, Surface& g);
    // Display line `k` as the pages hold it.
    System* lineAt(int k) const;
    // Places the pages one below the other and sizes the view.
    void placePages();
    // Puts the part names (on the first line) or short names before the rows of a line.
    void labelParts(System& line, bool first, Surface& g) const;
    // A part's name as it fits `room` units of the left margin: one text, set smaller when it
    // is too wide, or broken into lines when even that is too wide.
    std::vector<Text> partLabel(System& line, const std::u16string& text, int room,
                                Surface& g) const;

    void paintShapes(Surface& g) const;

    // Where the lines of the first page start, below the title block.
    int contentTop_ = 0;
    // The share of their usual room the systems keep between them (below 1 when the pages
    // are balanced), and the least it may come to.
    static constexpr double kLeastSpacing = 0.5;
    double spacing_ = 1.0;
    // The heights of the lines the spacing was last chosen for, folded into one number, and
    // the spacing chosen.
    std::uint64_t balancedHeights_ = 0;
    double balancedSpacing_ = 1.0;
    // The breaking chosen over the columns; the line starts shown differ from it only when
    // the last pages were broken anew.
    std::vector<int> natural_;
    // What the last-page rule found on the last pages: from which display line it looked
    // (-1: not since they changed), whether it broke them anew, and then the natural lines
    // they stand for.
    struct LastPages {
        int line = -1;
        bool broken = false;
        std::vector<LineRoom> natural;
    };
    LastPages lastPages_;
    bool fitFailed_ = false;
    // The last pages the rule may break anew.
    static constexpr int kRebreakPages = 3;
    // The time grid of every column, and the breaking chosen over them.
    std::vector<ColumnGrid> columns_;
    LineBreaker breaker_;
};

}  // namespace qe
