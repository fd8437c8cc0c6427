#include "records/doc_chunks.h"

#include <algorithm>

#include "base/exception.h"
#include "records/field_io.h"

namespace qe {

namespace {

// The fonts a file stores, in file order.
constexpr FontCategory kStoredFonts[] = {kBarLineFont, kNoteFont, kGraceNoteFont, kTitleFont,
                                         kTextFont};

// Reads a required chunk's tag and checks its id.
chunk_tag readRequiredTag(BaseIO& io, std::uint32_t id) {
    chunk_tag tag;
    tag.read(io);
    if (tag.id != id)
        throw Exception(kUnexpectedChunk);
    return tag;
}

}  // namespace

std::uint32_t doc_header::size() const {
    return 4 + wideStringSize(title) + wideStringSize(subtitle) + wideStringSize(author1) +
           wideStringSize(author2) + wideStringSize(author3) + wideStringSize(comment1) +
           wideStringSize(comment2) + 4 + extension::blockSize(entriesToWrite());
}

const MeasureMark* doc_header::markAt(int measure) const {
    for (const MeasureMark& mark : marks)
        if (static_cast<int>(mark.measure) == measure)
            return &mark;
    return nullptr;
}

std::vector<ExtensionEntry> doc_header::entriesToWrite() const {
    std::vector<unsigned char> names = extension::encodePartNames(partNames);
    std::vector<unsigned char> measureMarks = extension::encodeMeasureMarks(marks);
    std::vector<unsigned char> extras = extension::encodeNoteExtras(noteExtras);
    std::vector<unsigned char> more = extension::encodeMoreArticulations(noteExtras);
    std::vector<unsigned char> printed = extension::encodePrintedTempos(tempo, marks);
    std::vector<unsigned char> texts = extension::encodeNoteTexts(noteExtras);
    if (tempo.empty() && names.empty() && measureMarks.empty() && extras.empty() && more.empty() &&
        printed.empty() && texts.empty() && !measureNumbers && !freeMeter && tonicShift == 0 &&
        !hideEmptyTracks && pageCount == 0)
        return extension;
    std::vector<ExtensionEntry> entries = extension;
    extension::put(entries, extension::kTempoMark, extension::encodeTempoMark(tempo));
    extension::put(entries, extension::kPartNames, std::move(names));
    extension::put(entries, extension::kMeasureMarks, std::move(measureMarks));
    extension::put(entries, extension::kNoteExtras, std::move(extras));
    extension::put(entries, extension::kMoreArticulations, std::move(more));
    extension::put(entries, extension::kPrintedTempos, std::move(printed));
    extension::put(entries, extension::kNoteTexts, std::move(texts));
    // Flags of a later version, kept in the entry as read, go on beside this version's.
    extension::Options options;
    if (const ExtensionEntry* kept = extension::find(extension, extension::kOptions))
        options = extension::decodeOptions(kept->bytes);
    options.flags &= ~extension::kKnownOptions;
    if (measureNumbers)
        options.flags |= extension::kMeasureNumbers;
    if (freeMeter)
        options.flags |= extension::kFreeMeter;
    if (hideEmptyTracks)
        options.flags |= extension::kHideEmptyTracks;
    options.tonicShift = static_cast<std::int8_t>(tonicShift);
    options.reserved[0] = pageCount;
    extension::put(entries, extension::kOptions,
                   options == extension::Options{} ? std::vector<unsigned char>{}
                                                   : extension::encodeOptions(options));
    // Entries read from a file go back in the order they came; new ones after them.
    if (!entryOrder.empty()) {
        const auto rank = [&](const ExtensionEntry& e) {
            const auto at = std::find(entryOrder.begin(), entryOrder.end(), e.kind);
            return at - entryOrder.begin();
        };
        std::stable_sort(
            entries.begin(), entries.end(),
            [&](const ExtensionEntry& a, const ExtensionEntry& b) { return rank(a) < rank(b); });
    }
    return entries;
}

BaseIO& doc_header::read(BaseIO& io) {
    version = readField<std::uint32_t>(io);
    for (std::u16string* text :
         {&title, &subtitle, &author1, &author2, &author3, &comment1, &comment2})
        *text = readWideString(io);
    keyAccidental = readField<std::uint8_t>(io);
    keyLetter = readField<std::uint8_t>(io);
    timeNumerator = readField<std::uint8_t>(io);
    timeDenominator = readField<std::uint8_t>(io);
    extension::readBlock(io, extension);
    entryOrder.clear();
    for (const ExtensionEntry& entry : extension) {
        // A kind this version reads, twice: one would be lost on saving.
        if (entry.kind <= extension::kLastKnownKind &&
            std::find(entryOrder.begin(), entryOrder.end(), entry.kind) != entryOrder.end())
            throw Exception(kMalformed);
        entryOrder.push_back(entry.kind);
    }
    tempo = TempoMark{};
    if (const ExtensionEntry* mark = extension::find(extension, extension::kTempoMark)) {
        tempo = extension::decodeTempoMark(mark->bytes);
        extension::put(extension, extension::kTempoMark, {});
    }
    measureNumbers = freeMeter = hideEmptyTracks = false;
    tonicShift = 0;
    pageCount = 0;
    if (const ExtensionEntry* entry = extension::find(extension, extension::kOptions)) {
        extension::Options options = extension::decodeOptions(entry->bytes);
        measureNumbers = options.flags & extension::kMeasureNumbers;
        freeMeter = options.flags & extension::kFreeMeter;
        hideEmptyTracks = options.flags & extension::kHideEmptyTracks;
        tonicShift = options.tonicShift;
        pageCount = options.reserved[0];
        // Only the flags of a later version stay in the entry; this version's are fields.
        options.flags &= ~extension::kKnownOptions;
        options.tonicShift = 0;
        options.reserved[0] = 0;
        extension::put(extension, extension::kOptions,
                       options == extension::Options{} ? std::vector<unsigned char>{}
                                                       : extension::encodeOptions(options));
    }
    marks.clear();
    if (const ExtensionEntry* entry = extension::find(extension, extension::kMeasureMarks)) {
        marks = extension::decodeMeasureMarks(entry->bytes);
        extension::put(extension, extension::kMeasureMarks, {});
    }
    if (const ExtensionEntry* entry = extension::find(extension, extension::kPrintedTempos)) {
        extension::decodePrintedTempos(entry->bytes, tempo, marks);
        extension::put(extension, extension::kPrintedTempos, {});
    }
    noteExtras.clear();
    if (const ExtensionEntry* entry = extension::find(extension, extension::kNoteExtras)) {
        noteExtras = extension::decodeNoteExtras(entry->bytes);
        extension::put(extension, extension::kNoteExtras, {});
    }
    if (const ExtensionEntry* entry = extension::find(extension, extension::kMoreArticulations)) {
        extension::decodeMoreArticulations(entry->bytes, noteExtras);
        extension::put(extension, extension::kMoreArticulations, {});
    }
    if (const ExtensionEntry* entry = extension::find(extension, extension::kNoteTexts)) {
        extension::decodeNoteTexts(entry->bytes, noteExtras);
        extension::put(extension, extension::kNoteTexts, {});
    }
    partNames.clear();
    if (const ExtensionEntry* names = extension::find(extension, extension::kPartNames)) {
        partNames = extension::decodePartNames(names->bytes);
        extension::put(extension, extension::kPartNames, {});
    }
    return io;
}

BaseIO& doc_header::write(BaseIO& io) {
    writeField(io, version);
    for (const std::u16string* text :
         {&title, &subtitle, &author1, &author2, &author3, &comment1, &comment2})
        writeWideString(io, *text);
    writeField(io, keyAccidental);
    writeField(io, keyLetter);
    writeField(io, timeNumerator);
    writeField(io, timeDenominator);
    extension::writeBlock(io, entriesToWrite());
    return io;
}

format_track_header::format_track_header() {
    for (int i = 0; i < kFontCount; ++i)
        fonts[i] = defaultFont(static_cast<FontCategory>(i));
}

BaseIO& format_track_header::read(BaseIO& io) {
    unsigned char bytes[kFileSize];
    readExact(io, bytes, kFileSize);
    pageWidth = loadLE<std::int32_t>(bytes);
    pageHeight = loadLE<std::int32_t>(bytes + 4);
    marginLeft = loadLE<std::int32_t>(bytes + 8);
    marginTop = loadLE<std::int32_t>(bytes + 12);
    marginRight = loadLE<std::int32_t>(bytes + 16);
    marginBottom = loadLE<std::int32_t>(bytes + 20);
    const unsigned char* p = bytes + 24;
    for (FontCategory category : kStoredFonts) {
        fonts[category].decode(p);
        p += FontRecord::kFileSize;
    }
    fonts[kSubtitleFont] = defaultFont(kSubtitleFont);
    fonts[kSmallTextFont] = defaultFont(kSmallTextFont);
    return io;
}

BaseIO& format_track_header::write(BaseIO& io) {
    unsigned char bytes[kFileSize];
    storeLE(bytes, pageWidth);
    storeLE(bytes + 4, pageHeight);
    storeLE(bytes + 8, marginLeft);
    storeLE(bytes + 12, marginTop);
    storeLE(bytes + 16, marginRight);
    storeLE(bytes + 20, marginBottom);
    unsigned char* p = bytes + 24;
    for (FontCategory category : kStoredFonts) {
        fonts[category].encode(p);
        p += FontRecord::kFileSize;
    }
    writeExact(io, bytes, kFileSize);
    return io;
}

note_track::note_track(const chunk_tag& from) : Chunk(from) {
    if (tag.id != kNoteTrackId)
        throw Exception(kUnexpectedChunk);
}

lyrics_track::lyrics_track(const chunk_tag& from) : Chunk(from) {
    if (tag.id != kLyricsTrackId)
        throw Exception(kUnexpectedChunk);
}

std::uint32_t doc_content::size() const {
    return tempo.size() + format.size() + notes.size() + lyrics.size();
}

BaseIO& doc_content::read(BaseIO& io) {
    tempo.tag = readRequiredTag(io, kTempoTrackId);
    tempo.read(io);
    format.tag = readRequiredTag(io, kFormatTrackId);
    format.read(io);
    notes.read(io);
    lyrics.read(io);
    return io;
}

BaseIO& doc_content::write(BaseIO& io) {
    tempo.write(io);
    format.write(io);
    notes.write(io);
    lyrics.write(io);
    return io;
}

}  // namespace qe
