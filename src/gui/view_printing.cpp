#include "gui/view_printing.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "engrave/page_view.h"
#include "export/score_printer.h"
#include "gui/score_view.h"
#include "gui/ui_text.h"

namespace qe {

PageView* printedPages(ScoreView& view) {
    ScoreEditor& editor = view.controller();
    return editor.mode() == ScoreEditor::kPageMode ? editor.layout().pages() : nullptr;
}

int printablePages(ScoreView& view) {
    return ScorePrinter(view.fonts(), printedPages(view), view.watermarkShown()).pageCount();
}

bool printPages(ScoreView& view, QPrinter& printer, bool allPages) {
    return ScorePrinter(view.fonts(), printedPages(view), view.watermarkShown())
        .print(printer, allPages);
}

void printScore(ScoreView& view, QPrinter& printer) {
    const int pages = printablePages(view);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(1, pages);
    QPrintDialog dialog(&printer, &view);
    dialog.setMinMax(1, pages);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printPages(view, printer);
}

void previewScore(ScoreView& view, QPrinter& printer) {
    QPrintPreviewDialog preview(&printer, &view);
    preview.setWindowTitle(ui("打印预览"));
    // Large enough to read a page.
    if (QWidget* top = view.window())
        preview.resize(top->size() * 9 / 10);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &view,
                     [&view](QPrinter* target) { printPages(view, *target, true); });
    preview.exec();
}

}  // namespace qe
