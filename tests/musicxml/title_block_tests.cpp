#include <gtest/gtest.h>

#include "musicxml/musicxml_support.h"

namespace qe::test {
namespace {

// A score of one measure with the given header elements (identification, credits) and the
// given music data before its note.
Imported titled(const QString& head, const QString& opening = QString()) {
    const Imported score = importBytes(scoreXml(
        {QStringLiteral("<attributes><divisions>1</divisions></attributes>") + opening +
         QStringLiteral("<note><pitch><step>C</step><octave>4</octave></pitch>"
                        "<duration>4</duration><type>whole</type></note>")},
        head));
    EXPECT_TRUE(score.ok()) << score.message.toStdString();
    return score;
}

QString centred(const char* words, int y, int size) {
    return QStringLiteral("<credit page=\"1\"><credit-words default-x=\"595\" default-y=\"%1\" "
                          "justify=\"center\" font-size=\"%2\">%3</credit-words></credit>")
        .arg(y)
        .arg(size)
        .arg(QString::fromUtf8(words));
}

QString typedTitle(const char* words) {
    return QStringLiteral("<credit page=\"1\"><credit-type>title</credit-type><credit-words "
                          "default-x=\"595\" default-y=\"1600\" justify=\"center\" "
                          "font-size=\"24\">%1</credit-words></credit>")
        .arg(QString::fromUtf8(words));
}

QString creators(std::initializer_list<std::pair<const char*, const char*>> list) {
    QString out = QStringLiteral("<identification>");
    for (const auto& [type, name] : list)
        out += QStringLiteral("<creator type=\"%1\">%2</creator>")
                   .arg(QString::fromLatin1(type), QString::fromUtf8(name));
    return out + QStringLiteral("</identification>");
}

// Beside a typed title, the centred lines under it are read for what they say: a "Words:"
// line names the lyricist (it was taken for the subtitle), the plain line is the subtitle.
TEST(TitleBlock, ALineNamingTheWordsUnderATypedTitleIsTheLyricist) {
    const Imported score = importFile(dataFile(QStringLiteral("title_words_credit.musicxml")));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    const doc_header& h = score.doc.header;
    EXPECT_EQ(h.title, u"Evening Prayer");
    EXPECT_EQ(h.subtitle, u"for two voices");
    EXPECT_EQ(h.author1, u"John Hatton");
    EXPECT_EQ(h.author2, u"Words: James Edmeston");

    // The same line is not printed a second time when the creators name the lyricist; an
    // untyped copy of the typed title is that title, not a subtitle.
    const Imported named =
        titled(creators({{"lyricist", "James Edmeston"}}) + typedTitle("Evening Prayer") +
               centred("Evening Prayer", 1600, 24) + centred("Words: James Edmeston", 1560, 12));
    EXPECT_EQ(named.doc.header.title, u"Evening Prayer");
    EXPECT_EQ(named.doc.header.subtitle, u"");
    EXPECT_EQ(named.doc.header.author2, u"James Edmeston");
}

// One person named as lyricist and as poet is printed once; two people are both printed.
TEST(TitleBlock, AnAuthorNamedUnderTwoTypesIsPrintedOnce) {
    EXPECT_EQ(titled(creators({{"lyricist", "Li Shutong"}, {"poet", "Li  Shutong "}}))
                  .doc.header.author2,
              u"Li Shutong");
    EXPECT_EQ(titled(creators({{"lyricist", "Li Shutong"}, {"poet", "Feng Zikai"}}))
                  .doc.header.author2,
              u"Li Shutong / Feng Zikai");
}

// The words over the first measure go beside the key unless the title block prints them
// already, from the creators or from any credit of the first page.
TEST(TitleBlock, OpeningWordsThatRepeatACreditAreNotPrintedAgain) {
    const auto words = [](const char* text) {
        return QStringLiteral("<direction placement=\"above\"><direction-type><words>%1"
                              "</words></direction-type></direction>")
            .arg(QString::fromUtf8(text));
    };
    const QString head = creators({{"lyricist", "James Edmeston"}}) + typedTitle("Evening Prayer") +
                         centred("for two voices", 1560, 12) +
                         centred("Words: James Edmeston", 1530, 10);
    EXPECT_EQ(titled(head, words("For two  voices")).doc.header.comment1, u"");
    EXPECT_EQ(titled(head, words("James Edmeston")).doc.header.comment1, u"");
    // The credit dropped for the creator's name is still printed on the file's page.
    EXPECT_EQ(titled(head, words("Words: James Edmeston")).doc.header.comment1, u"");
    EXPECT_EQ(titled(head, words("稍慢")).doc.header.comment1, u"稍慢");
    // A credit that is itself a direction ("Slowly") is not in the title block: the words
    // over the music are its only print.
    EXPECT_EQ(titled(head + centred("Slowly", 1500, 10), words("Slowly")).doc.header.comment1,
              u"Slowly");
}

}  // namespace
}  // namespace qe::test
