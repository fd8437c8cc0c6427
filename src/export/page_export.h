#pragma once

#include <QString>
#include <QStringList>

#include "export/page_render.h"

namespace qe {

class FontBook;
class PageView;

// What an export asks the person exporting. The window answers with dialogs, the command
// line with its flags. Every call comes from the thread that called exportPages.
class ExportPrompts {
public:
    virtual ~ExportPrompts() = default;
    // The file exists: "文件 %s 已存在，\n您要覆盖该文件么？" (caption "文件已经存在", No the
    // default). true overwrites it.
    virtual bool confirmOverwrite(const QString& path) = 0;
    // Whether No is followed by chooseOtherPath. Callers that cannot ask (the command line)
    // answer false, and a page whose file exists and may not be overwritten is skipped.
    virtual bool offersOtherPath() const { return true; }
    // The second save dialog after No: initial file name `suggestedName` ("%s_%ld-%ld.%s"),
    // default extension `extension`. Returns the chosen full path, whose extension chooses the
    // format, or an empty string for Cancel, which stops the whole export.
    virtual QString chooseOtherPath(const QString& folder, const QString& suggestedName,
                                    const QString& extension) = 0;
    // "保存失败，请检查文件路径与扩展名。" for one file; the export goes on with the next page.
    virtual void reportFailure(const QString& path) = 0;
};

struct ExportOptions {
    bool watermark = true;
    // Pages drawn and encoded at once; 0 takes one per processor, 1 exports page after page.
    int threads = 0;
};

// Counts are of files: one per page, or the one PDF document.
struct ExportResult {
    int written = 0;
    int failed = 0;
    int skipped = 0;         // existing files left alone (offersOtherPath false)
    bool cancelled = false;  // the second save dialog was cancelled
    QStringList files;       // what was written, in page order
};

// Writes every page of a laid-out page view as files named from `chosenPath`, in the format
// its extension names in any case: JPEG, GIF, PNG or BMP images at 288 dots per inch and SVG
// drawings, one file per page named exportPagePath(chosenPath, pages, page); PDF, the one
// document `chosenPath` with a sheet per page. A view without pages (scroll mode) writes
// nothing and asks nothing. Files are written under a temporary name and renamed into place.
//
// Pages are drawn on worker threads while the prompts are asked here: the layout must not
// change until the export returns. Drawing only reads it, so a repaint of the same view
// meanwhile (a dialog's event loop) draws beside the workers.
ExportResult exportPages(FontBook& fonts, const PageView& view, const QString& chosenPath,
                         ExportPrompts& prompts, const ExportOptions& options = {});

// The name of page `page` (from 1) of `pages` for an export chosen as `chosen`: the chosen
// name's folder, then "<base>_<pages>-<page>.<extension>". song.png, 3 pages: song_3-1.png ...
QString exportPagePath(const QString& chosen, int pages, int page);

}  // namespace qe
