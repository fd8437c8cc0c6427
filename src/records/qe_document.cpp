#include "records/qe_document.h"

#include <algorithm>
#include <exception>

#include "base/exception.h"

namespace qe {

const char16_t* const kNewDocumentAuthor = u"Qanor简谱编辑器制谱";

void QeDocument::initNew(const std::u16string& title) {
    header.title = title;
    header.author1 = kNewDocumentAuthor;
    header.version = kDocumentVersion;
    note_track track;
    track.content.items.push_back(note::barLine(6));
    content.notes.items.push_back(std::move(track));
}

note_track& QeDocument::firstNoteTrack() {
    if (content.notes.items.empty())
        throw Exception(kOutOfRange);
    return content.notes.items.front();
}

void QeDocument::serialize(BaseIO& io, bool storing) {
    if (storing) {
        try {
            write(io);
        } catch (const std::exception&) {
            throw Exception(kMalformed);
        }
        return;
    }
    // A file shorter than a tag reads as zeros and so fails the id check below.
    try {
        unsigned char bytes[chunk_tag::kFileSize] = {};
        const int want =
            static_cast<int>(std::min<std::int64_t>(chunk_tag::kFileSize, io.available()));
        if (want > 0 && io.read(bytes, want) != want)
            throw Exception(kMalformed);
        tag.decode(bytes);
    } catch (const std::exception&) {
        throw Exception(kMalformed);
    }
    if (tag.id != kDocumentId)
        throw Exception(kUnexpectedChunk);
    try {
        read(io);
    } catch (const std::exception&) {
        throw Exception(kMalformed);
    }
}

}  // namespace qe
