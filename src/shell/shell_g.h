#pragma once

#include "draw/qt/g.h"

namespace qe {

// The surface the window draws the score through, on screen and on paper: G, with the page
// watermark left out when the user has switched it off. The page keeps its layout either
// way; only the pale logo is not drawn.
class ShellG : public G {
public:
    ShellG(QPainter& painter, double dotsPerInch, int originX, int originY, int left, int top,
           int right, int bottom, bool noPageFrame, bool watermark)
        : G(painter, dotsPerInch, originX, originY, left, top, right, bottom, noPageFrame),
          watermark_(watermark) {}

    void drawWatermark(int x, int y) override {
        if (watermark_)
            G::drawWatermark(x, y);
    }

private:
    bool watermark_;
};

}  // namespace qe
