#include "export/page_export.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <deque>
#include <memory>

#include "edit/score_editor.h"
#include "engrave/note_element.h"
#include "export/export_registry.h"
#include "export/export_scores.h"
#include "support/qt/test_fonts.h"

namespace qe {
namespace {

using test::LaidOutScore;

// Answers an export's questions from a script and logs them, with paths relative to the
// export folder.
class ScriptedPrompts : public ExportPrompts {
public:
    explicit ScriptedPrompts(const QString& folder) : folder_(folder) {}

    bool confirmOverwrite(const QString& path) override {
        log << QStringLiteral("exists: ") + relative(path);
        const bool yes = !overwrite.empty() && overwrite.front();
        if (!overwrite.empty())
            overwrite.pop_front();
        return yes;
    }
    bool offersOtherPath() const override { return renames; }
    QString chooseOtherPath(const QString& folder, const QString& suggested,
                            const QString& extension) override {
        log << QStringLiteral("save as: %1 [%2] in %3").arg(suggested, extension, relative(folder));
        const QString name = otherNames.empty() ? QString() : otherNames.front();
        if (!otherNames.empty())
            otherNames.pop_front();
        return name.isEmpty() ? QString() : folder_.filePath(name);
    }
    void reportFailure(const QString& path) override {
        log << QStringLiteral("failed: ") + relative(path);
    }

