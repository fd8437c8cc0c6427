#include "export/image_encoder.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include "base/task_pool.h"

#include <random>
#include <utility>

#include "export/bmp_writer.h"
#include "export/export_scores.h"
#include "export/gif_writer.h"
#include "export/jpeg_writer.h"
#include "export/page_palette.h"
#include "export/png_writer.h"

namespace qe {
namespace {

// Anti-aliased black text on white: every grey level there is, and nothing else.
QImage greyPage(int width, int height) {
    QImage page(width, height, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 3));
    for (int i = 0; i < 12; ++i)
        painter.drawEllipse(QPointF(width / 2.0, height / 2.0), 3.0 + 7 * i, 2.0 + 5 * i);
    painter.fillRect(0, 0, 256, 2, Qt::white);
    for (int g = 0; g < 256; ++g)
        page.setPixel(g % width, (g / width) % height, qRgb(g, g, g));
    return page;
}

// A page of more colours than a palette holds: a few flat colours covering most of it, and
// a thousand rare ones.
QImage colourfulPage() {
    QImage page(100, 80, QImage::Format_RGB32);
    page.fill(qRgb(255, 255, 255));
    for (int y = 20; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            page.setPixel(x, y, qRgb(226, 233, 243));
    for (int y = 40; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            page.setPixel(x, y, qRgb(0, 0, 0));
    std::mt19937 random(7);
    for (int i = 0; i < 1000; ++i)
        page.setPixel(i % 100, 50 + i / 100, qRgb(random() % 256, random() % 256, random() % 256));
    return page;
}

QByteArray encoded(const QImage& image, ImageEncoder encoder, TaskPool* helpers = nullptr) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(encodeImage(image, encoder, buffer, helpers));
    return buffer.data();
}

// Every image encoder, named.
const std::pair<const char*, ImageEncoder> kEncoders[] = {
    {"png", writePng}, {"jpg", writeJpeg}, {"gif", writeGif}, {"bmp", writeBmp}};

QImage decoded(const QByteArray& bytes) {
    return QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
}

PagePalette paletteOf(const QImage& page) {
    PagePalette palette;
    palette.count(page, page.height());
    palette.choose();
    return palette;
}

TEST(ImageWriters, PngAndBmpGiveBackEveryPixel) {
    std::mt19937 random(3);
    // Fewer rows than bands, and widths whose rows need padding.
    for (const QSize size : {QSize(1, 1), QSize(3, 2), QSize(7, 5), QSize(301, 97)}) {
        SCOPED_TRACE(size.width() * 1000 + size.height());
        QImage colour(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                colour.setPixel(x, y, qRgb(random() % 256, random() % 256, random() % 256));
        EXPECT_EQ(test::largestDifference(decoded(encoded(colour, writePng)), colour), 0);
        EXPECT_EQ(test::largestDifference(decoded(encoded(colour, writeBmp)), colour), 0);
    }
}

TEST(ImageWriters, TheBytesDoNotDependOnTheThreadsLent) {
    const QImage page = greyPage(640, 480);
    TaskPool one(1), three(3);
    for (const auto& [name, encoder] : kEncoders) {
        SCOPED_TRACE(name);
        const QByteArray alone = encoded(page, encoder);
        EXPECT_EQ(encoded(page, encoder, &one), alone);
        EXPECT_EQ(encoded(page, encoder, &three), alone);
    }
}

// A disk that is full from the first byte.
class FullDevice : public QIODevice {
protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

TEST(ImageWriters, ADeviceThatTakesNoBytesIsAFailure) {
    for (const auto& [name, encoder] : kEncoders) {
        FullDevice full;
        full.open(QIODevice::WriteOnly);
        EXPECT_FALSE(encodeImage(greyPage(50, 50), encoder, full)) << name;
        // Nor is there anything to write of a picture never drawn.
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_FALSE(encodeImage(QImage(), encoder, buffer)) << name;
        EXPECT_EQ(buffer.size(), 0) << name;
    }
}

TEST(PagePalette, APageOfAtMost256ColoursIsKeptExactly) {
    const QImage page = greyPage(300, 200);
    const PagePalette palette = paletteOf(page);
    EXPECT_TRUE(palette.exact());
    EXPECT_EQ(palette.colours().size(), 256);
    // The colours covering most of the page come first.
    EXPECT_EQ(palette.colours().front(), qRgb(255, 255, 255));
    EXPECT_EQ(test::largestDifference(decoded(encoded(page, writeGif)), page), 0);
}

TEST(PagePalette, BeyondTheTableTheCommonColoursStayAndTheRestTakeTheNearest) {
    const QImage page = colourfulPage();
    const PagePalette palette = paletteOf(page);
    EXPECT_FALSE(palette.exact());
    EXPECT_EQ(palette.colours().size(), 256);
    const QImage gif = decoded(encoded(page, writeGif));
    ASSERT_EQ(gif.size(), page.size());
    // White paper, the watermark's colour and black ink are exact.
    EXPECT_EQ(gif.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(gif.pixel(5, 25), qRgb(226, 233, 243));
    EXPECT_EQ(gif.pixel(5, 45), qRgb(0, 0, 0));
    // Every other pixel takes a kept colour at least as near as any other kept colour.
    const QList<QRgb>& kept = palette.colours();
    const auto distance = [](QRgb a, QRgb b) {
        const int r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
        return 3 * r * r + 4 * g * g + 2 * bl * bl;
    };
    for (int y = 50; y < 60; ++y)
        for (int x = 0; x < 100; ++x) {
            const QRgb want = page.pixel(x, y);
            const QRgb got = gif.pixel(x, y);
            ASSERT_TRUE(kept.contains(got));
            for (QRgb other : kept)
                ASSERT_LE(distance(want, got), distance(want, other));
        }
    // Counting in pieces and merging gives the same table.
    PagePalette top, bottom;
    top.count(page, 40);
    bottom.count(page.copy(0, 40, 100, 40), 40);
    top.merge(bottom);
    top.choose();
    EXPECT_EQ(top.colours(), kept);
}

}  // namespace
}  // namespace qe
