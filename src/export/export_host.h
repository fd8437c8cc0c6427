#pragma once

#include <QString>

namespace qe {

class FontBook;
class LinearView;
class PageView;

// What an export asks and tells the person exporting. The window answers with dialogs, the
// command line with its flags. Every call comes from the thread that called the export.
class ExportPrompts {
public:
    virtual ~ExportPrompts() = default;
    // The file exists: "文件 %s 已存在，\n您要覆盖该文件么？" (caption "文件已经存在", No the
    // default). true overwrites it.
    virtual bool confirmOverwrite(const QString& path) = 0;
    // Whether No to a page is followed by chooseOtherPath. Callers that cannot ask (the
    // command line) answer false, and a page whose file exists and may not be overwritten is
    // skipped.
    virtual bool offersOtherPath() const { return true; }
    // The second save dialog after No: initial file name `suggestedName` ("%s_%ld-%ld.%s"),
    // default extension `extension`. Returns the chosen full path, whose extension chooses the
    // page format, or an empty string for Cancel, which stops the whole export.
    virtual QString chooseOtherPath(const QString& folder, const QString& suggestedName,
                                    const QString& extension) = 0;
    // "保存失败，请检查文件路径与扩展名。" for one file; the export goes on with the next page.
    virtual void reportFailure(const QString& path) = 0;
};

// What a write takes from the program that exports, the window or the command line, besides
// the score and the options: the fonts that draw, the score laid out as the format draws it,
// and the prompts. A format asks only for what it needs, so a host lays out on demand.
class ExportHost {
public:
    virtual ~ExportHost() = default;
    virtual FontBook& fonts() = 0;
    // The score laid out on pages. Null when there are none to draw: a window in scroll view,
    // or a layout that failed (the host has said why).
    virtual const PageView* pages() = 0;
    // The score laid out as the one strip of scroll mode; null likewise.
    virtual const LinearView* strip() = 0;
    virtual ExportPrompts& prompts() = 0;
};

// A host over layouts already made: a window's pages, a test's or a benchmark's.
class LaidOutExportHost : public ExportHost {
public:
    LaidOutExportHost(FontBook& fonts, ExportPrompts& prompts, const PageView* pages,
                      const LinearView* strip = nullptr)
        : fonts_(fonts), prompts_(prompts), pages_(pages), strip_(strip) {}

    FontBook& fonts() override { return fonts_; }
    const PageView* pages() override { return pages_; }
    const LinearView* strip() override { return strip_; }
    ExportPrompts& prompts() override { return prompts_; }

private:
    FontBook& fonts_;
    ExportPrompts& prompts_;
    const PageView* pages_;
    const LinearView* strip_;
};

}  // namespace qe
