#include <gtest/gtest.h>

#include <random>

#include "edit/fragment.h"
#include "support/notation.h"

namespace qe {
namespace {

using music::Item;

using test::itemsOf;

// 一闪一闪 in two verses: the Chinese words on every digit, the English ones with hyphens and
// a digit left without.
Fragment twinkle() {
    Fragment f;
    f.items = itemsOf("1 1 5 5 | 6 6 5 - |");
    const std::u16string first[] = {u"一", u"闪", u"一", u"闪", u"亮", u"晶", u"晶"};
    const std::u16string second[] = {u"Twin-", u"kle", u"", u"lit-", u"tle", u"star,", u""};
    const int digits[] = {0, 1, 2, 3, 5, 6, 7};
    for (int k = 0; k < 7; ++k) {
        f.syllables.push_back({digits[k], 0, first[k]});
        if (!second[k].empty())
            f.syllables.push_back({digits[k], 1, second[k]});
    }
    return f;
}

TEST(JianpuTextWords, EachVerseIsALineOfWordsAfterTheNotesAndReadsBack) {
    const Fragment f = twinkle();
    const std::string text = toJianpuText(f);
    EXPECT_EQ(text,
              "1 1 5 5 | 6 6 5 - |\n"
              "1: 一 闪 一 闪 亮 晶 晶\n"
              "2: Twin- kle _ lit- tle star,");
    EXPECT_EQ(fromJianpuText(text), f);
}

TEST(JianpuTextWords, VersesWithGapsKeepEverySyllableOnItsDigit) {
    // Given: verse 1 on the last digit only, verse 3 on the second (verse 2 has none), and a
    // syllable on a rest, which the text has no place for.
    Fragment f;
    f.items = itemsOf("1 0 2 | 3 - |");
    f.syllables = {{0, 3, u"Ah"}, {1, 0, u"rest"}, {2, 2, u"la"}, {4, 0, u"end"}};
    const std::string text = toJianpuText(f);
    EXPECT_EQ(text, "1 0 2 | 3 - |\n1: _ _ end\n3: _ la\n4: Ah");
    // Then: all but the rest's syllable come back, each on its own digit.
    const std::optional<Fragment> back = fromJianpuText(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->syllables,
              (std::vector<Fragment::Syllable>{{0, 3, u"Ah"}, {2, 2, u"la"}, {4, 0, u"end"}}));
}

TEST(JianpuTextWords, ReadsWordsAsPeopleWriteThem) {
    // Full-width number and colon, Chinese without spaces, a hyphenated word, line breaks as
    // another system writes them.
    const std::optional<Fragment> f =
        fromJianpuText("1 2 3 | 5 - |\r\n１：两只老虎\r\n  2: A-maz-ing\n\n");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->items, itemsOf("1 2 3 | 5 - |"));
    EXPECT_EQ(f->syllables, (std::vector<Fragment::Syllable>{{0, 0, u"两"},
                                                             {0, 1, u"A-"},
                                                             {1, 0, u"只"},
                                                             {1, 1, u"maz-"},
                                                             {2, 0, u"老"},
                                                             {2, 1, u"ing"},
                                                             {4, 0, u"虎"}}));
    // A syllable with a space in it travels as one.
    Fragment spaced;
    spaced.items = itemsOf("1 2");
    spaced.syllables = {{0, 0, u"la la"}, {1, 0, u"天-"}};
    EXPECT_EQ(fromJianpuText(toJianpuText(spaced)), spaced);
    // Jianpu that merely looks alike stays notes.
    EXPECT_EQ(fromJianpuText("1:| 2")->items, itemsOf("1 :| 2"));
    EXPECT_FALSE(fromJianpuText("1 : 2"));
}

TEST(JianpuTextWords, WordsThatDoNotFitTheNotesAreRefusedWithTheirReason) {
    const auto why = [](const std::string& text) {
        std::string error;
        EXPECT_FALSE(fromJianpuText(text, &error)) << text;
        return error;
    };
    EXPECT_EQ(why("1 2 0 -\n1: a b c"), "more words in verse 1 than notes");
    EXPECT_EQ(why("1 2\n1: a\n1: b"), "the words of verse 1 given twice");
    EXPECT_NE(why("1 2\n0: a").find("numbered"), std::string::npos);
    EXPECT_NE(why("1 2\n100: a").find("numbered"), std::string::npos);
    EXPECT_NE(why("1 2\n99999999999999999999999: a").find("numbered"), std::string::npos);
    EXPECT_EQ(why("1\n1: " + std::string(kMostSyllableLength + 1, 'a')),
              "a word too long in verse 1");
    EXPECT_EQ(why("1: 天"), "more words in verse 1 than notes");
    EXPECT_TRUE(fromJianpuText("1\n99: " + std::string(kMostSyllableLength, 'a')));
    // A clipboard of a million words on one note is refused, not laid out.
    std::string huge = "1\n1:";
    for (int i = 0; i < 1'000'000; ++i)
        huge += " la";
    EXPECT_EQ(why(huge), "more words in verse 1 than notes");
}

TEST(FragmentTextWords, CarriesEverySyllableExactly) {
    Fragment f = twinkle();
    f.items = itemsOf("1 1 5 5 | 6 6 5 0 |");
    // Text the jianpu text cannot hold: on a rest, two Chinese characters and a hyphen inside,
    // line breaks and backslashes, an empty syllable, and two of one verse on a note.
    f.syllables.push_back({8, 0, u"休"});
    f.syllables.push_back({8, 5, u"老虎-a-b"});
    f.syllables.push_back({8, 98, u"a\\nb\nc\rd\\"});
    f.syllables.push_back({8, 98, u""});
    f.syllables.push_back({8, 98, u"again"});
    const std::string text = toFragmentText(f);
    EXPECT_EQ(text.substr(0, text.find('\n')), "qanoredit-fragment 2");
    EXPECT_NE(text.find("\nlyric 1 0 一\n"), std::string::npos);
    EXPECT_NE(text.find("\nlyric 99 8 a\\\\nb\\nc\\rd\\\\\n"), std::string::npos);
    EXPECT_EQ(fromFragmentText(text), f);
    // Line breaks turned into CR LF on the way keep the text as it was.
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::optional<Fragment> back = fromFragmentText(crlf);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->syllables, f.syllables);
}

