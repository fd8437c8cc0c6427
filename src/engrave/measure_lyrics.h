#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engrave/geometry.h"
#include "engrave/surface.h"

namespace qe {

class Measure;
class NoteElement;
class format_track_header;

// The syllables under the notes of one measure, one row per verse of its track line: how much
// room the notes need so that no two syllables of a row touch, and where each syllable
// stands. A measure without syllables has no rows and lays out as if lyrics did not exist.
class MeasureLyrics {
public:
    // The row of each verse of a track line (-1 for a verse with no syllable in the line),
    // shared by the line's measures.
    using Rows = std::vector<int>;

    static constexpr int kGap = 80;         // at least this between two syllables of a row
    static constexpr int kRowSpacing = 80;  // between two rows, and above the first

    struct Box {
        const NoteElement* note = nullptr;
        int verse = 0;
        int row = 0;
        std::u16string shown;
        bool continues = false;  // a hyphen follows it
        Rect box;                // in the measure's frame
    };

    struct Measured {
        const NoteElement* note;
        int verse;
        int row;
        int width;
        std::u16string shown;
        bool continues;
    };

    // Measures the syllables of the measure's notes; the time grid keeps them apart. Clears
    // the margins of the elements, which the ornaments then widen.
    void measure(Measure& measure, Surface& g, const Rows& rows);
    const std::vector<Measured>& measured() const { return measured_; }
    // Places the syllables under the elements as they stand now, the first row from `top`
    // down; with `shown`, each row at the place the line shows it (see showRows).
    void place(const Measure& measure, int top);
    void draw(Surface& g, const format_track_header* format) const;

    int rowCount() const { return rows_; }
    // The rows of the line this measure stands in: row r of the track at shown[r], -1 for a row
    // no syllable of the line uses, which takes no room there. A page's line shows only the
    // rows its syllables use; null (the scroll strip) shows every row of the track.
    void showRows(std::shared_ptr<const Rows> shown) { shown_ = std::move(shown); }
    const std::shared_ptr<const Rows>& shownRows() const { return shown_; }
    // How far the rows the line shows reach below their top (0 or negative).
    int depth() const {
        const int rows = shownCount();
        return rows == 0 ? 0 : -rows * rowHeight_ - kRowSpacing;
    }
    // The syllables' rows of the track, used or not.
    int fullDepth() const { return rows_ == 0 ? 0 : -rows_ * rowHeight_ - kRowSpacing; }
    const std::vector<Box>& boxes() const { return boxes_; }

private:
    int shownCount() const;
    int shownRow(int row) const;

    std::vector<Measured> measured_;
    std::shared_ptr<const Rows> shown_;
    std::vector<Box> boxes_;
    int rows_ = 0;
    int rowHeight_ = 0;
    int textHeight_ = 0;  // negative
};

}  // namespace qe
