#include "shell/png_writer.h"

#include <png.h>
#include <zlib.h>
#include <QIODevice>
#include <QImage>

#include <cmath>
#include <csetjmp>
#include <vector>

namespace qe {

namespace {

void writeData(png_structp png, png_bytep data, png_size_t length) {
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    const auto size = static_cast<qint64>(length);
    if (device->write(reinterpret_cast<const char*>(data), size) != size)
        png_error(png, "write failed");
}

void flushData(png_structp) {}

// libpng's own handlers print; a failure here is reported by the return value alone.
void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Everything libpng may jump out of runs here, where no local needs a destructor.
bool writeRows(png_structp png, png_infop info, const QImage& image, QIODevice& device,
               const png_color* palette, int paletteSize) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &device, writeData, flushData);
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    const bool indexed = paletteSize > 0;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                 static_cast<png_uint_32>(image.height()), 8,
                 indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (indexed)
        png_set_PLTE(png, info, palette, paletteSize);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0)
        png_set_pHYs(png, info, static_cast<png_uint_32>(image.dotsPerMeterX()),
                     static_cast<png_uint_32>(image.dotsPerMeterY()), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    if (!indexed) {
        // Rows of 32-bit pixels are blue, green, red, unused in memory.
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        png_set_bgr(png);
    }
    for (int y = 0; y < image.height(); ++y)
        png_write_row(png, image.constScanLine(y));
    png_write_end(png, info);
    return true;
}

}  // namespace

bool writePng(const QImage& source, QIODevice& device) {
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "32-bit rows are read as little-endian");
    const bool indexed = source.format() == QImage::Format_Indexed8;
    const QImage image = indexed || source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return false;
    std::vector<png_color> palette;
    if (indexed) {
        const QList<QRgb> colours = image.colorTable();
        if (colours.isEmpty() || colours.size() > 256)
            return false;
        for (QRgb colour : colours)
            palette.push_back({static_cast<png_byte>(qRed(colour)),
                               static_cast<png_byte>(qGreen(colour)),
                               static_cast<png_byte>(qBlue(colour))});
    }

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    const bool written = info && writeRows(png, info, image, device, palette.data(),
                                           static_cast<int>(palette.size()));
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return written;
}

}  // namespace qe