    std::deque<bool> overwrite;      // Yes or No to the existing-file question; No when none
    std::deque<QString> otherNames;  // names given to the second dialog; none or "" cancels
    bool renames = true;
    QStringList log;

private:
    QString relative(const QString& path) const { return folder_.relativeFilePath(path); }
    QDir folder_;
};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The first bytes that tell each format.
QByteArray magicOf(const QString& extension) {
    const QString e = extension.toLower();
    if (e == "png")
        return QByteArray("\x89PNG\r\n\x1a\n", 8);
    if (e == "jpg" || e == "jpeg")
        return QByteArray("\xff\xd8\xff", 3);
    if (e == "gif")
        return "GIF8";
    if (e == "bmp")
        return "BM";
    if (e == "pdf")
        return "%PDF-";
    return "<?xml";
}

// An SVG drawn back at the size of its view box, on white.
QImage renderSvg(const QString& path) {
    QSvgRenderer svg(path);
    QImage image(svg.viewBox().size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    svg.render(&painter);
    return image;
}

// Runs a tool that tools/install-deps.sh installs; its standard output.
QByteArray run(const QString& tool, const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(tool);
    EXPECT_FALSE(program.isEmpty()) << tool.toStdString() << " is missing (poppler-utils)";
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
}

// Page 1 of a PDF at 288 dots per inch.
QImage pdfPage(const QString& pdf, const QString& prefix) {
    run(QStringLiteral("pdftoppm"),
        {"-r", "288", "-png", "-f", "1", "-l", "1", "-singlefile", pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

// The box of the first digit of the score on page 1, in pixels of the 288-dpi page.
QRect firstDigitBox(const PageView& view) {
    Node* digit = view.linear.child(0)->child(0)->child(0);
    Rect box{0, 0, digit->style.width, digit->style.height};
    EXPECT_TRUE(offsetInAncestor(box, digit, true, view.page(0)));
    return QRect(QPoint(box.left / 5, -box.top / 5), QPoint(box.right / 5, -box.bottom / 5));
}

int darkPixels(const QImage& image, const QRect& box) {
    int dark = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 96;
    return dark;
}

// Writes a laid-out score through the registry's format for the name of `path`, as the window
// writes the pages it shows.
ExportResult exportPagesOf(const LaidOutScore& score, const QString& path, ExportPrompts& prompts,
                           const ExportOptions& options = {}, const PageView* view = nullptr) {
    const ExportFormat* format = ExportRegistry::standard().formatFor(path);
    EXPECT_NE(format, nullptr) << path.toStdString();
    if (!format)
        return {};
    LaidOutExportHost host(test::fonts(), prompts, view ? view : &score.view);
    return format->write(*score.score, options, path, host);
}

class PageExport : public ::testing::Test {
protected:
    static void SetUpTestSuite() { twoPages_ = test::scoreOfPages(2).release(); }
    static void TearDownTestSuite() {
        delete twoPages_;
        twoPages_ = nullptr;
    }
    static LaidOutScore& twoPages() { return *twoPages_; }

    QString path(const QString& name) const { return dir.filePath(name); }
    QStringList files(const QString& folder = QString()) const {
        return QDir(path(folder))
            .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    ExportResult exportTo(const QString& name, ScriptedPrompts& prompts,
                          const ExportOptions& options = {}) {
        return exportPagesOf(twoPages(), path(name), prompts, options);
    }

    QTemporaryDir dir;

private:
    static LaidOutScore* twoPages_;
};

LaidOutScore* PageExport::twoPages_ = nullptr;

TEST_F(PageExport, EveryFormatIsNamedAndSizedAfterThePageAndTaggedByItsExtension) {
    for (const QString extension : {"png", "PNG", "jpg", "jpeg", "gif", "bmp", "svg"}) {
        SCOPED_TRACE(extension.toStdString());
        QDir(dir.path()).mkdir(extension);
        ScriptedPrompts prompts(path(extension));
        const ExportResult result = exportTo(extension + "/out." + extension, prompts);
        const QStringList names = {"out_2-1." + extension, "out_2-2." + extension};
        EXPECT_EQ(files(extension), names);
        EXPECT_EQ(result.written, 2);
        EXPECT_EQ(result.files, QStringList({path(extension + "/" + names[0]),
                                             path(extension + "/" + names[1])}));
        EXPECT_TRUE(prompts.log.isEmpty()) << prompts.log.join('\n').toStdString();
        for (const QString& name : names) {
            const QString file = path(extension + "/" + name);
            EXPECT_TRUE(readAll(file).startsWith(magicOf(extension)));
            const QSize size =
                extension == "svg" ? QSvgRenderer(file).viewBox().size() : QImage(file).size();
            EXPECT_EQ(size, QSize(2381, 3367));
        }
    }
    // An SVG gives the paper's real size in millimetres.
    EXPECT_TRUE(readAll(path("svg/out_2-1.svg")).contains(R"(width="209.991mm")"));
    // A % in the chosen name is kept as it is.
    EXPECT_EQ(exportPagePath(QStringLiteral("/a/50%1 off.png"), 3, 2),
              QStringLiteral("/a/50%1 off_3-2.png"));
}

TEST_F(PageExport, ImagesShowThePagesAsTheScreenDrawsThem) {
    ScriptedPrompts prompts(dir.path());
    for (const char* name : {"out.png", "out.bmp", "out.gif", "out.jpg"})
        exportTo(name, prompts);
    ExportOptions clean;
    clean.watermark = false;
    exportTo("clean.gif", prompts, clean);
    ASSERT_TRUE(prompts.log.isEmpty()) << prompts.log.join('\n').toStdString();
    for (int page = 0; page < 2; ++page) {
        SCOPED_TRACE(page);
        const QString suffix = QStringLiteral("_2-%1").arg(page + 1);
        const QImage screen = renderPage(test::fonts(), twoPages().view, page);
        // PNG and BMP keep every pixel.
        EXPECT_EQ(test::largestDifference(QImage(path("out" + suffix + ".png")), screen), 0);
        EXPECT_EQ(test::largestDifference(QImage(path("out" + suffix + ".bmp")), screen), 0);
        // GIF keeps a page of greys exactly; with the watermark, the colours its blending
        // makes beyond 256 move to the nearest colour kept.
        EXPECT_EQ(test::largestDifference(QImage(path("clean" + suffix + ".gif")),
                                          renderPage(test::fonts(), twoPages().view, page, false)),
                  0);
        const QImage gif(path("out" + suffix + ".gif"));
        EXPECT_LE(test::largestDifference(gif, screen), 16);
        EXPECT_LT(test::differingPixels(gif, screen), screen.width() * screen.height() / 200);
        // JPEG is close everywhere: no pixel of ink or paper far off on average.
        const QImage jpeg =
            QImage(path("out" + suffix + ".jpg")).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(jpeg.size(), screen.size());
        double error = 0;
        for (int y = 0; y < jpeg.height(); y += 2)
            for (int x = 0; x < jpeg.width(); x += 2)
                error += std::abs(qGray(jpeg.pixel(x, y)) - qGray(screen.pixel(x, y)));
        EXPECT_LT(error / (jpeg.width() / 2 * (jpeg.height() / 2)), 1.0);
    }
}

TEST_F(PageExport, TheFirstDigitIsInkedWhereTheLayoutPlacesItInEveryFormat) {
    ScriptedPrompts prompts(dir.path());
    for (const char* name : {"out.png", "out.bmp", "out.gif", "out.jpg", "out.svg", "out.pdf"})
        exportTo(name, prompts);
    const QRect digit = firstDigitBox(twoPages().view);
    ASSERT_GT(digit.width(), 20);
    const QRect margin = digit.translated(-digit.width() - 20, 0);  // the blank left margin
    ASSERT_GE(margin.left(), 0);
    const int drawn = darkPixels(renderPage(test::fonts(), twoPages().view, 0), digit);
    ASSERT_GT(drawn, 100);
    const std::pair<const char*, QImage> pages[] = {
        {"png", QImage(path("out_2-1.png"))},
        {"bmp", QImage(path("out_2-1.bmp"))},
        {"gif", QImage(path("out_2-1.gif"))},
        {"jpg", QImage(path("out_2-1.jpg"))},
        {"svg", renderSvg(path("out_2-1.svg"))},
        {"pdf", pdfPage(path("out.pdf"), path("pdf-page"))},
    };
    for (const auto& [format, image] : pages) {
        SCOPED_TRACE(format);
        // A PDF sheet is whole points: 595 x 842, 2380 x 3368 pixels.
        ASSERT_GE(image.width(), 2380);
        ASSERT_GE(image.height(), 3367);
        EXPECT_NEAR(darkPixels(image, digit), drawn, drawn / 5);
        EXPECT_EQ(darkPixels(image, margin), 0);
    }
}

TEST_F(PageExport, APdfHasOneSheetPerPageAtThePaperSizeWithTextThatCanBeFound) {
    ScriptedPrompts prompts(dir.path());
    const ExportResult result = exportTo("score.pdf", prompts);
    EXPECT_EQ(result.files, QStringList{path("score.pdf")});
    EXPECT_EQ(files(), QStringList{"score.pdf"});
    const QString info = QString::fromUtf8(run("pdfinfo", {path("score.pdf")}));
    EXPECT_TRUE(info.contains(QRegularExpression("Pages: +2\n"))) << info.toStdString();
    // PDF sheets are whole points: 11906 x 16838 units is 595.3 x 841.9 points.
    EXPECT_TRUE(info.contains(QRegularExpression("Page size: +595 x 842 pts")))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title: +小星星"))));
    const QString text = QString::fromUtf8(run("pdftotext", {path("score.pdf"), "-"}));
    EXPECT_TRUE(text.contains(QStringLiteral("小星星")));
    EXPECT_TRUE(text.contains(QStringLiteral("Qanor简谱编辑器制谱")));
    EXPECT_TRUE(text.contains(QRegularExpression("2 ?- ?2"))) << text.toStdString();
    // Every font is embedded: of the last five columns of pdffonts, the first.
    const QStringList fonts = QString::fromUtf8(run("pdffonts", {path("score.pdf")}))
                                  .split('\n', Qt::SkipEmptyParts)
                                  .mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    const QRegularExpression columns(
        QStringLiteral(" (yes|no) +(yes|no) +(yes|no) +\\d+ +\\d+ *$"));
    for (const QString& font : fonts)
        EXPECT_EQ(columns.match(font).captured(1), "yes") << font.toStdString();
}

TEST_F(PageExport, NoThenCancelOnTheFirstOfTwoPagesWritesNothingAtAll) {
    writeAll(path("out_2-1.png"), "old");
    ScriptedPrompts prompts(dir.path());
    prompts.overwrite = {false};
    const ExportResult result = exportTo("out.png", prompts);
    EXPECT_EQ(prompts.log, QStringList({"exists: out_2-1.png", "save as: out_2-1.png [png] in ."}));
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.written, 0);
    EXPECT_EQ(files(), QStringList{"out_2-1.png"});
    EXPECT_EQ(readAll(path("out_2-1.png")), "old");
}

TEST_F(PageExport, YesOverwritesTheFileAndTheExportGoesOn) {
    writeAll(path("out_2-1.png"), "old");
    ScriptedPrompts prompts(dir.path());
    prompts.overwrite = {true};
    const ExportResult result = exportTo("out.png", prompts);
    EXPECT_EQ(prompts.log, QStringList{"exists: out_2-1.png"});
    EXPECT_EQ(result.written, 2);
    EXPECT_EQ(files(), QStringList({"out_2-1.png", "out_2-2.png"}));
    EXPECT_EQ(QImage(path("out_2-1.png")).size(), QSize(2381, 3367));
}

TEST_F(PageExport, NoThenAnotherNameWritesThePageThereInThatNamesFormat) {
    writeAll(path("out_2-1.png"), "old");
    ScriptedPrompts prompts(dir.path());
    prompts.otherNames = {"first.JPG"};
    const ExportResult result = exportTo("out.png", prompts);
    EXPECT_EQ(result.files, QStringList({path("first.JPG"), path("out_2-2.png")}));
    EXPECT_TRUE(readAll(path("first.JPG")).startsWith(magicOf("jpg")));
    EXPECT_EQ(readAll(path("out_2-1.png")), "old");
}

TEST_F(PageExport, APageRenamedToALaterPagesFileIsAskedAboutWhenThatPageComes) {
    // Page 1 goes where page 2 would; page 2 must not take that file without asking.
    writeAll(path("out_2-1.png"), "old");
    ScriptedPrompts prompts(dir.path());
    prompts.otherNames = {"out_2-2.png", "last.png"};
    exportTo("out.png", prompts);
    EXPECT_EQ(prompts.log, QStringList({"exists: out_2-1.png", "save as: out_2-1.png [png] in .",
                                        "exists: out_2-2.png", "save as: out_2-2.png [png] in ."}));
    EXPECT_EQ(files(), QStringList({"last.png", "out_2-1.png", "out_2-2.png"}));
    const QImage first = renderPage(test::fonts(), twoPages().view, 0);
    EXPECT_EQ(test::largestDifference(QImage(path("out_2-2.png")), first), 0);
}

TEST_F(PageExport, CallersThatCannotAskSkipExistingFiles) {
    writeAll(path("out_2-2.gif"), "old");
    ScriptedPrompts prompts(dir.path());
    prompts.renames = false;
    const ExportResult result = exportTo("out.gif", prompts);
    EXPECT_EQ(prompts.log, QStringList{"exists: out_2-2.gif"});
    EXPECT_EQ(result.written, 1);
    EXPECT_EQ(result.skipped, 1);
    EXPECT_TRUE(result.ok());  // a file left alone is the caller's choice, not a failure
    EXPECT_EQ(readAll(path("out_2-2.gif")), "old");
}

TEST_F(PageExport, AFailedPageIsReportedAndTheNextOneWritten) {
    ScriptedPrompts prompts(dir.path());
    // A folder that does not exist.
    const ExportResult missing = exportTo("missing/out.png", prompts);
    EXPECT_EQ(missing.failed, 2);
    EXPECT_EQ(prompts.log,
              QStringList({"failed: missing/out_2-1.png", "failed: missing/out_2-2.png"}));
    EXPECT_TRUE(files().isEmpty());
    // A page whose name is taken by a folder fails after Yes; nothing is left half-written
    // beside it and the next page is written.
    QDir(dir.path()).mkdir("out_2-1.png");
    prompts.log.clear();
    prompts.overwrite = {true};
    const ExportResult result = exportTo("out.png", prompts);
    EXPECT_EQ(prompts.log, QStringList({"exists: out_2-1.png", "failed: out_2-1.png"}));
    EXPECT_EQ(result.files, QStringList{path("out_2-2.png")});
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(files(), QStringList({"out_2-1.png", "out_2-2.png"}));
}

TEST_F(PageExport, APageRenamedToANameNoPageFormatHasFails) {
    writeAll(path("out_2-1.png"), "old");
    writeAll(path("out_2-2.png"), "old");
    writeAll(path("score.pdf"), "old");
    ScriptedPrompts prompts(dir.path());
    // Neither an unknown extension nor a format of the score rather than of its pages. Page
    // after page, so that each failure is told before the next question.
    prompts.otherNames = {"first.tiff", "second.mid"};
    ExportOptions oneByOne;
    oneByOne.threads = 1;
    ExportResult result = exportTo("out.png", prompts, oneByOne);
    EXPECT_EQ(result.failed, 2);
    // The pages of a PDF stay one document: another name must be a PDF too.
    prompts.otherNames = {"score.png"};
    result = exportTo("score.pdf", prompts);
    EXPECT_EQ(result.failed, 1);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(
        prompts.log,
        QStringList({"exists: out_2-1.png", "save as: out_2-1.png [png] in .", "failed: first.tiff",
                     "exists: out_2-2.png", "save as: out_2-2.png [png] in .", "failed: second.mid",
                     "exists: score.pdf", "save as: score_2.pdf [pdf] in .", "failed: score.png"}));
    EXPECT_EQ(files(), QStringList({"out_2-1.png", "out_2-2.png", "score.pdf"}));
    EXPECT_EQ(readAll(path("score.pdf")), "old");
}

TEST_F(PageExport, AViewWithNoPagesAsksAndWritesNothing) {
    PageView noPages;  // as a score not laid out in pages has
    writeAll(path("out_1-1.png"), "old");
    ScriptedPrompts prompts(dir.path());
    const ExportResult result = exportPagesOf(twoPages(), path("out.png"), prompts, {}, &noPages);
    EXPECT_EQ(result.written + result.failed + result.skipped, 0);
    EXPECT_TRUE(prompts.log.isEmpty());
    EXPECT_EQ(files(), QStringList{"out_1-1.png"});
}

TEST_F(PageExport, APageSizeNotAMultipleOfFiveLosesTheRemainder) {
    QeDocument doc = test::exportScore(4);
    doc.formatSettings().pageWidth = 11909;
    doc.formatSettings().pageHeight = 16843;
    LaidOutScore score(std::move(doc));
    ScriptedPrompts prompts(dir.path());
    exportPagesOf(score, path("odd.png"), prompts);
    EXPECT_EQ(QImage(path("odd_1-1.png")).size(), QSize(2381, 3368));
}

TEST_F(PageExport, APageTooLargeForABitmapFailsAsAnImageButNotAsAVectorDrawing) {
    // 100 inches square would take a 3.3 GB bitmap at 288 dpi.
    QeDocument doc = test::exportScore(4);
    doc.formatSettings().pageWidth = 144000;
    doc.formatSettings().pageHeight = 144000;
    LaidOutScore score(std::move(doc));
    ScriptedPrompts prompts(dir.path());
    EXPECT_EQ(exportPagesOf(score, path("huge.png"), prompts).failed, 1);
    EXPECT_EQ(exportPagesOf(score, path("huge.pdf"), prompts).written, 1);
    EXPECT_EQ(exportPagesOf(score, path("huge.svg"), prompts).written, 1);
    EXPECT_EQ(files(), QStringList({"huge.pdf", "huge_1-1.svg"}));
    EXPECT_TRUE(QString::fromUtf8(run("pdfinfo", {path("huge.pdf")})).contains("7200 x 7200 pts"));
}

TEST_F(PageExport, PagesDrawnSideBySideAreByteForByteThoseDrawnOneAfterAnother) {
    const auto score = test::scoreOfPages(5);
    for (const QString extension : {"png", "jpg", "gif", "bmp", "svg"}) {
        SCOPED_TRACE(extension.toStdString());
        ExportOptions sequential, parallel;
        sequential.threads = 1;
        parallel.threads = 2;
        QDir(dir.path()).mkpath(extension + "/one");
        QDir(dir.path()).mkpath(extension + "/two");
        ScriptedPrompts prompts(dir.path());
        exportPagesOf(*score, path(extension + "/one/p." + extension), prompts, sequential);
        exportPagesOf(*score, path(extension + "/two/p." + extension), prompts, parallel);
        EXPECT_TRUE(prompts.log.isEmpty());
        ASSERT_EQ(files(extension + "/one").size(), 5);
        ASSERT_EQ(files(extension + "/two"), files(extension + "/one"));
        for (const QString& name : files(extension + "/one"))
            EXPECT_EQ(readAll(path(extension + "/one/" + name)),
                      readAll(path(extension + "/two/" + name)))
                << name.toStdString();
    }
}

// A full page exported alone has its bands drawn at once, each on a thread of its own: the
// notes about the middle of the page are drawn by both. Drawing only reads the layout, so the
// page is byte for byte the one drawn band after band.
TEST_F(PageExport, TheBandsOfOnePageDrawnAtOnceGiveThePageDrawnAlone) {
    LaidOutScore full(test::exportScore(40));
    ASSERT_EQ(full.pages(), 1);
    ExportOptions alone, together;
    alone.threads = 1;
    together.threads = 2;
    QDir(dir.path()).mkpath("alone");
    QDir(dir.path()).mkpath("together");
    ScriptedPrompts prompts(dir.path());
    for (const char* extension : {"png", "gif"}) {
        SCOPED_TRACE(extension);
        exportPagesOf(full, path(QStringLiteral("alone/p.") + extension), prompts, alone);
        exportPagesOf(full, path(QStringLiteral("together/p.") + extension), prompts, together);
        const QString name = QStringLiteral("p_1-1.") + extension;
        EXPECT_EQ(readAll(path("alone/" + name)), readAll(path("together/" + name)));
    }
    EXPECT_TRUE(prompts.log.isEmpty());
}

TEST_F(PageExport, TheWatermarkCanBeLeftOff) {
    ScriptedPrompts prompts(dir.path());
    ExportOptions clean;
    clean.watermark = false;
    exportTo("clean.png", prompts, clean);
    exportTo("marked.png", prompts);
    const QImage without(path("clean_2-1.png"));
    const QImage with(path("marked_2-1.png"));
    EXPECT_EQ(
        test::largestDifference(without, renderPage(test::fonts(), twoPages().view, 0, false)), 0);
    EXPECT_GT(test::largestDifference(without, with), 0);
    // Without it, a page of black notes is all greys.
    bool grey = true;
    for (int y = 0; y < without.height() && grey; y += 3)
        for (int x = 0; x < without.width() && grey; x += 3)
            grey = qRed(without.pixel(x, y)) == qBlue(without.pixel(x, y));
    EXPECT_TRUE(grey);
}

}  // namespace
}  // namespace qe
