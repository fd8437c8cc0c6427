#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engrave/measure_lyrics.h"
#include "engrave/node.h"
#include "engrave/note_element.h"
#include "engrave/note_ornaments.h"
#include "engrave/symbol.h"
#include "engrave/underline.h"
#include "music/meter.h"
#include "records/font_record.h"

namespace qe {

// The notes between two bar lines: a row of note elements, their octave dots and duration
// underlines, and the closing bar line at the right end. The measure is the unit of layout.
class Measure : public Node {
public:
    static constexpr int kRowPadding = 160;  // above and below the note row

    Measure(const format_track_header* format, int barType);

    // A measure whose elements and fonts have not changed since it was last measured on a
    // surface with the same metrics is placed again without measuring any text: the same
    // coordinates, at a fraction of the cost on big scores.
    void layout(Surface& g, bool deep) override;
    void arrange(Surface& g) override;
    void draw(Surface& g) const override;
    // Children first, so that the bar line, dots and underlines lie over the digits.
    void paint(Surface& g) const override;
    // Only x decides: the first element whose centre is at or right of the point (the caret
    // goes before it), or the measure itself (the caret goes to its end).
    Node* hitTest(Point p) override;

    // One moment of the row: the element that starts at a time (a digit, a rest, a dash, an
    // augmentation dot) with what stands against it: the accidental or opening parenthesis
    // in front of it, a breath mark or closing parenthesis after it. Its room is reckoned
    // from the centre of that element, which the time grid places.
    struct Slot {
        music::Ticks start = 0;  // from the start of the measure
        int first = 0;           // the elements of the slot: first .. last, `anchor` timed
        int anchor = 0;
        int last = 0;
        int left = 0;   // from the anchor's centre to the left edge of the slot
        int right = 0;  // to its right edge
        // The last slot of a tuplet group: the time of the whole group, whose room the slot
        // leaves after it, so that the group reads apart from the note after it.
        music::Ticks tupletGroup = 0;
    };
    // A text under or over the row that keeps clear of the next text of its row: a syllable
    // (rows 0 ..), a chord symbol (kChordRow) or words at a note, from `left` to `right` of
    // its slot's centre.
    struct RowText {
        static constexpr int kChordRow = -1;
        static constexpr int kWordsAboveRow = -2;
        static constexpr int kWordsBelowRow = -3;
        int row = 0;
        int slot = 0;
        int left = 0;
        int right = 0;
        int gap = 0;
    };

    // The width the measure takes at its natural spacing alone, as its last measuring found
    // it; the time grid of its column decides the width it takes in a line.
    int naturalWidth() const { return naturalWidth_; }
    // Sum of the spacing weights of the elements.
    int weight() const;

    const std::vector<Slot>& timeSlots() const { return slots_; }
    const std::vector<RowText>& rowTexts() const { return rowTexts_; }
    // Where the measure's items end: its length as written.
    music::Ticks length() const { return length_; }
    // The width of a digit in the note font, as the last measuring found it.
    int digitWidth() const { return digitWidth_; }
    // Places the slots with their anchors' centres at `centres` and the bar line at the right
    // end of `width`; never measures text.
    void place(const std::vector<int>& centres, int width, Surface& g);

    // The lyric rows of the line the measure stands in (see MeasureLyrics::showRows): a page's
    // line keeps room only for the rows its syllables use. Takes effect at the next place().
    void showLyricRows(std::shared_ptr<const MeasureLyrics::Rows> shown);
    // The rows (of the track's verses) its syllables stand in.
    std::vector<int> lyricRowsUsed() const;
    // The lowest ink of the row as placed: the foot of the bar line, or the lowest underline or
    // octave dot below it; the highest: the top of the bar line, or an octave dot or a mark
    // over the notes above it.
    int inkBottom() const;
    int inkTop() const;
    // The box of the closing bar line, its top where its glyph's text starts; none when the
    // bar line is hidden.
    std::optional<Rect> barLineBox() const;
    // Where the lyrics (and the words under the notes) start, the same for every measure of a
    // page's line: under the lowest ink of the line's row in that track. The measure places
    // them there and reaches as deep as they do. Without one, its own lyrics start under its
    // row and its room for the octave dots under it.
    void setLyricsTop(std::optional<int> top);

