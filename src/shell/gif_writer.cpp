#include "shell/gif_writer.h"

#include <gif_lib.h>
#include <QIODevice>
#include <QImage>

#include <memory>
#include <vector>

namespace qe {

namespace {

int writeData(GifFileType* gif, const GifByteType* data, int length) {
    auto* device = static_cast<QIODevice*>(gif->UserData);
    return static_cast<int>(device->write(reinterpret_cast<const char*>(data), length));
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

}  // namespace

bool writeGif(const QImage& image, QIODevice& device) {
    const QList<QRgb> colours = image.colorTable();
    // GIF sizes are 16-bit; its colour table has a power-of-two size of at least 2.
    if (image.format() != QImage::Format_Indexed8 || image.isNull() || colours.isEmpty() ||
        colours.size() > 256 || image.width() > 0xFFFF || image.height() > 0xFFFF)
        return false;
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
        EGifPutScreenDesc(gif, image.width(), image.height(), bits, 0, map.get()) == GIF_OK &&
        EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_OK;
    // giflib masks the row it is given in place, so it gets a copy.
    std::vector<GifPixelType> row(static_cast<std::size_t>(image.width()));
    for (int y = 0; written && y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        row.assign(line, line + image.width());
        written = EGifPutLine(gif, row.data(), image.width()) == GIF_OK;
    }
    // Closing writes the trailer and frees `gif` whatever happened before.
    return EGifCloseFile(gif, &error) == GIF_OK && written;
}

}  // namespace qe
