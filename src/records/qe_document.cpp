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
            storeExtensionFonts();
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
        takeExtensionFonts();
        // Labels are read by the score; a damaged entry refuses the file here, as any damage.
        if (const ExtensionEntry* labels = extension::find(header.extension, extension::kVoltaLabels))
            (void)extension::decodeVoltaLabels(labels->bytes);
    } catch (const std::exception&) {
        // The root tag says how long the document is: a shorter file was cut short.
        const std::int64_t declared = std::int64_t{chunk_tag::kFileSize} + tag.headerSize +
                                      tag.contentSize;
        const std::int64_t length = io.length();
        if (length >= 0 && length < declared)
            throw DamagedDocument(true, length);
        throw DamagedDocument(false, io.tell());
    }
}

// The fonts older files cannot hold (the subtitle and small-text fonts) go into the extension
// when they are not their defaults, and the lyrics font when it is not the normal text font
// it follows, so that an untouched document is written as before.
void QeDocument::storeExtensionFonts() {
    std::vector<std::pair<int, FontRecord>> fonts;
    for (FontCategory category : {kSubtitleFont, kSmallTextFont})
        if (!(formatSettings().fonts[category] == defaultFont(category)))
            fonts.emplace_back(category, formatSettings().fonts[category]);
    if (!(formatSettings().fonts[kLyricsFont] == formatSettings().fonts[kTextFont]))
        fonts.emplace_back(kLyricsFont, formatSettings().fonts[kLyricsFont]);
    extension::put(header.extension, extension::kFonts, extension::encodeFonts(fonts));
}

void QeDocument::takeExtensionFonts() {
    // Lyrics are set in the normal text font unless a font of their own was stored.
    formatSettings().fonts[kLyricsFont] = formatSettings().fonts[kTextFont];
    const ExtensionEntry* entry = extension::find(header.extension, extension::kFonts);
    if (!entry)
        return;
    for (const auto& [category, record] : extension::decodeFonts(entry->bytes))
        if (category == kSubtitleFont || category == kSmallTextFont || category == kLyricsFont)
            formatSettings().fonts[static_cast<std::size_t>(category)] = record;
    extension::put(header.extension, extension::kFonts, {});
}

}  // namespace qe