    // A measure holds note elements only: anything else is refused with kWrongKind.
    void appendChild(std::unique_ptr<Node> node) override;
    void insertChild(int index, std::unique_ptr<Node> node) override;
    bool insertChild(std::unique_ptr<Node>& node, Node* before) override;

    // The element at `index`; throws kOutOfRange outside 0 .. count - 1.
    NoteElement* elementAt(int index) const;
    template <typename F>
    void forEachElement(F&& f) const {
        for (const auto& c : children_)
            f(*static_cast<NoteElement*>(c.get()));
    }

    void setBarType(int type);
    // Forgets the dots and underlines, which point at elements, before elements go away; the
    // next layout measures the measure again and makes them anew.
    void dropDecorations();
    // Makes the next layout measure everything again.
    void invalidate() { measured_ = false; }

    const std::vector<Symbol>& symbols() const { return symbols_; }
    const std::vector<Underline>& underlines() const { return underlines_; }

    // Whether measuring places the elements by the measure's own time alone. The views turn it
    // off: they place every measure on the grid of its column right after measuring it.
    bool spacedAlone = true;

    std::uint8_t barType = 0;
    char16_t barGlyph = 0;
    int barWidth = 0;
    int barHeight = 0;  // negative
    // Underlined notes are grouped within a beat of the time signature: a quarter in x/4, a
    // dotted quarter in 6/8. A new beat makes the next layout measure the measure again.
    void setBeat(music::Ticks beat);
    music::Ticks beat() const { return beat_; }

    // The rows of lyrics of the measure's track line, by verse; none without lyrics. New rows
    // make the next layout measure the measure again.
    void setLyricRows(std::shared_ptr<const MeasureLyrics::Rows> rows);
    const MeasureLyrics& lyrics() const { return lyrics_; }
    const NoteOrnaments& ornaments() const { return ornaments_; }
    NoteOrnaments& ornaments() { return ornaments_; }

private:
    // Places the row, measures the bar line and makes the decorations anew; without
    // `measure`, only gives the measure back its natural size.
    void arrangeRow(Surface& g, bool measure);
    bool stillMeasured(const Surface& g) const;
    void groupUnderlines();
    // The room the rows the line does not show give back (0 or positive).
    int shownRowsDelta() const;
    // The height the measure takes with the lyric rows and the lyrics' top its line decided.
    int lineHeight() const;
    std::optional<int> lyricsTop_;
    // Finds the slots and the texts of the row, and how much room each takes.
    void findSlots();
    // Groups the elements into slots, each a timed element with the untimed ones that stand
    // with it, and finds the measure's length.
    void groupSlots();
    // Marks the last slot of each tuplet group with the group's time.
    void markTupletGroups();
    // The texts of the row under the notes and above them, by the slot of each element.
    void addLyricTexts(const std::vector<int>& slotOf);
    void addNoteTexts(const std::vector<int>& slotOf);
    // Places the elements of a slot around the centre `x`; returns the slot's left and right
    // edges.
    std::pair<int, int> placeSlot(const Slot& slot, int x);
    void layoutDecorations(Surface& g);

    std::vector<Symbol> symbols_;
    std::vector<Underline> underlines_;
    std::vector<Slot> slots_;
    std::vector<RowText> rowTexts_;
    music::Ticks length_ = 0;
    int digitWidth_ = 0;
    MeasureLyrics lyrics_;
    NoteOrnaments ornaments_;
    std::shared_ptr<const MeasureLyrics::Rows> lyricRows_;

    music::Ticks beat_ = music::kTicksPerQuarter;

    // What the last measuring was made with, and the weight it found.
    bool measured_ = false;
    int weight_ = 0;
    int naturalWidth_ = 0;
    int naturalHeight_ = 0;
    int metricsId_ = 0;
    const format_track_header* measuredFormat_ = nullptr;
    LogFont noteFont_;
    LogFont barFont_;
    LogFont textFont_;
};

inline Measure* asMeasure(Node* node) {
    return node && node->kind == kMeasure ? static_cast<Measure*>(node) : nullptr;
}
inline const Measure* asMeasure(const Node* node) {
    return node && node->kind == kMeasure ? static_cast<const Measure*>(node) : nullptr;
}

}  // namespace qe
