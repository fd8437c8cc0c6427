#pragma once

#include <QImage>
#include <QString>

#include <memory>
#include <string>

#include "cli/headless_host.h"
#include "engrave/page_view.h"
#include "engrave/score_layout.h"
#include "records/qe_document.h"
#include "support/notation.h"
#include "support/qt/test_fonts.h"

namespace qe::test {

// A new score titled `title` whose one track holds `measures` measures of four notes, the
// digits running 1 to 7 with an underlined pair and an octave dot now and then, closed by the
// final bar line.
inline QeDocument exportScore(int measures, const std::u16string& title = u"小星星") {
    QeDocument doc;
    doc.initNew(title);
    std::string text;
    for (int m = 0; m < measures; ++m) {
        const auto digit = [&](int i) { return std::to_string(1 + (m * 4 + i) % 7); };
        text += m % 3 == 1 ? digit(0) + "_ " + digit(1) + "_ " : digit(0) + " " + digit(1) + "' ";
        text += digit(2) + " " + digit(3) + (m + 1 == measures ? " |]" : " | ");
    }
    doc.firstNoteTrack().content.items = parseTrack(text);
    return doc;
}

// A score laid out in page mode with the real fonts measuring, as the command line and the
// window lay it out.
struct LaidOutScore {
    explicit LaidOutScore(const QeDocument& d) : score(scoreFrom(d)), view(*layout.pages()) {
        layout.update(*host.layoutSurface());
    }
    int pages() const { return view.childCount(); }

    std::unique_ptr<music::Score> score;
    HeadlessHost host{test::fonts()};
    ScoreLayout layout{*score, ScoreLayout::kPageMode};
    PageView& view;
};

// The smallest score of exportScore's kind that fills exactly `pages` pages.
inline std::unique_ptr<LaidOutScore> scoreOfPages(int pages) {
    int measures = 1;
    auto score = std::make_unique<LaidOutScore>(exportScore(measures));
    while (score->pages() < pages) {
        measures += 4;
        score = std::make_unique<LaidOutScore>(exportScore(measures));
    }
    return score;
}

// How far two images are apart: the largest difference of one colour component.
inline int largestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 256;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int largest = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            if (p[col] != q[col])
                largest = std::max({largest, std::abs(qRed(p[col]) - qRed(q[col])),
                                    std::abs(qGreen(p[col]) - qGreen(q[col])),
                                    std::abs(qBlue(p[col]) - qBlue(q[col]))});
    }
    return largest;
}

// How many pixels of two images of one size differ.
inline int differingPixels(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            count += x.pixel(col, row) != y.pixel(col, row);
    return count;
}

}  // namespace qe::test
