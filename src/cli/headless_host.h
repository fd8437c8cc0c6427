#pragma once

#include <QImage>

#include "edit/view_host.h"

namespace qe {

class FontBook;

// Hosts a view controller without a window, as the command line does: layout measures with
// the real fonts, the one view lays itself out after an edit, and a warning goes to stderr.
class HeadlessHost : public ViewHost {
public:
    explicit HeadlessHost(FontBook& fonts) : fonts_(fonts) {}

    std::unique_ptr<Surface> layoutSurface() override;
    void placeCaret(const Rect&) override {}
    void hideCaret() override {}
    void captureMouse(bool) override {}
    void scoreEdited() override {}
    void layoutChanged() override {}
    void warn(const std::u16string& text, const std::u16string& caption) override;
    void setStatusTexts(const std::u16string&, const std::u16string&,
                        const std::u16string&) override {}
    void repaintRegion(const std::vector<Rect>&) override {}

private:
    FontBook& fonts_;
    QImage scratch_{1, 1, QImage::Format_RGB32};
};

}  // namespace qe
