#pragma once

#include <algorithm>
#include <bit>
#include <concepts>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "base/exception.h"
#include "records/block.h"
#include "records/field_io.h"
#include "records/records.h"

namespace qe {

// Marks a chunk's header type and content type.
class HeaderPart : public Block {};
class ContentPart : public Block {};

// Records of one fixed file size that can be moved in one block.
template <typename T>
concept FixedSizeRecord = requires(T record, const unsigned char* in, unsigned char* out) {
    { T::kFileSize } -> std::convertible_to<std::uint32_t>;
    record.decode(in);
    record.encode(out);
};

// Smallest number of bytes one record can take in a file, for checking a table's count
// against the bytes its chunk holds.
template <typename T>
constexpr std::uint32_t minimumFileSize() {
    if constexpr (requires { T::kFileSize; })
        return T::kFileSize;
    else
        return T::kMinFileSize;
}

// Reads one declared part of a chunk (its header or its content). A part declared smaller
// than this version's empty object is rejected; one declared larger, written by a newer
// version, is read as far as this version knows it and the rest is passed over.
template <typename Part>
void readChunkPart(BaseIO& io, std::uint32_t declared, Part& part) {
    const std::uint32_t empty = part.size();
    if (declared < empty) {
        skipForward(io,
                    static_cast<std::uint64_t>(std::min<std::int64_t>(declared, io.available())));
        throw Exception(kMismatch);
    }
    const std::int64_t start = io.tell();
    {
        ReadLimit limit(io, declared);
        part.read(io);
    }
    // What was read is measured on the stream, not by the part's size: a part holding chunks
    // that were themselves larger than this version knows took more bytes than it now measures.
    const std::int64_t end = start + declared;
    if (io.tell() < end)
        skipForward(io, static_cast<std::uint64_t>(end - io.tell()));
}

// Records whose memory is exactly their little-endian file bytes, moved without decoding.
template <typename T>
constexpr bool kRawRecord =
    std::is_trivially_copyable_v<T> &&
    sizeof(T) == minimumFileSize<T>() && std::endian::native == std::endian::little;

// A chunk: a tag, a header and a content. Writing writes the tag; reading does not, because
// whoever reads a chunk must read its tag first to know which chunk comes.
template <typename Header, typename Content>
class Chunk : public Block {
public:
    std::uint32_t size() const override {
        return chunk_tag::kFileSize + header.size() + content.size();
    }

    BaseIO& read(BaseIO& io) override {
        readChunkPart(io, tag.headerSize, header);
        readChunkPart(io, tag.contentSize, content);
        return io;
    }

    BaseIO& write(BaseIO& io) override {
        tag.headerSize = header.size();
        tag.contentSize = content.size();
        tag.write(io);
        header.write(io);
        content.write(io);
        return io;
    }

    chunk_tag tag;
    Header header;
    Content content;

protected:
    explicit Chunk(std::uint32_t id) : tag(id, 0, 0, 0) {}
    explicit Chunk(const chunk_tag& from) : tag(from) {}
};

// A counted table of records, in file order.
template <typename T>
class ContentChain : public ContentPart {
public:
    std::uint32_t size() const override {
        if constexpr (FixedSizeRecord<T>) {
            return static_cast<std::uint32_t>(4 + items.size() * T::kFileSize);
        } else {
            std::uint32_t total = 4;
            for (const T& item : items)
                total += item.size();
            return total;
        }
    }

    BaseIO& read(BaseIO& io) override {
        items.clear();
        const auto count = readField<std::uint32_t>(io);
        // A count the chunk cannot hold is a damaged file, not a reason to allocate.
        if (count > io.available() / minimumFileSize<T>())
            throw Exception(kMalformed);
        if constexpr (kRawRecord<T>) {
            items.resize(count);
            constexpr std::uint32_t kBlock = 1u << 20;  // keeps each read's length an int
            for (std::uint32_t done = 0; done < count;) {
                const std::uint32_t n = std::min(kBlock, count - done);
                readExact(io, items.data() + done, static_cast<int>(n * sizeof(T)));
                done += n;
            }
            return io;
        }
        items.reserve(count);
        if constexpr (FixedSizeRecord<T>) {
            constexpr std::uint32_t kBlock = 16384;
            std::vector<unsigned char> buffer;
            for (std::uint32_t done = 0; done < count;) {
                const std::uint32_t n = std::min(kBlock, count - done);
                buffer.resize(std::size_t{n} * T::kFileSize);
                readExact(io, buffer.data(), static_cast<int>(buffer.size()));
                for (std::uint32_t i = 0; i < n; ++i)
                    items.emplace_back().decode(buffer.data() + i * T::kFileSize);
                done += n;
            }
        } else {
            for (std::uint32_t i = 0; i < count; ++i)
                items.emplace_back().read(io);
        }
        return io;
    }

    BaseIO& write(BaseIO& io) override {
        writeField(io, static_cast<std::uint32_t>(items.size()));
        if constexpr (kRawRecord<T>) {
            constexpr std::size_t kBlock = 1u << 20;
            for (std::size_t done = 0; done < items.size();) {
                const std::size_t n = std::min(kBlock, items.size() - done);
                writeExact(io, items.data() + done, static_cast<int>(n * sizeof(T)));
                done += n;
            }
            return io;
        }
        if constexpr (FixedSizeRecord<T>) {
            constexpr std::size_t kBlock = 16384;
            std::vector<unsigned char> buffer;
            for (std::size_t done = 0; done < items.size();) {
                const std::size_t n = std::min(kBlock, items.size() - done);
                buffer.resize(n * T::kFileSize);
                for (std::size_t i = 0; i < n; ++i)
                    items[done + i].encode(buffer.data() + i * T::kFileSize);
                writeExact(io, buffer.data(), static_cast<int>(buffer.size()));
                done += n;
            }
        } else {
            for (T& item : items)
                item.write(io);
        }
        return io;
    }

    std::vector<T> items;
};

// An uncounted run of chunks of one type. It ends at the first tag of another type, which it
// leaves in the stream for the next reader; reading appends to what the chain holds.
template <typename T>
class ChunkChain : public Block {
public:
    std::uint32_t size() const override {
        std::uint32_t total = 0;
        for (const T& chunk : items)
            total += chunk.size();
        return total;
    }

    BaseIO& read(BaseIO& io) override {
        const std::uint32_t expected = T().tag.id;
        for (;;) {
            // At the end of the stream fewer than 16 bytes are there; the rest stays zero.
            unsigned char bytes[chunk_tag::kFileSize] = {};
            const int want =
                static_cast<int>(std::min<std::int64_t>(chunk_tag::kFileSize, io.available()));
            const int got = want > 0 ? io.read(bytes, want) : 0;
            chunk_tag next;
            next.decode(bytes);
            if (next.id != expected || got < want) {
                // Only the bytes actually read are given back, so the position never moves
                // before where the chain ended.
                if (got > 0)
                    io.skip(-got);
                return io;
            }
            items.emplace_back(next);
            items.back().read(io);
        }
    }

    BaseIO& write(BaseIO& io) override {
        for (T& chunk : items)
            chunk.write(io);
        return io;
    }

    std::vector<T> items;
};

}  // namespace qe
