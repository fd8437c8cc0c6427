#include "export/png_writer.h"

#include <zlib.h>
#include <QIODevice>
#include <QImage>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "export/row_source.h"

namespace qe {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::array<std::uint8_t, 8> kSignature = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr std::uint8_t kSubFilter = 1;
constexpr std::uint8_t kUpFilter = 2;
// 288 dots per inch, in dots per metre.
constexpr std::uint32_t kDotsPerMetre = 11339;

void append32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

bool writeBytes(QIODevice& device, const std::uint8_t* data, std::size_t size) {
    const auto length = static_cast<qint64>(size);
    return device.write(reinterpret_cast<const char*>(data), length) == length;
}

// A chunk: its length, type, data and the CRC of type and data.
bool writeChunk(QIODevice& device, const char* type, const Bytes& data) {
    Bytes head;
    append32(head, static_cast<std::uint32_t>(data.size()));
    head.insert(head.end(), type, type + 4);
    uLong crc = crc32_z(0, reinterpret_cast<const Bytef*>(type), 4);
    if (!data.empty())  // a null buffer would restart the CRC
        crc = crc32_z(crc, data.data(), data.size());
    Bytes tail;
    append32(tail, static_cast<std::uint32_t>(crc));
    return writeBytes(device, head.data(), head.size()) &&
           writeBytes(device, data.data(), data.size()) &&
           writeBytes(device, tail.data(), tail.size());
}

// Red, green and blue of one row of 32-bit pixels.
void unpackRow(const QImage& image, int y, std::uint8_t* to) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
        to[0] = static_cast<std::uint8_t>(qRed(row[x]));
        to[1] = static_cast<std::uint8_t>(qGreen(row[x]));
        to[2] = static_cast<std::uint8_t>(qBlue(row[x]));
        to += 3;
    }
}

// One band's rows, filtered and deflated as raw blocks that the next band's blocks can follow.
struct Deflated {
    Bytes bytes;
    uLong adler = 1;  // of the filtered rows, as zlib starts it
    std::size_t length = 0;
    bool ok = false;
};

// The first row of a band takes the "sub" filter, which needs no row above, so that bands do
// not wait for one another; the others take "up".
void deflateBand(const QImage& rows, int count, bool last, Deflated& out) {
    const std::size_t rowBytes = static_cast<std::size_t>(rows.width()) * 3;
    Bytes above(rowBytes), pixels(rowBytes), filtered(rowBytes + 1);
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_RLE) != Z_OK)
        return;
    // A band of a page deflates to a few hundred kilobytes at most; the buffer grows as needed.
    out.bytes.resize(std::size_t{64} << 10);
    z.next_out = out.bytes.data();
    z.avail_out = static_cast<uInt>(out.bytes.size());
    const auto deflateAll = [&](int flush) {
        int result = Z_OK;
        do {
            if (z.avail_out == 0) {
                const std::size_t used = out.bytes.size();
                out.bytes.resize(used * 2);
                z.next_out = out.bytes.data() + used;
                z.avail_out = static_cast<uInt>(used);
            }
            result = deflate(&z, flush);
        } while (z.avail_out == 0 && result != Z_STREAM_ERROR);
        return z.avail_in == 0 && (flush == Z_FINISH ? result == Z_STREAM_END
                                                     : result == Z_OK || result == Z_BUF_ERROR);
    };
    bool ok = true;
    for (int y = 0; ok && y < count; ++y) {
        unpackRow(rows, y, pixels.data());
        if (y == 0) {
            filtered[0] = kSubFilter;
            for (std::size_t i = 0; i < rowBytes; ++i)
                filtered[i + 1] =
                    static_cast<std::uint8_t>(pixels[i] - (i >= 3 ? pixels[i - 3] : 0));
        } else {
            filtered[0] = kUpFilter;
            for (std::size_t i = 0; i < rowBytes; ++i)
                filtered[i + 1] = static_cast<std::uint8_t>(pixels[i] - above[i]);
        }
        pixels.swap(above);
        out.adler = adler32_z(out.adler, filtered.data(), filtered.size());
        out.length += filtered.size();
        z.next_in = filtered.data();
        z.avail_in = static_cast<uInt>(filtered.size());
        const bool end = y + 1 == count;
        ok = deflateAll(!end ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH);
    }
    out.bytes.resize(out.bytes.size() - z.avail_out);
    deflateEnd(&z);
    out.ok = ok;
}

}  // namespace

bool writePng(const RowSource& source, QIODevice& device, TaskPool* helpers) {
    const QSize size = source.size();
    const int bands = source.bands();
    if (size.isEmpty() || bands == 0)
        return false;
    std::vector<Deflated> deflated(static_cast<std::size_t>(bands));
    const bool filled = forEachBandInParallel(source, helpers, [&](int band, const QImage& rows) {
        deflateBand(rows, source.rowsOf(band), band + 1 == bands,
                    deflated[static_cast<std::size_t>(band)]);
    });
    if (!filled ||
        !std::all_of(deflated.begin(), deflated.end(), [](const Deflated& d) { return d.ok; }))
        return false;

    if (!writeBytes(device, kSignature.data(), kSignature.size()))
        return false;
    Bytes header;
    append32(header, static_cast<std::uint32_t>(size.width()));
    append32(header, static_cast<std::uint32_t>(size.height()));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no interlace
    Bytes density;
    append32(density, kDotsPerMetre);
    append32(density, kDotsPerMetre);
    density.push_back(1);  // per metre
    if (!writeChunk(device, "IHDR", header) || !writeChunk(device, "pHYs", density))
        return false;
    // One zlib stream over all bands: its header, the bands' blocks, the checksum of all rows.
    uLong adler = deflated[0].adler;
    for (std::size_t b = 1; b < deflated.size(); ++b)
        adler = adler32_combine(adler, deflated[b].adler, static_cast<z_off_t>(deflated[b].length));
    deflated.front().bytes.insert(deflated.front().bytes.begin(), {0x78, 0x01});
    append32(deflated.back().bytes, static_cast<std::uint32_t>(adler));
    for (const Deflated& band : deflated)
        if (!writeChunk(device, "IDAT", band.bytes))
            return false;
    return writeChunk(device, "IEND", {});
}

}  // namespace qe
