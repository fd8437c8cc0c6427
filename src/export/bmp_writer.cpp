#include "export/bmp_writer.h"

#include <QIODevice>
#include <QImage>

#include <cstdint>
#include <vector>

#include "export/row_source.h"

namespace qe {

namespace {

constexpr std::uint32_t kFileHeader = 14;
constexpr std::uint32_t kInfoHeader = 40;
// 288 dots per inch, in dots per metre.
constexpr std::uint32_t kDotsPerMetre = 11339;

void append(std::vector<char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>(value >> (8 * i)));
}

}  // namespace

bool writeBmp(const RowSource& source, QIODevice& device, TaskPool* helpers) {
    const QSize size = source.size();
    if (size.isEmpty())
        return false;
    // Rows of blue, green, red, padded to whole 32-bit words.
    const std::uint64_t rowBytes = (std::uint64_t{3} * size.width() + 3) / 4 * 4;
    const std::uint64_t imageBytes = rowBytes * size.height();
    if (kFileHeader + kInfoHeader + imageBytes > 0xFFFFFFFFu)
        return false;

    std::vector<char> head;
    head.push_back('B');
    head.push_back('M');
    append(head, static_cast<std::uint32_t>(kFileHeader + kInfoHeader + imageBytes), 4);
    append(head, 0, 4);
    append(head, kFileHeader + kInfoHeader, 4);
    append(head, kInfoHeader, 4);
    append(head, static_cast<std::uint32_t>(size.width()), 4);
    append(head, static_cast<std::uint32_t>(size.height()), 4);  // positive: bottom row first
    append(head, 1, 2);                                          // planes
    append(head, 24, 2);                                         // bits per pixel
    append(head, 0, 4);                                          // no compression
    append(head, static_cast<std::uint32_t>(imageBytes), 4);
    append(head, kDotsPerMetre, 4);
    append(head, kDotsPerMetre, 4);
    append(head, 0, 4);  // colours used
    append(head, 0, 4);  // important colours
    if (device.write(head.data(), static_cast<qint64>(head.size())) !=
        static_cast<qint64>(head.size()))
        return false;

    std::vector<int> bottomUp;
    for (int band = source.bands() - 1; band >= 0; --band)
        bottomUp.push_back(band);
    std::vector<char> row(static_cast<std::size_t>(rowBytes), 0);
    return forEachBandInOrder(source, bottomUp, helpers, [&](int band, const QImage& rows) {
        for (int y = source.rowsOf(band) - 1; y >= 0; --y) {
            const auto* pixels = reinterpret_cast<const QRgb*>(rows.constScanLine(y));
            char* to = row.data();
            for (int x = 0; x < size.width(); ++x) {
                *to++ = static_cast<char>(qBlue(pixels[x]));
                *to++ = static_cast<char>(qGreen(pixels[x]));
                *to++ = static_cast<char>(qRed(pixels[x]));
            }
            if (device.write(row.data(), static_cast<qint64>(rowBytes)) !=
                static_cast<qint64>(rowBytes))
                return false;
        }
        return true;
    });
}

}  // namespace qe
