#include <gtest/gtest.h>

#include "edit/fragment.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using music::Item;

using test::itemsOf;

TEST(JianpuText, ATypedSongReadsBackAsTheSameNotes) {
    QeDocument doc;
    doc.initNew(u"Song");
    test::Editor ed(std::move(doc));
    ed.type(U"m5u|1-k3.l1k3j.m2u|1-m6|5-v/u1sk2ffl3s4k5rj6(7)0");
    ed.view.caret.selectionAnchor = ed.at(0, 0);
    ed.view.caret.selectionEnd = ed.end(ed.score().measureCount(0) - 1);
    const Fragment song = test::copied(ed.view);
    const std::string text = toJianpuText(song);
    EXPECT_EQ(text,
              "5, || 1 - 3_ . 1__ 3_ . 2, || 1 - 6, || 5, - v / 1 #2_ bb3__ #4__ 5_ n6 ( 7 ) 0");
    const std::optional<Fragment> back = fromJianpuText(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->items, song.items);
}

TEST(JianpuText, ReadsWhatPeopleWriteInChats) {
    EXPECT_EQ(fromJianpuText("3356|1165|")->items, itemsOf("3 3 5 6 | 1 1 6 5 |"));
    EXPECT_EQ(fromJianpuText("３３５６｜１１６５｜\n5 - - -")->items,
              itemsOf("3 3 5 6 | 1 1 6 5 | 5 - - -"));
    EXPECT_EQ(fromJianpuText("1' 2'' 3, 4_ 5__ #6 b7 bb1 x2 n3 0_ |: :| |. |] |! || /")->items,
              itemsOf("1' 2'' 3, 4_ 5__ #6 b7 B1 x2 n3 0_ |: :| |. |] |1 || /"));
    EXPECT_TRUE(fromJianpuText("")->empty());
}

TEST(JianpuText, RefusesWhatIsNotJianpu) {
    std::string why;
    EXPECT_FALSE(fromJianpuText("hello", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(fromJianpuText("1 2 8"));
    EXPECT_FALSE(fromJianpuText("1 : 2"));
    EXPECT_FALSE(fromJianpuText("\xff\xfe 1"));
    EXPECT_FALSE(fromJianpuText("\xe4\xb8"));  // a cut-off character
    EXPECT_FALSE(fromJianpuText("我爱你"));
    std::string huge;
    for (std::size_t i = 0; i <= kMostFragmentItems; ++i)
        huge += "1 ";
    EXPECT_FALSE(fromJianpuText(huge));
}

TEST(FragmentText, CarriesTiesAndBracketsAndRefusesDamage) {
    Fragment f;
    f.items = itemsOf("1 1 | 2 3 |");
    f.shapes = {{true, 0, 1, {}}, {false, 2, 5, u"1.二"}};
    const std::string text = toFragmentText(f);
    EXPECT_EQ(fromFragmentText(text), f);
    EXPECT_FALSE(fromFragmentText("1 1 |"));  // plain jianpu is not the editor's form
    const std::string head = "qanoredit-fragment 1\n1 1 | 2 3 |\n";
    EXPECT_TRUE(fromFragmentText(head + "tie 0 1\n"));
    EXPECT_FALSE(fromFragmentText(head + "tie 0 9\n"));        // past the notes
    EXPECT_FALSE(fromFragmentText(head + "tie 1 0\n"));        // backwards
    EXPECT_FALSE(fromFragmentText(head + "tie 0 2\n"));        // onto a bar line
    EXPECT_FALSE(fromFragmentText(head + "bracket 0 2 x\n"));  // from a note
    EXPECT_FALSE(fromFragmentText(head + "tie -1 1\n"));
    EXPECT_FALSE(fromFragmentText(head + "tie 99999999999999999999 1\n"));
    EXPECT_FALSE(fromFragmentText(head + "slur 0 1\n"));
    EXPECT_FALSE(fromFragmentText(head + "bracket 2 5 " + std::string(1000, 'x') + "\n"));
    EXPECT_FALSE(fromFragmentText("qanoredit-fragment 1"));
}

}  // namespace
}  // namespace qe
