#include "painter/painter_surface.h"

#include <gtest/gtest.h>
#include <QFontDatabase>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QTemporaryDir>

#include <memory>

#include "painter/watermark.h"
#include "support/qt/test_fonts.h"

namespace qe {
namespace {

// A white image with a painter and a surface on it; at 96 dpi one pixel is 15 units, at 288
// dpi 5.
struct Canvas {
    explicit Canvas(int width = 200, int height = 200)
        : image(width, height, QImage::Format_RGB32) {
        image.fill(Qt::white);
        painter = std::make_unique<QPainter>(&image);
    }
    PainterSurface& surface(double dpi) {
        g = std::make_unique<PainterSurface>(test::fonts(), *painter, dpi);
        return *g;
    }
    QImage& done() {
        g.reset();
        painter->end();
        return image;
    }
    QImage image;
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<PainterSurface> g;
};

bool inked(const QImage& image, int x, int y) {
    return image.pixel(x, y) != qRgb(255, 255, 255);
}

QRect inkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (inked(image, x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

int inkInRow(const QImage& image, int y) {
    int count = 0;
    for (int x = 0; x < image.width(); ++x)
        count += inked(image, x, y);
    return count;
}

FontRecord arial(int height, int width = 0, std::uint32_t color = 0) {
    FontRecord font = defaultFont(kTextFont);
    font.logFont.height = height;
    font.logFont.width = width;
    font.color = color;
    return font;
}

class GPainterStateTest : public ::testing::Test {};

TEST_F(GPainterStateTest, PainterIsAsFoundAfterTheSurfaceEnds) {
    Canvas canvas;
    QPainter& painter = *canvas.painter;
    painter.translate(7, 3);
    painter.setPen(QPen(Qt::red, 3));
    painter.setBrush(Qt::blue);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    const QPen pen = painter.pen();
    const QBrush brush = painter.brush();
    const QFont font = painter.font();
    const QTransform transform = painter.worldTransform();
    {
        PainterSurface g(test::fonts(), painter, 96);
        g.setPen(0, 15, 1, 2, 3);
        g.setPen(1, 0, 4, 5, 6);
        g.setPen(2, 30, 7, 8, 9);
        g.setBrush(10, 20, 30);
        g.setFont(arial(-200));
        g.drawText(0, 0, u"Ab");
        g.drawBezier({0, 0}, {300, 300}, {600, 300}, {900, 0});
        g.drawWatermark(0, 0);
    }
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_EQ(painter.brush(), brush);
    EXPECT_EQ(painter.font(), font);
    EXPECT_EQ(painter.worldTransform(), transform);
    EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_SourceOver);
    EXPECT_FALSE(painter.testRenderHint(QPainter::Antialiasing));
}

class GMappingTest : public ::testing::Test {};

TEST_F(GMappingTest, PixelSizeFollowsTheResolution) {
    Canvas canvas;
    EXPECT_EQ(PainterSurface(test::fonts(), *canvas.painter, 96).pixelSize(), 15);
    EXPECT_EQ(PainterSurface(test::fonts(), *canvas.painter, 288).pixelSize(), 5);
}

TEST_F(GMappingTest, FillRectWithNegativeHeightExtendsDownwardFromTheScrolledPoint) {
    Canvas canvas(60, 60);
    canvas.painter->translate(5, 8);  // scrolled by the caller
    // The origin is the caller's business too: coordinates arrive with it already added.
    PainterSurface(test::fonts(), *canvas.painter, 96, 1500, -1500, 0, 0, 0, 0, false)
        .fillRect(150, -150, 300, -150, 0, 0, 0);
    EXPECT_EQ(inkBox(canvas.done()), QRect(15, 18, 20, 10));
}

class GTextTest : public ::testing::Test {
protected:
    static Size measure(QPainter& painter, double dpi, const FontRecord& font,
                        const char16_t* text) {
        PainterSurface g(test::fonts(), painter, dpi);
        g.setFont(font);
        return g.textExtent(text);
    }
};

TEST_F(GTextTest, ExtentIsTheSameOnEveryDevice) {
    const FontRecord font = arial(-280);
    Canvas screen, image;
    const Size onScreen = measure(*screen.painter, 96, font, u"1=C 4/4 Title");
    EXPECT_EQ(measure(*image.painter, 288, font, u"1=C 4/4 Title"), onScreen);
    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath(QStringLiteral("page.pdf")));
    pdf.setResolution(600);
    QPainter onPaper(&pdf);
    EXPECT_EQ(measure(onPaper, 600, font, u"1=C 4/4 Title"), onScreen);
    // A negative height is the em; the extent is the whole cell, a little taller.
    EXPECT_GT(-onScreen.height, 280);
    EXPECT_LT(-onScreen.height, 360);
}

TEST_F(GTextTest, EmptyTextAndTheZeroCharacterTakeNoWidth) {
    Canvas canvas;
    PainterSurface& g = canvas.surface(96);
    g.setFont(arial(-200));
    EXPECT_EQ(g.textExtent(u"", 0), (Size{0, 0}));
    EXPECT_EQ(g.textExtent(std::u16string(1, u'\0')).width, 0);
    EXPECT_EQ(g.textExtent(std::u16string{u'1', u'\0', u'2'}).width, g.textExtent(u"12").width);
}

TEST_F(GTextTest, HeightsAndWidthsOfTheRecordShapeTheFont) {
    Canvas canvas;
    PainterSurface& g = canvas.surface(96);
    g.setFont(arial(300));  // a positive height is the whole cell
    EXPECT_NEAR(g.textExtent(u"x").height, -300, 2);
    g.setFont(arial(-300));
    const Size natural = g.textExtent(u"12345");
    g.setFont(arial(-300, 330));  // about twice Liberation Sans' average width
    const Size wide = g.textExtent(u"12345");
    EXPECT_NEAR(double(wide.width) / natural.width, 2.0, 0.25);
    EXPECT_EQ(wide.height, natural.height);
    g.setFont(arial(-300));  // selecting a record again measures as before
    EXPECT_EQ(g.textExtent(u"12345"), natural);
    EXPECT_NEAR(g.textExtent(u"简谱").width, 600, 60);  // CJK falls back to a font that has it
}

TEST_F(GTextTest, TextIsUprightInItsBoxAndColour) {
    Canvas canvas;
    PainterSurface& g = canvas.surface(288);
    g.setFont(arial(-600, 0, 0xC00000));
    const Size box = g.textExtent(u"L");
    g.drawText(100, -100, u"L");  // top-left corner at pixel (20, 20)
    const QImage& image = canvas.done();
    const QRect ink = inkBox(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(QRect(20, 20, box.width / 5 + 1, -box.height / 5 + 1).contains(ink));
    // An upright L has its foot, the widest row, at the bottom.
    EXPECT_GT(inkInRow(image, ink.bottom() - 1), 2 * inkInRow(image, ink.top() + 1));
    const QColor stem = image.pixelColor(ink.left() + 2, ink.center().y());
    EXPECT_GT(stem.red(), 150);
    EXPECT_LT(stem.green(), 60);
}

TEST_F(GTextTest, RecordWidthStretchesTheDrawnText) {
    const auto inkWidth = [](int recordWidth) {
        Canvas canvas(400, 100);
        PainterSurface& g = canvas.surface(96);
        g.setFont(arial(-300, recordWidth));
        g.drawText(150, -150, u"1234");
        return double(inkBox(canvas.done()).width());
    };
    EXPECT_NEAR(inkWidth(330) / inkWidth(0), 2.0, 0.25);
}

TEST_F(GTextTest, SymbolFontDigitIsOneEmHigh) {
    if (!QFontDatabase::families().contains(QStringLiteral("QanorEditSymbol")))
        GTEST_SKIP() << "the QanorEditSymbol font is not registered";
    Canvas canvas;
    PainterSurface& g = canvas.surface(96);
    g.setFont(defaultFont(kNoteFont));
    const Size digit = g.textExtent(u"\uF031");
    EXPECT_GT(digit.width, 0);
    EXPECT_EQ(digit.height, defaultFont(kNoteFont).logFont.height);
}

class GPenTest : public ::testing::Test {};

TEST_F(GPenTest, WidthIsInLogicalUnitsAndZeroIsOnePixel) {
    Canvas canvas;
    PainterSurface& g = canvas.surface(288);
    g.setPen(0, 0, 0, 0, 0);
    g.moveTo(50, -50);
    g.lineTo(500, -50);
    g.setPen(0, 15, 0, 0, 0);
    g.moveTo(50, -300);
    g.lineTo(500, -300);
    const QImage& image = canvas.done();
    EXPECT_EQ(inkBox(image.copy(0, 0, 200, 30)).height(), 1);
    EXPECT_EQ(inkBox(image.copy(0, 30, 200, 100)).height(), 3);
}

TEST_F(GPenTest, DashedAndDottedLinesHaveGaps) {
    Canvas canvas(400, 40);
    PainterSurface& g = canvas.surface(96);
    for (int style : {0, 1, 2}) {
        g.setPen(style, 0, 0, 0, 0);
        g.moveTo(0, -150 * (style + 1));
        g.lineTo(6000, -150 * (style + 1));
    }
    const QImage& image = canvas.done();
    EXPECT_EQ(inkInRow(image, 10), 400);
    EXPECT_LT(inkInRow(image, 20), 360);
    EXPECT_GT(inkInRow(image, 20), 250);
    EXPECT_LT(inkInRow(image, 30), 250);
}

TEST_F(GPenTest, RectangleIsOutlinedWithThePenAndFilledWithTheBrush) {
    Canvas canvas(60, 60);
    PainterSurface& g = canvas.surface(96);
    g.setPen(0, 0, 255, 0, 0);
    g.setBrush(0, 0, 255);
    g.rectangle(150, -150, 600, -600);
    const QImage& image = canvas.done();
    EXPECT_EQ(image.pixel(10, 25), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(25, 25), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(45, 25), qRgb(255, 255, 255));
}

class GArcStripsTest : public ::testing::Test {};

TEST_F(GArcStripsTest, PiecesStayInTheirStripsAndJoin) {
    // Given an arc 3000 units wide and 300 deep, cut at 1800 units into two lines
    Canvas canvas(200, 200);
    PainterSurface& g = canvas.surface(96);
    g.setPen(0, 30, 0, 0, 0);
    const std::vector<Rect> strips = {{1200, -300, 3000, -600}, {300, -1800, 1500, -2100}};
    g.drawArcStrips({0, -300}, {750, 0}, {2250, 0}, {3000, -300}, strips);
    QImage image = canvas.done();
    // Then ink lies only in each strip and the 20 units below it
    const QRect first(80, 20, 120, 22), second(20, 120, 80, 22);
    const QImage firstPiece = image.copy(first), secondPiece = image.copy(second);
    QPainter blank(&image);
    blank.fillRect(first, Qt::white);
    blank.fillRect(second, Qt::white);
    blank.end();
    EXPECT_EQ(inkBox(image), QRect());
    // And the curve leaves the first strip at the height it enters the second
    const QRect leaving = inkBox(firstPiece.copy(119, 0, 1, 22));
    const QRect entering = inkBox(secondPiece.copy(0, 0, 1, 22));
    ASSERT_FALSE(leaving.isEmpty());
    EXPECT_NEAR(leaving.center().y(), entering.center().y(), 1);
    EXPECT_EQ(inkBox(firstPiece).width(), 120);
    EXPECT_EQ(inkBox(secondPiece).width(), 80);
}

class GWatermarkTest : public ::testing::Test {
protected:
    // The page the logo is laid on: white with a black bar drawn before it.
    static void drawPage(QPaintDevice& device) {
        QPainter painter(&device);
        PainterSurface g(test::fonts(), painter, 96, 150, -300, 0, 0, 0, 0, false);
        g.fillRect(0, -3300, 9000, -150, 0, 0, 0);
        g.drawWatermark(0, 0);
    }
    static void expectLogoOverPage(const QImage& page) {
        const QImage& logo = watermarkImage();
        for (int y = 0; y < logo.height(); ++y)
            for (int x = 0; x < logo.width(); ++x) {
                const QColor got = page.pixelColor(x + 10, y + 20);
                if (y >= 200 && y < 210) {
                    ASSERT_LT(got.lightness(), 10) << x << "," << y;
                    continue;
                }
                const QColor want = logo.pixelColor(x, y);
                ASSERT_NEAR(got.red(), want.red(), 1) << x << "," << y;
                ASSERT_NEAR(got.blue(), want.blue(), 1) << x << "," << y;
                ASSERT_GT(got.lightness(), 200) << x << "," << y;
            }
    }
};

TEST_F(GWatermarkTest, LogoIsAndedOntoRasterPages) {
    QImage page(500, 760, QImage::Format_RGB32);
    page.fill(Qt::white);
    drawPage(page);
    expectLogoOverPage(page);
    EXPECT_EQ(page.pixel(12, 22), qRgb(255, 255, 255));  // the logo's white margin
    EXPECT_EQ(inkBox(page.copy(0, 0, 500, 20)), QRect());
    Canvas canvas;
    EXPECT_EQ(PainterSurface(test::fonts(), *canvas.painter, 288).watermarkSize(),
              (Size{7200, -10800}));
}

TEST_F(GWatermarkTest, VectorDevicesShowTheSameLogo) {
    QPicture picture;
    drawPage(picture);
    QImage page(500, 760, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter(&page).drawPicture(0, 0, picture);
    expectLogoOverPage(page);
}

}  // namespace
}  // namespace qe
