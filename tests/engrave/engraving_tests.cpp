#include <gtest/gtest.h>

#include "engrave/measure.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::Editor;

int underlinesIn(Editor& ed, int m) {
    return static_cast<int>(static_cast<Measure*>(ed.measure(m))->underlines().size());
}

TEST(UnderlineGrouping, FollowsATimeSignatureChangedInTheTitleBlock) {
    Editor ed(test::scoreOf({"1_ 2_ 3_ 4_ 5_ 6_ |]"}));
    EXPECT_EQ(underlinesIn(ed, 0), 3);  // in 4/4, pairs
    doc_header header = ed.score().header();
    header.timeNumerator = 6;
    header.timeDenominator = 8;
    ed.view.changeHeader(header);
    EXPECT_EQ(underlinesIn(ed, 0), 2);  // in 6/8, threes
    header.timeNumerator = 3;
    ed.view.changeHeader(header);
    EXPECT_EQ(underlinesIn(ed, 0), 2);  // 3/8 counts the whole measure as its beat
}

}  // namespace
}  // namespace qe
