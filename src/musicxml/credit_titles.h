#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace qe::musicxml {

// One <credit> of a score: a text printed on a page, with what the file says of its place.
struct CreditText {
    enum class Align { Unknown, Left, Centre, Right };
    QStringList types;  // its <credit-type>s; none for the texts most programs write
    QString text;
    int page = 1;
    bool placed = false;  // default-x and default-y given
    double x = 0;         // tenths from the page's left edge
    double y = 0;         // tenths from the page's bottom edge
    double size = 0;      // font size in points; 0 when not given
    Align align = Align::Unknown;
};

// The page the credits stand on, in tenths; 0 when the file does not say.
struct CreditPage {
    double width = 0;
    double height = 0;
};

// What the untyped credits of the first page give the title block.
struct CreditTitles {
    QString title, subtitle, composer, lyricist, arranger;
};

// Reads the texts of the first page that no <credit-type> names by where they stand and how
// large they are, as a musician reads a printed page: the largest centred text in the upper
// half is the title, the next centred one the subtitle; texts at the right name the composer
// (or the arranger, when they say so), those at the left the lyricist. Texts lower on the
// page (copyright lines, page numbers), blocks of many lines, and texts that are directions
// to the player ("Moderato", "♩ = 96", "binaire anacrouse") are no titles. When a typed
// credit already gives the title (`typedTitle` not empty), no untyped text is read as the
// title: a centred one that says the same is that title printed again, and the others are
// the lines under it ("Words: …" the lyricist's, "Music: …" the composer's).
CreditTitles titlesFromPlacement(const std::vector<CreditText>& credits, CreditPage page,
                                 const QString& typedTitle = QString());

// True for a text that tells how to play (a tempo word, a metronome mark, a style) rather
// than naming the piece or its authors.
bool looksLikeDirection(const QString& text);

}  // namespace qe::musicxml