TEST(FragmentTextWords, AFormWithoutWordsIsTheFirstVersionAndEveryVersionKnownPastes) {
    Fragment plain;
    plain.items = itemsOf("1 2 |");
    EXPECT_EQ(toFragmentText(plain), "qanoredit-fragment 1\n1 2 |\n");
    EXPECT_EQ(fromFragmentText("qanoredit-fragment 1\n1 2 |\ntie 0 1\n")->shapes.size(), 1u);
    EXPECT_EQ(fromFragmentText("qanoredit-fragment 2\n1 2 |\nlyric 1 1 re\n")->syllables,
              (std::vector<Fragment::Syllable>{{1, 0, u"re"}}));
    std::string why;
    EXPECT_FALSE(fromFragmentText("qanoredit-fragment 1\n1 2 |\nlyric 1 1 re\n", &why));
    EXPECT_EQ(why, "an unknown line in the fragment");
    EXPECT_FALSE(fromFragmentText("qanoredit-fragment 4\n1 2 |\n", &why));
    EXPECT_EQ(why, "a score fragment of a newer version of this editor");
    for (const char* first : {"qanoredit-fragment 0", "qanoredit-fragment", "qanoredit-fragment 2x",
                              "qanoredit-fragment -2", "qanoredit-fragment 99999999999999"}) {
        EXPECT_FALSE(fromFragmentText(std::string(first) + "\n1 2 |\n", &why)) << first;
        EXPECT_EQ(why, "not a score fragment of this editor");
    }
    // The notes line is notes only: words there are no words.
    EXPECT_FALSE(fromFragmentText("qanoredit-fragment 2\n1: la\n"));
}

