#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engrave/geometry.h"
#include "engrave/surface.h"

namespace qe {

// What a view controller needs from the window that hosts it. The window implements it with
// its device context and widgets; tests and the command line implement it without a screen.
class ViewHost {
public:
    virtual ~ViewHost() = default;

    // A surface that measures text as the window's mapping does, for laying out.
    virtual std::unique_ptr<Surface> layoutSurface() = 0;
    // Shows the system caret over a rectangle in logical units, scrolled into view.
    virtual void placeCaret(const Rect& logical) = 0;
    virtual void hideCaret() = 0;
    virtual void captureMouse(bool captured) = 0;
    // The score was changed through this view: the document counts as modified and the other
    // views on it follow. Must not throw; the editor lays its own view out next.
    virtual void scoreEdited() = 0;
    // This view's layout was made again after an edit: the window repaints.
    virtual void layoutChanged() = 0;
    // A warning message box with an OK button.
    virtual void warn(const std::u16string& text, const std::u16string& caption) = 0;
    // The three input-state texts of the status bar.
    virtual void setStatusTexts(const std::u16string& accidental, const std::u16string& octave,
                                const std::u16string& duration) = 0;
    // Inverts the colours of a region given as rectangles in logical units.
    virtual void repaintRegion(const std::vector<Rect>& logical) = 0;
};

}  // namespace qe
