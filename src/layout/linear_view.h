#pragma once

#include <memory>
#include <vector>

#include "draw/jump_line.h"
#include "draw/sus_arc.h"
#include "layout/complex_line.h"
#include "layout/measure_lyrics.h"
#include "model/doc_chunks.h"

namespace qe {

class QanorDoc;

// The scroll-mode root: every note track as one unbroken track line, stacked in track order,
// with the score's tie arcs and volta brackets held beside the tree. It is also the edit tree
// in both modes; page mode cuts its pages from the one its page view holds.
class LinearView : public ComplexLine {
public:
    static constexpr int kPadding = 320;

    LinearView();
    LinearView(const LinearView&) = delete;
    LinearView& operator=(const LinearView&) = delete;

    // Fills an empty view from `document`: track lines, then arcs and jump lines.
    void build();
    void buildTrackLines();
    // Puts the syllables of the document's lyrics tracks on the notes they name. A record
    // that names no note of the score (a place outside its track, a bar line) is kept as read
    // in `keptLyrics`, so that a save gives it back unchanged.
    void buildLyrics();
    // Makes the arcs and jump lines of the format records. A stored shape whose anchors
    // cannot be found, are of the wrong kind, or cannot be walked from one to the other is
    // left out, since it could never be laid out; the count of those is kept in
    // `droppedShapes` and returned.
    int buildArcs();
    // The node that stands for a location, or null. Throws kOutOfRange for a track that does
    // not exist.
    Node* findNode(const qe::location& loc) const;
    void relayout(BaseGDI& g);

    // Removes the ties and brackets an edit has cut loose: one whose note or measure was
    // deleted, and a tie whose two ends now stand for one stored item (a sharp left in front
    // of the note it was tied to). Every edit of the tree ends with it.
    // Returns the indices, in the lists as they were, of the ties and brackets it dropped.
    struct Dropped {
        std::vector<int> arcs;
        std::vector<int> jumpLines;
    };
    Dropped dropLooseShapes();

    // Empties the tree and the shape lists; keeps the document, format and line starts.
    void clearChildren() override;
    void arrange(BaseGDI& g) override;
    // The frame of the strip, then the arcs and jump lines, under the notes.
    void draw(BaseGDI& g) override;

    // Takes the document's format settings again, for a layout after they may have changed,
    // with the beat of the time signature and the rows of lyrics of every track line.
    void refreshSettings();
    // The rows of lyrics of a track line; null when it has no syllable.
    static std::shared_ptr<const MeasureLyrics::Rows> lyricRowsOf(const Node& line);

    // The strip of scroll mode spaces its measures as page mode spaces a line at the break
    // width, so that beats read apart; the edit tree of page mode keeps its measures at their
    // natural spacing for line breaking.
    bool stripSpacing = false;

    QanorDoc* document = nullptr;
    // The document's format settings as layout uses them (sizes kept in range); every node of
    // the tree points at these.
    format_track_header settings;
    std::vector<int> lineStarts;
    std::vector<SusArc> arcs;
    std::vector<JumpLine> jumpLines;
    // The lyrics records that name no note, per lyrics track, and how many lyrics tracks the
    // document had: a save writes at least as many.
    std::vector<std::vector<lyrics>> keptLyrics;
    int lyricsTracks = 0;
    int droppedShapes = 0;
    // Note records the editor does not know, and format records of kinds other than ties
    // and brackets: left out of the tree, so a save from it does not keep them.
    int droppedItems = 0;
    int droppedFormats = 0;
};

}  // namespace qe
