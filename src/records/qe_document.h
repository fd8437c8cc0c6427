#pragma once

#include <cstdint>
#include <string>

#include "base/exception.h"
#include "records/doc_chunks.h"

namespace qe {

// A file that is a score document (it opens as one) but cannot be read, and where: a person
// told "cut short at byte 4096" knows the copy was incomplete, one told "damaged" looks further.
class DamagedDocument : public Exception {
public:
    DamagedDocument(bool truncated, std::int64_t at)
        : Exception(kMalformed), truncated(truncated), at(at) {}

    bool truncated;   // the file ends before the document it declares: `at` is its length
    std::int64_t at;  // otherwise, the byte where reading stopped
};

// A score document: the root chunk of a .qe file with everything below it. A default
// document is the empty state a file is loaded into.
class QeDocument : public DocumentChunk {
public:
    // Fills an empty document as a new score: its title, the editor's credit line and one
    // note track holding the closing bar line of the one empty measure.
    void initNew(const std::u16string& title);

    // Loads (storing false) or saves the whole document. Every failure is reported as an
    // Exception: code 1 for a file that is not a score document, code 3 for anything else
    // (on loading, a DamagedDocument saying where).
    void serialize(BaseIO& io, bool storing);

    std::vector<note_track>& noteTracks() { return content.notes.items; }
    const std::vector<note_track>& noteTracks() const { return content.notes.items; }
    // Throws kOutOfRange when the document has no note track.
    note_track& firstNoteTrack();

    format_track_header& formatSettings() { return content.format.header; }
    const format_track_header& formatSettings() const { return content.format.header; }
    // Moves the fonts an older file cannot hold between the format settings and the extension
    // block: into it before a save, out of it after a load.
    void storeExtensionFonts();
    void takeExtensionFonts();

    std::vector<Format>& formatRecords() { return content.format.content.items; }
    const std::vector<Format>& formatRecords() const { return content.format.content.items; }
};

// The credit line a new document carries.
extern const char16_t* const kNewDocumentAuthor;

}  // namespace qe
