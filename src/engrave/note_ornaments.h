#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engrave/geometry.h"
#include "engrave/surface.h"
#include "music/note_marks.h"
#include "records/extension.h"
#include "records/font_record.h"

namespace qe {

class Measure;
class NoteElement;
class Underline;
struct format_track_header;

// What a measure draws for the extras of its notes: the upper tones of chords stacked over
// their digits, grace notes (small digits joined to their note by an arc), the marks above
// the notes (each drawn by its figure, stacked in the notation's order), chord symbols on one
// row above them, words written at the notes on a row above the chord symbols and on one
// under the notes (and their lyrics), and the number of each tuplet over its group (with a
// bracket where no underline joins the group).
class NoteOrnaments {
public:
    static constexpr int kChordSymbolGap = 80;  // between two chord symbols of a row

    // Makes room in the row for what stands beside the digits: grace notes before and after
    // them, the accidentals of stacked tones; measures the chord symbols. Called after the
    // lyrics have cleared the elements' margins; adds to them.
    void widen(Measure& measure, Surface& g);
    // Places everything by where the elements, their octave dots and underlines stand.
    void place(const Measure& measure, const std::vector<Underline>& underlines);
    void draw(Surface& g, const format_track_header* format) const;

    // The highest point anything reaches above the row, relative to the measure (0 with
    // nothing above the digits' octave dots).
    int top() const { return top_; }
    // The printed width of each chord symbol of the measure, in the order of their notes; of
    // the words over the notes and under them likewise.
    const std::vector<int>& chordWidths() const { return chordWidths_; }
    const std::vector<int>& aboveWidths() const { return aboveWidths_; }
    const std::vector<int>& belowWidths() const { return belowWidths_; }
    // Places the words under the notes, their tops at `top` (under the lowest thing of the
    // row and its lyrics); the room they take below that (0 or negative).
    void placeBelow(const Measure& measure, int top);
    int depthBelow() const { return belowWidths_.empty() ? 0 : -(textHeight_ + kRowSpacing); }
    static constexpr int kRowSpacing =
        80;  // between the words under the notes and what is over them
    bool empty() const {
        return glyphs_.empty() && lines_.empty() && dots_.empty() && texts_.empty();
    }
    // Adds the boxes, relative to the measure, of what stands over and beside the digits
    // (stacked tones, grace notes and their arcs, marks, tuplet numbers and brackets): what a
    // tie or slur over the row has to clear. Chord symbols and words stand higher, over the
    // arcs, and are left out. Text is boxed from its top, as placed, down by its font height.
    void inkOver(std::vector<Rect>& boxes) const;
    // Words over or under the notes may run past the bar line; on a line, each row's words
    // start no closer than `gap` after where the words of the measures before reach
    // (`reachAbove`, `reachBelow`, in this measure's frame), moved right where they would,
    // unless that takes them past `right`. The reaches become this measure's.
    void keepWordsApart(int& reachAbove, int& reachBelow, int gap, int right);

private:
    struct Glyph {
        Point at;
        char16_t glyph;
        bool grace;     // in the grace-note font, else the note font
        int width = 0;  // as far as the tie arcs over the row are concerned
    };
    struct Line {
        Point from;
        Point to;
        int width;
    };
    struct Arc {
        Point p0, p1, p2, p3;
    };
    struct Text {
        Point at;
        std::u16string text;
        int category;
        bool bold = false;  // a chord symbol: its category's font, bold
    };

    // The steps of place, each for one element: they return the highest point reached above
    // it, from the top of what stands below.
    int placeStack(const NoteElement& e);
    int placeGraces(const NoteElement& e, const NoteExtra& extra,
                    const std::vector<const NoteElement*>& elements, int top);
    // The left and right ends of a row of grace notes and the highest point of its ink.
    struct GraceRow {
        int left;
        int right;
        int top;
    };
    GraceRow placeGraceRow(const NoteExtra& extra, int from, int to, int gy, int x);
    // The widths of the small digits and accidentals in the grace-note font.
    void measureGraces(const format_track_header* format, Surface& g);
    // The width of a grace note's accidental, and the room a grace note takes with it.
    int graceAccidentalWidth(int accidental) const;
    int graceRoom(const GraceNote& grace) const;
    int placeMarks(const NoteElement& e, std::uint32_t marks, int top);
    int placeFigure(music::MarkFigure figure, int cx, int top);
    // Over groups and rows of the whole measure.
    void placeTuplets(const std::vector<const NoteElement*>& elements, std::vector<int>& tops,
                      const std::vector<Underline>& underlines);
    void placeChordSymbols(const std::vector<const NoteElement*>& elements,
                           const std::vector<int>& tops);
    void placeWordsAbove(const std::vector<const NoteElement*>& elements,
                         const std::vector<int>& tops);
    // The radius of an octave dot and the width of a line, by the note font's height.
    int dotRadius() const { return std::max(1, noteHeight_ / 14); }
    int lineWidth() const { return std::max(1, noteHeight_ / 24); }

    std::vector<Glyph> glyphs_;
    std::vector<Line> lines_;
    std::vector<Rect> dots_;
    std::vector<Arc> arcs_;
    std::vector<Text> texts_;
    std::size_t belowFrom_ = 0;   // texts_ from here are the words under the notes
    std::size_t tupletsEnd_ = 0;  // texts_ before this are tuplet numbers
    // What each run of the lists is, for the surface's role: where each run ends in every list.
    struct Span {
        std::size_t glyphs, lines, arcs, dots, texts;
        const char* role;
    };
    static constexpr const char* kStackTones = "stack";  // digits and their octave dots
    static constexpr const char* kOneFigure = "figure";  // the pieces of one mark over a note
    std::vector<Span> spans_;
    void endSpan(const char* role);
    // The role of the index-th item of a list, and on the surface the thing it is part of (a
    // mark's: numbered from `things`, where the measure's numbers start).
    const char* roleOf(std::size_t Span::*end, std::size_t index, const char* stackRole, int things,
                       Surface& g) const;
    int top_ = 0;
    // Whether any element has extras: most measures have none and place nothing.
    bool any_ = false;
    // Sizes measured by widen, used by place.
    int noteHeight_ = 320;
    int graceHeight_ = 180;
    int textHeight_ = 200;
    int accidentalWidth_ = 0;
    std::vector<int> graceWidths_;  // per degree 0..7, in the grace-note font
    std::vector<int> graceAccidentalWidths_;  // per accidental code 0..5, in that font
    std::vector<int> chordWidths_;  // per element with a chord symbol, in order
    std::vector<int> aboveWidths_;  // per element with words over it, in order
    std::vector<int> belowWidths_;  // per element with words under it, in order
};

}  // namespace qe
