#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <random>
#include <string>

#include "cli/headless_host.h"
#include "edit/score_editor.h"
#include "edit/score_session.h"
#include "engrave/node.h"
#include "painter/painter_surface.h"
#include "support/notation.h"
#include "support/qt/test_fonts.h"

namespace qe {
namespace {

constexpr int kUnitsPerPixel = 15;  // at 96 dots per inch, as the window shows a score

// The whole root of the editor's layout as the window paints it.
QImage paintedRoot(const ScoreEditor& editor) {
    const Node& root = editor.currentRoot();
    QImage image(std::abs(root.style.width) / kUnitsPerPixel + 1,
                 std::abs(root.style.height) / kUnitsPerPixel + 1, QImage::Format_RGB32);
    image.fill(Qt::lightGray);
    QPainter painter(&image);
    PainterSurface g(test::fonts(), painter, 96, 0, 0, 0, 0, root.style.width, root.style.height,
                     false);
    editor.paintAll(g);
    return image;
}

// The pixels the window repaints after an edit: the layout's changed rectangles, as the window
// turns them into pixels, one pixel wider on each side.
QRegion repainted(const ScoreEditor& editor) {
    QRegion area;
    for (const Rect& r : editor.layout().changed()) {
        const QPoint a(r.left / kUnitsPerPixel, -r.top / kUnitsPerPixel);
        const QPoint b(r.right / kUnitsPerPixel, -r.bottom / kUnitsPerPixel);
        area += QRect(a, b).normalized().adjusted(-1, -1, 1, 1);
    }
    return area;
}

// The window paints only what the layout says changed, so a pixel that changes outside it
// would stay stale on screen. Random keys at random places, in both modes.
TEST(RepaintRegion, EveryPixelAnEditChangesLiesInWhatTheLayoutSaysChanged) {
    std::string melody;
    for (int i = 0; i < 10; ++i)
        melody += "1 2_ 3_ 4' 5 | 6 - 7, 1 | ";
    const std::u32string keys = U"1234567\b\b\b\r|-.kl0";
    for (int mode : {ScoreEditor::kPageMode, ScoreEditor::kScrollMode}) {
        ScoreSession session;
        session.load(test::scoreOf({melody + "1 - - - |]", "1 2 3 4 | 5 - - - |]"}));
        HeadlessHost host(test::fonts());
        ScoreEditor editor(&host);
        editor.setMode(mode);
        editor.attach(&session);
        editor.relayout();
        std::mt19937 rng(static_cast<unsigned>(mode) + 11);
        QImage before = paintedRoot(editor);
        for (int step = 0; step < 60; ++step) {
            for (int moves = rng() % 12; moves > 0; --moves)
                editor.caretRight();
            editor.onChar(keys[rng() % keys.size()]);
            const QImage after = paintedRoot(editor);
            if (after.size() != before.size()) {  // the window grows: everything is shown anew
                before = after;
                continue;
            }
            const QRegion area = repainted(editor);
            for (int y = 0; y < after.height(); ++y) {
                const auto* was = reinterpret_cast<const QRgb*>(before.constScanLine(y));
                const auto* is = reinterpret_cast<const QRgb*>(after.constScanLine(y));
                for (int x = 0; x < after.width(); ++x)
                    ASSERT_TRUE(was[x] == is[x] || area.contains(QPoint(x, y)))
                        << "mode " << mode << " step " << step << ": pixel (" << x << ", " << y
                        << ") changed outside the repainted region";
            }
            before = after;
        }
    }
}

}  // namespace
}  // namespace qe
