#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "export/page_export.h"
#include "gui/view_printing.h"
#include "gui_suites.h"
#include "gui_support.h"
#include "support/qt/test_fonts.h"

namespace qe::gui {

namespace {

// The sample score has two pages.
const char* const kSample = QE_SOURCE_DIR "/resources/samples/jasmine.qe";

int pdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return int(QString::fromLatin1(bytes).count(page));
}

// The box that holds every pixel darker than light grey.
QRect inkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 96)
                box |= QRect(x, y, 1, 1);
    return box;
}

void printToPdf(ScoreView* view, const QString& path, int from = 0, int to = 0) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(12, 15, 12, 15), QPageLayout::Millimeter);
    if (from > 0) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(from, to);
    }
    QVERIFY(printPages(*view, printer));
}

// Printing and print preview go through the same page drawing; a PDF file shows what it did.
class PrintingTests : public QObject {
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void printingToPdfGivesOneSheetPerPage() {
        EditorWindow ed;
        QVERIFY(ed.frame->openDocument(QString::fromUtf8(kSample)));
        const int pages = (*ed.controller().layout().pages()).childCount();
        QCOMPARE(pages, 2);
        QCOMPARE(printablePages(*ed.view()), pages);
        QTemporaryDir dir;
        const QString all = dir.filePath(QStringLiteral("all.pdf"));
        printToPdf(ed.view(), all);
        QCOMPARE(pdfPages(all), pages);
        const QString second = dir.filePath(QStringLiteral("second.pdf"));
        printToPdf(ed.view(), second, 2, 2);
        QCOMPARE(pdfPages(second), 1);
        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        if (!pdfinfo.isEmpty()) {
            QProcess info;
            info.start(pdfinfo, {all});
            QVERIFY(info.waitForFinished(30000));
            QVERIFY(QString::fromLatin1(info.readAllStandardOutput())
                        .contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\b"))));
        }
    }

    void printedPageStandsWhereTheExportedOneDoes() {
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftoppm.isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed");
        EditorWindow ed;
        QVERIFY(ed.frame->openDocument(QString::fromUtf8(kSample)));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
        // Wide margins: the page must still be placed from the paper's corner.
        printToPdf(ed.view(), pdf, 1, 1);
        QProcess render;
        render.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                                QStringLiteral("-singlefile"), pdf, dir.filePath("page")});
        QVERIFY(render.waitForFinished(60000));
        const QImage printed(dir.filePath(QStringLiteral("page.png")));
        QVERIFY(!printed.isNull());
        // The same page as an image at 288 dots per inch, brought to 72.
        const QImage exported =
            renderPage(test::fonts(), (*ed.controller().layout().pages()), 0)
                .scaled(printed.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QRect a = inkBox(printed);
        const QRect b = inkBox(exported);
        QVERIFY2(std::abs(a.left() - b.left()) <= 3 && std::abs(a.top() - b.top()) <= 3,
                 qPrintable(QStringLiteral("printed ink at %1,%2; exported at %3,%4")
                                .arg(a.left())
                                .arg(a.top())
                                .arg(b.left())
                                .arg(b.top())));
    }

    void printDialogPrintsToAPdfFile() {
        EditorWindow ed;
        QVERIFY(ed.frame->openDocument(QString::fromUtf8(kSample)));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("dialog.pdf"));
        QPair<int, int> range;
        whenModal<QPrintDialog>([&](QPrintDialog* dialog) {
            range = {dialog->minPage(), dialog->maxPage()};
            // The dialog's own choice of a PDF file instead of a printer.
            auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
            auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
            QVERIFY(printers && file);
            printers->setCurrentIndex(printers->count() - 1);
            file->setText(pdf);
            dialog->accept();
        });
        ed.frame->commands().action("filePrint")->trigger();
        QCOMPARE(range, qMakePair(1, 2));
        QCOMPARE(pdfPages(pdf), 2);
    }

    void previewShowsEveryPage() {
        EditorWindow ed;
        QVERIFY(ed.frame->openDocument(QString::fromUtf8(kSample)));
        int shown = -1;
        whenModal<QPrintPreviewDialog>([&shown](QPrintPreviewDialog* dialog) {
            if (auto* preview = dialog->findChild<QPrintPreviewWidget*>())
                shown = preview->pageCount();
            dialog->reject();
        });
        ed.frame->commands().action("filePrintPreview")->trigger();
        QCOMPARE(shown, 2);
    }

    void scrollModeOffersOneEmptySheet() {
        EditorWindow ed;
        QVERIFY(ed.frame->openDocument(QString::fromUtf8(kSample)));
        ed.frame->commands().action("viewScrollMode")->trigger();
        QCOMPARE(printablePages(*ed.view()), 1);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("scroll.pdf"));
        printToPdf(ed.view(), pdf);
        QCOMPARE(pdfPages(pdf), 1);
    }
};

}  // namespace

QObject* makePrintingTests() {
    return new PrintingTests;
}

}  // namespace qe::gui

#include "printing_tests.moc"
