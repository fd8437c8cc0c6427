#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include "cli/layout_json.h"
#include "engrave/page_view.h"
#include "engrave/recording_surface.h"
#include "support/notation.h"

namespace qe {
namespace {

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text + " ";
    return out;
}

// Scripts check engraving from the layout JSON: each measure's underlines, and every drawn
// piece of each tie and bracket with the display line it is on.
TEST(LayoutJson, ListsUnderlinesAndTheDrawnPiecesOfShapes) {
    QeDocument doc =
        test::scoreWithShapes({repeated("1 2 3 4 |", 5) + "5_ 6_ 7 1'~ | 1' 2 3 4 | { 5 5 5 5 | " +
                               repeated("6 6 6 6 |", 6) + "} |]"});
    PageView view;
    const auto score = test::scoreFrom(doc);
    view.build(score.get());
    RecordingSurface g;
    view.rebuild(g);
    const QJsonObject json = pageLayoutToJson(view);

    const QJsonArray lines = json["pages"].toArray()[0].toObject()["lines"].toArray();
    ASSERT_GE(lines.size(), 3);
    const QJsonArray measures =
        lines[0].toObject()["tracks"].toArray()[0].toObject()["measures"].toArray();
    const QJsonArray underlines = measures[5].toObject()["underlines"].toArray();
    ASSERT_EQ(underlines.size(), 1);  // the two eighths of measure 6, one beat
    EXPECT_EQ(underlines[0].toObject()["level"].toInt(), 0);
    EXPECT_EQ(underlines[0].toObject()["first"].toInt(), 0);
    EXPECT_EQ(underlines[0].toObject()["last"].toInt(), 1);

    // The tie from the last note of line 0 to the first of line 1 is drawn in two pieces.
    const QJsonArray tie = json["arcs"].toArray()[0].toObject()["pieces"].toArray();
    ASSERT_EQ(tie.size(), 2);
    EXPECT_EQ(tie[0].toObject()["line"].toInt(), 0);
    EXPECT_EQ(tie[1].toObject()["line"].toInt(), 1);
    const QJsonObject second = tie[1].toObject()["box"].toObject();
    EXPECT_LT(second["left"].toInt(), second["right"].toInt());
    EXPECT_GT(second["top"].toInt(), second["bottom"].toInt());
    // The bracket runs on over a break too.
    const QJsonArray bracket = json["jumpLines"].toArray()[0].toObject()["pieces"].toArray();
    ASSERT_EQ(bracket.size(), 2);
    EXPECT_EQ(bracket[0].toObject()["line"].toInt(), 1);
    EXPECT_EQ(bracket[1].toObject()["line"].toInt(), 2);
}

}  // namespace
}  // namespace qe
