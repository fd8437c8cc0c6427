#pragma once

namespace qe {

class format_track_header;

// Copies a document's format settings for layout, with every size brought into a range a
// sheet of paper can have. A document keeps what it stores, byte for byte; the layout never
// computes with a page a million miles wide or a font of minus two billion units.
void copyForLayout(const format_track_header& stored, format_track_header& layout);
// Sets the fonts of the music (digits, bar lines, grace notes, texts, lyrics) at `scale` of
// their size; the title and subtitle keep theirs.
void scaleFonts(format_track_header& layout, double scale);

}  // namespace qe
