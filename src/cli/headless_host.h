#pragma once

#include <QImage>

#include "edit/view_host.h"

namespace qe {

class FontBook;
class ScoreEditor;

// Hosts a view controller without a window, as the command line does: layout measures with
// the real fonts, a document update lays the one view out again, and a warning goes to stderr.
class HeadlessHost : public ViewHost {
public:
    explicit HeadlessHost(FontBook& fonts) : fonts_(fonts) {}

    std::unique_ptr<BaseGDI> layoutSurface() override;
    void placeCaret(const Rect&) override {}
    void hideCaret() override {}
    void captureMouse(bool) override {}
    void updateAllViews() override;
    void warn(const std::u16string& text, const std::u16string& caption) override;
    void setStatusTexts(const std::u16string&, const std::u16string&,
                        const std::u16string&) override {}
    void invertRegion(const std::vector<Rect>&) override {}

    ScoreEditor* view = nullptr;  // the one view on the document

private:
    FontBook& fonts_;
    QImage scratch_{1, 1, QImage::Format_RGB32};
};

}  // namespace qe
