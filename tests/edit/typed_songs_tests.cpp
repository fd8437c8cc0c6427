#include <gtest/gtest.h>

#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::Editor;
using test::parseTrack;

// Well-known public-domain melodies typed into a new document as a user would, key by key,
// in page mode. The new document's one empty measure keeps its final bar line at the end.
struct Song {
    const char* name;
    std::u32string keys;
    std::string expected;
};

class TypedSong : public ::testing::TestWithParam<Song> {};

TEST_P(TypedSong, GivesTheTrackRecordByRecord) {
    QeDocument doc;
    doc.initNew(u"Song");
    Editor ed(std::move(doc));
    ed.type(GetParam().keys);
    EXPECT_TRUE(ed.host.warnings.empty());
    EXPECT_EQ(ed.track(), parseTrack(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    PublicDomain, TypedSong,
    ::testing::Values(
        Song{"TwinkleTwinkle",
             U"1155\r665-\r4433\r221-\r5544\r332-\r5544\r332-\r1155\r665-\r4433\r221-",
             "1 1 5 5 | 6 6 5 - | 4 4 3 3 | 2 2 1 - | 5 5 4 4 | 3 3 2 - | 5 5 4 4 | 3 3 2 - | "
             "1 1 5 5 | 6 6 5 - | 4 4 3 3 | 2 2 1 - |]"},
        Song{"OdeToJoy", U"3345\r5432\r1123\r3.k2j2-\r3345\r5432\r1123\r2.k1j1-",
             "3 3 4 5 | 5 4 3 2 | 1 1 2 3 | 3 . 2_ 2 - | 3 3 4 5 | 5 4 3 2 | 1 1 2 3 | 2 . 1_ 1 - "
             "|]"},
        Song{"FrereJacques", U"1231\r1231\r345-\r345-\rk5654j31\rk5654j31\r1m5u1-\r1m5u1-|",
             "1 2 3 1 | 1 2 3 1 | 3 4 5 - | 3 4 5 - | 5_ 6_ 5_ 4_ 3 1 | 5_ 6_ 5_ 4_ 3 1 | "
             "1 5, 1 - | 1 5, 1 - || |]"},
        Song{"AmazingGraceWithAccidentalsAndBreath", U"m5u|1-k3.l1k3j.m2u|1-m6|5-v/u1sk2ffl3s4k5",
             "5, || 1 - 3_ . 1__ 3_ . 2, || 1 - 6, || 5, - v / 1 #2_ B3__ #4__ 5_ |]"}),
    [](const ::testing::TestParamInfo<Song>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qe
