#include "export/gif_writer.h"

#include <gif_lib.h>
#include <QIODevice>
#include <QImage>

#include <memory>
#include <mutex>
#include <numeric>
#include <vector>

#include "export/page_palette.h"
#include "export/row_source.h"

namespace qe {

namespace {

int writeData(GifFileType* gif, const GifByteType* data, int length) {
    auto* device = static_cast<QIODevice*>(gif->UserData);
    return static_cast<int>(device->write(reinterpret_cast<const char*>(data), length));
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// The colour table of the whole source; false when a band could not be drawn.
bool countColours(const RowSource& source, TaskPool* helpers, PagePalette& palette) {
    std::mutex merging;
    const bool filled = forEachBandInParallel(source, helpers, [&](int band, const QImage& rows) {
        PagePalette counted;
        counted.count(rows, source.rowsOf(band));
        const std::lock_guard<std::mutex> lock(merging);
        palette.merge(counted);
    });
    palette.choose();
    return filled;
}

}  // namespace

bool writeGif(const RowSource& source, QIODevice& device, TaskPool* helpers) {
    const QSize size = source.size();
    // GIF sizes are 16-bit.
    if (size.isEmpty() || size.width() > 0xFFFF || size.height() > 0xFFFF)
        return false;
    PagePalette palette;
    if (!countColours(source, helpers, palette))
        return false;
    const QList<QRgb>& colours = palette.colours();
    // The colour table has a power-of-two size of at least 2.
    int bits = 1;
    while ((1 << bits) < colours.size())
        ++bits;
    std::vector<GifColorType> entries(std::size_t{1} << bits, GifColorType{0, 0, 0});
    for (int i = 0; i < colours.size(); ++i)
        entries[static_cast<std::size_t>(i)] = {static_cast<GifByteType>(qRed(colours[i])),
                                                static_cast<GifByteType>(qGreen(colours[i])),
                                                static_cast<GifByteType>(qBlue(colours[i]))};
    const std::unique_ptr<ColorMapObject, MapDeleter> map(
        GifMakeMapObject(1 << bits, entries.data()));
    if (!map)
        return false;

    int error = 0;
    GifFileType* gif = EGifOpen(&device, writeData, &error);
    if (!gif)
        return false;
    bool written =
        EGifPutScreenDesc(gif, size.width(), size.height(), bits, 0, map.get()) == GIF_OK &&
        EGifPutImageDesc(gif, 0, 0, size.width(), size.height(), false, nullptr) == GIF_OK;
    std::vector<int> order(static_cast<std::size_t>(source.bands()));
    std::iota(order.begin(), order.end(), 0);
    std::vector<GifPixelType> row(static_cast<std::size_t>(size.width()));
    written =
        written && forEachBandInOrder(source, order, helpers, [&](int band, const QImage& rows) {
            for (int y = 0; y < source.rowsOf(band); ++y) {
                palette.map(reinterpret_cast<const QRgb*>(rows.constScanLine(y)), size.width(),
                            row.data());
                if (EGifPutLine(gif, row.data(), size.width()) != GIF_OK)
                    return false;
            }
            return true;
        });
    // Closing writes the trailer and frees `gif` whatever happened before.
    return EGifCloseFile(gif, &error) == GIF_OK && written;
}

}  // namespace qe
