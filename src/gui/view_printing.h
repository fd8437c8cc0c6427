#pragma once

class QPrinter;

namespace qe {

class PageView;
class ScoreView;

// Printing the pages of a score window: 文件 > 打印 through the print dialog, 打印预览, and the
// pages themselves. A window in scroll mode has no pages: it prints one empty sheet.
void printScore(ScoreView& view, QPrinter& printer);
void previewScore(ScoreView& view, QPrinter& printer);
// Prints the printer's page range without asking (all pages with `allPages`); false when
// printing could not start.
bool printPages(ScoreView& view, QPrinter& printer, bool allPages = false);
int printablePages(ScoreView& view);
// The pages printing draws: the window's page layout, none in scroll mode.
PageView* printedPages(ScoreView& view);

}  // namespace qe