TEST(FragmentTextWords, DamagedLinesOfWordsAreRefusedWithTheirReason) {
    const std::string head = "qanoredit-fragment 2\n1 2 | 3\nlyric 1 0 do\n";
    const auto why = [&](const std::string& line) {
        std::string error;
        EXPECT_FALSE(fromFragmentText(head + line + "\n", &error)) << line;
        return error;
    };
    EXPECT_TRUE(fromFragmentText(head + "lyric 2 0 \nlyric 1 3 mi"));
    EXPECT_EQ(why("lyric 1 2 bar"), "words that name no note of the fragment");
    EXPECT_EQ(why("lyric 1 4 past"), "words that name no note of the fragment");
    EXPECT_EQ(why("lyric 1 -1 x"), "words that name no note of the fragment");
    EXPECT_EQ(why("lyric 0 1 re"), "words of a verse numbered other than 1 to 99");
    EXPECT_EQ(why("lyric 100 1 re"), "words of a verse numbered other than 1 to 99");
    EXPECT_EQ(why("lyric 1 99999999999999999999 re"), "a damaged line of words");
    EXPECT_EQ(why("lyric 1 1"), "a damaged line of words");
    EXPECT_EQ(why("lyric x 1 re"), "a damaged line of words");
    EXPECT_EQ(why("lyric 1  1 re"), "a damaged line of words");
    EXPECT_EQ(why("lyric 1 1 a\\tb"), "words that are not text");
    EXPECT_EQ(why("lyric 1 1 ab\\"), "words that are not text");
    EXPECT_EQ(why("lyric 1 1 \xe4\xb8"), "words that are not text");
    EXPECT_EQ(why("lyric 1 1 " + std::string(kMostSyllableLength + 1, 'a')), "a word too long");
    // Out of order: a syllable before one already read.
    EXPECT_EQ(why("lyric 1 3 mi\nlyric 1 1 re"), "words out of order");
    EXPECT_EQ(why("lyric 2 1 re\nlyric 1 1 re"), "words out of order");
}

// What a paste relies on in a fragment it was given: every syllable on an item of it that is
// not a bar line, of a verse the window has, no longer than a syllable may be, in order.
bool wellFormedWords(const Fragment& f) {
    for (std::size_t k = 0; k < f.syllables.size(); ++k) {
        const Fragment::Syllable& s = f.syllables[k];
        if (s.item < 0 || static_cast<std::size_t>(s.item) >= f.items.size() ||
            f.items[static_cast<std::size_t>(s.item)].isBarLine() || s.verse < 0 ||
            s.verse >= kMostFragmentVerses || s.text.size() > kMostSyllableLength)
            return false;
        if (k > 0 && std::pair(s.item, s.verse) <
                         std::pair(f.syllables[k - 1].item, f.syllables[k - 1].verse))
            return false;
    }
    return true;
}

TEST(FragmentTextWords, DamagedClipboardsGiveWellFormedFragmentsOrAReason) {
    const std::string own = toFragmentText(twinkle());
    const std::string text = toJianpuText(twinkle());
    std::mt19937 rng(7);
    const std::string alphabet = "0123456789 :|_-\\n\nlyric\xe4\xb8\x80\xef\xbc\x9a";
    int accepted = 0;
    int refused = 0;
    const auto check = [&](const std::string& damaged) {
        for (const std::optional<Fragment>& f :
             {fromFragmentText(damaged), fromJianpuText(damaged)}) {
            if (!f) {
                ++refused;
                continue;
            }
            ++accepted;
            EXPECT_TRUE(wellFormedWords(*f)) << damaged;
        }
    };
    for (const std::string& whole : {own, text}) {
        for (std::size_t cut = 0; cut <= whole.size(); ++cut)
            check(whole.substr(0, cut));
        for (int i = 0; i < 3000; ++i) {
            std::string damaged = whole;
            for (int n = std::uniform_int_distribution<int>(1, 3)(rng); n > 0; --n) {
                const auto at =
                    std::uniform_int_distribution<std::size_t>(0, damaged.size() - 1)(rng);
                damaged[at] = alphabet[std::uniform_int_distribution<std::size_t>(
                    0, alphabet.size() - 1)(rng)];
            }
            check(damaged);
        }
    }
    // The damage both passed and was caught many times over.
    EXPECT_GT(accepted, 500);
    EXPECT_GT(refused, 2000);
}

}  // namespace
}  // namespace qe
