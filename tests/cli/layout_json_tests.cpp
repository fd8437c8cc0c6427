#include <gtest/gtest.h>

#include <QJsonArray>
#include <algorithm>
#include <QJsonObject>

#include "cli/layout_json.h"
#include "engrave/page_view.h"
#include "engrave/recording_surface.h"
#include "support/notation.h"

namespace qe {
namespace {

// A document laid out into pages, and its layout as JSON.
struct Laid {
    explicit Laid(const QeDocument& doc) : score(test::scoreFrom(doc)) {
        view.build(score.get());
        view.rebuild(g);
        json = pageLayoutToJson(view);
    }
    std::unique_ptr<music::Score> score;
    PageView view;
    RecordingSurface g;
    QJsonObject json;
};

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
                               repeated("6 6 6 6 |", 16) + "} |]"});
    const Laid laid(doc);
    const PageView& view = laid.view;
    const QJsonObject& json = laid.json;
    const std::vector<int>& ends = view.linear.lineStarts;
    const auto lineOf = [&](int measure) {
        return static_cast<int>(std::upper_bound(ends.begin(), ends.end(), measure) - ends.begin());
    };

    const QJsonArray lines = json["pages"].toArray()[0].toObject()["lines"].toArray();
    ASSERT_GE(lines.size(), 3);
    const int line = lineOf(5);
    const int first = line > 0 ? ends[static_cast<std::size_t>(line) - 1] : 0;
    const QJsonArray measures =
        lines[line].toObject()["tracks"].toArray()[0].toObject()["measures"].toArray();
    const QJsonArray underlines = measures[5 - first].toObject()["underlines"].toArray();
    ASSERT_EQ(underlines.size(), 1);  // the two eighths of measure 6, one beat
    EXPECT_EQ(underlines[0].toObject()["level"].toInt(), 0);
    EXPECT_EQ(underlines[0].toObject()["first"].toInt(), 0);
    EXPECT_EQ(underlines[0].toObject()["last"].toInt(), 1);

    // A tie is drawn in one piece per line it reaches: the tie from measure 6 to measure 7.
    const QJsonArray tie = json["arcs"].toArray()[0].toObject()["pieces"].toArray();
    ASSERT_EQ(tie.size(), lineOf(6) - lineOf(5) + 1);
    EXPECT_EQ(tie[0].toObject()["line"].toInt(), lineOf(5));
    const QJsonObject last = tie[tie.size() - 1].toObject()["box"].toObject();
    EXPECT_LT(last["left"].toInt(), last["right"].toInt());
    EXPECT_GT(last["top"].toInt(), last["bottom"].toInt());
    // The bracket over measures 8 to 24 runs on over each break.
    const QJsonArray bracket = json["jumpLines"].toArray()[0].toObject()["pieces"].toArray();
    ASSERT_EQ(bracket.size(), lineOf(23) - lineOf(7) + 1);
    ASSERT_GE(bracket.size(), 2);
    for (int i = 0; i < bracket.size(); ++i)
        EXPECT_EQ(bracket[i].toObject()["line"].toInt(), lineOf(7) + i);
}

// What a checker needs: the title block's texts by role with their boxes, where each element
// starts in the score, and the tracks of each system in order.
TEST(LayoutJson, TellsTextRolesMusicalStartsAndTheTracksOfEachSystem) {
    QeDocument doc = test::scoreOf({"1 #2_ 3_ 4 | 5 - 6 7 |", "1 |"}, u"Song");
    doc.header.author1 = u"Composer";
    const Laid laid(doc);
    const QJsonObject& json = laid.json;
    const QJsonObject page = json["pages"].toArray()[0].toObject();
    QStringList roles;
    for (const QJsonValue text : page["texts"].toArray()) {
        roles << text.toObject()["role"].toString();
        const QJsonObject box = text.toObject()["box"].toObject();
        EXPECT_LE(box["left"].toInt(), box["right"].toInt());
    }
    EXPECT_TRUE(roles.contains("title"));
    EXPECT_TRUE(roles.contains("author"));
    EXPECT_TRUE(roles.contains("key"));
    const QJsonObject line = page["lines"].toArray()[0].toObject();
    EXPECT_EQ(line["trackOrder"].toArray(), (QJsonArray{0, 1}));
    const QJsonArray measures =
        line["tracks"].toArray()[0].toObject()["measures"].toArray();
    std::vector<int> starts;
    for (const QJsonValue e : measures[0].toObject()["elements"].toArray())
        starts.push_back(e.toObject()["start"].toInt());
    // 1, the sharp and its 2 together, 3, 4.
    EXPECT_EQ(starts, (std::vector<int>{0, 1920, 1920, 2880, 3840}));
    // The first measure as written holds three beats.
    EXPECT_EQ(measures[1].toObject()["start"].toInt(), 3 * 1920);
    EXPECT_EQ(measures[1].toObject()["elements"].toArray()[1].toObject()["start"].toInt(),
              4 * 1920);  // the dash
}

}  // namespace
}  // namespace qe
