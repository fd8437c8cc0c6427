#include <gtest/gtest.h>

#include "music/pitch.h"
#include "support/error_code.h"

namespace qe::music {
namespace {

TEST(KeySignature, EverySignatureGivesTheMajorKeyWithThatManySharpsOrFlats) {
    for (int fifths = -8; fifths <= 12; ++fifths) {
        const Key key = Key::fromFifths(fifths);
        // The signature counts the alterations of the key's own scale.
        int alterations = 0;
        for (int degree = 1; degree <= 7; ++degree)
            alterations += key.pitchOf(degree, 0).alter;
        EXPECT_EQ(alterations, fifths);
        EXPECT_EQ(key.fifths(), fifths);
    }
    EXPECT_EQ(Key::fromFifths(0), Key(0, 0));
    EXPECT_EQ(Key::fromFifths(-1), Key(3, 0));   // 1=F
    EXPECT_EQ(Key::fromFifths(-3), Key(2, -1));  // 1=bE, the relative major of C minor
    EXPECT_EQ(Key::fromFifths(6), Key(3, 1));    // 1=#F
    EXPECT_EQ(Key::fromFifths(-6), Key(4, -1));  // 1=bG
    EXPECT_EQ(test::codeOf([] { Key::fromFifths(13); }), kOutOfRange);
    EXPECT_EQ(test::codeOf([] { Key::fromFifths(-9); }), kOutOfRange);
}

TEST(KeySignature, TheTitleBlockHoldsEveryKey) {
    for (int fifths = -8; fifths <= 12; ++fifths) {
        const Key key = Key::fromFifths(fifths);
        doc_header header;
        key.toTitle(header);
        EXPECT_EQ(Key::fromTitle(header), key) << fifths;
    }
    doc_header header;
    Key(4, 0).toTitle(header);
    EXPECT_EQ(header.keyLetter, 6);  // G
    EXPECT_EQ(header.keyAccidental, 0);
    Key(6, -1).toTitle(header);
    EXPECT_EQ(header.keyLetter, 1);  // bB
    EXPECT_EQ(header.keyAccidental, 2);
}

}  // namespace
}  // namespace qe::music
