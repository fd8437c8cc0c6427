#include <gtest/gtest.h>

#include <QXmlStreamWriter>
#include <random>
#include <string>

#include "musicxml/xml_text.h"
#include "musicxml/xml_writer.h"

namespace qe::test {
namespace {

using musicxml::XmlWriter;

// The same calls made on the direct writer and on Qt's stream writer, whose text the export
// wrote before and whose text it keeps.
class BothWriters {
public:
    explicit BothWriters(qsizetype capacity) : direct_(capacity), stream_(&streamed_) {
        stream_.setAutoFormatting(false);
        direct_.startDocument("<!DOCTYPE score>");
        stream_.writeStartDocument();
        stream_.writeDTD(QStringLiteral("<!DOCTYPE score>"));
    }

    void start(const char* name) {
        direct_.startElement(name);
        stream_.writeStartElement(QLatin1String(name));
        ++depth_;
    }
    void empty(const char* name) {
        direct_.emptyElement(name);
        stream_.writeEmptyElement(QLatin1String(name));
    }
    void attribute(const char* name, const QString& value) {
        direct_.attribute(name, value);
        stream_.writeAttribute(QLatin1String(name), value);
    }
    void attribute(const char* name, long long value) {
        direct_.attribute(name, value);
        stream_.writeAttribute(QLatin1String(name), QString::number(value));
    }
    void characters(const QString& text) {
        direct_.characters(text);
        stream_.writeCharacters(text);
    }
    void textElement(const char* name, const QString& text) {
        direct_.textElement(name, text);
        stream_.writeTextElement(QLatin1String(name), text);
    }
    void textElement(const char* name, long long value) {
        direct_.textElement(name, value);
        stream_.writeTextElement(QLatin1String(name), QString::number(value));
    }
    void end() {
        direct_.endElement();
        stream_.writeEndElement();
        --depth_;
    }
    int depth() const { return depth_; }

    // Both texts, the document ended.
    std::pair<QByteArray, QByteArray> finish() {
        const QByteArray direct = direct_.finish();
        stream_.writeEndDocument();
        EXPECT_FALSE(stream_.hasError());
        return {direct, streamed_};
    }

private:
    XmlWriter direct_;
    QByteArray streamed_;
    QXmlStreamWriter stream_;
    int depth_ = 0;
};

// A text of characters a score may hold, as the export hands them over: markup characters,
// white space, letters beyond Latin-1 and outside the Basic Multilingual Plane, and characters
// XML cannot hold, replaced as the export replaces them.
QString randomText(std::mt19937& rng) {
    static const char16_t* const kPieces[] = {
        u"<",  u">",          u"&",   u"\"",    u"'",    u"\t",     u"\n",
        u"\r", u" ",          u"a",   u"Z",     u"7",    u"-",      u"é",
        u"啊", u"\U0001F3B5", u"]]>", u"&amp;", u"\x01", u"\xFFFE", u"\xD800"};
    QString text;
    const int length = static_cast<int>(rng() % 6);
    for (int i = 0; i < length; ++i)
        text += QString::fromUtf16(kPieces[rng() % std::size(kPieces)]);
    bool changed = false;
    return musicxml::xmlText(text, changed);
}

TEST(XmlWriter, WritesWhatTheStreamWriterWritesForRandomDocuments) {
    static const char* const kNames[] = {"note", "pitch", "lyric", "credit-words", "a"};
    int escapedAttributes = 0, emptyElements = 0, emptyTexts = 0, nested = 0;
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        // A small buffer on odd seeds, so that it grows many times.
        BothWriters both(seed % 2 ? 1 : 1 << 16);
        both.start("score");
        for (int step = 0; step < 200; ++step) {
            const char* name = kNames[rng() % std::size(kNames)];
            switch (rng() % 8) {
                case 0:
                case 1:
                    both.start(name);
                    if (rng() % 2)
                        both.attribute("number", static_cast<long long>(rng() % 2000) - 1000);
                    if (rng() % 2)
                        both.attribute("type", randomText(rng));
                    nested += both.depth() > 3 ? 1 : 0;
                    break;
                case 2:
                    both.empty(name);
                    if (rng() % 2)
                        both.attribute("type", randomText(rng));
                    ++emptyElements;
                    break;
                case 3: {
                    const QString text = randomText(rng);
                    emptyTexts += text.isEmpty() ? 1 : 0;
                    both.textElement(name, text);
                    break;
                }
                case 4:
                    both.textElement(name, static_cast<long long>(rng()) - (1LL << 31));
                    break;
                case 5:
                    both.characters(randomText(rng));
                    break;
                default:
                    if (both.depth() > 1)
                        both.end();
                    break;
            }
        }
        const auto [direct, streamed] = both.finish();
        ASSERT_EQ(direct.toStdString(), streamed.toStdString());
        escapedAttributes += direct.count("=\"&#10;") + direct.count("&#9;\"");
    }
    // The documents held what the comparison is about.
    EXPECT_GT(escapedAttributes, 10);
    EXPECT_GT(emptyElements, 1000);
    EXPECT_GT(emptyTexts, 100);
    EXPECT_GT(nested, 1000);
}

TEST(XmlWriter, ClosesEveryOpenElementAtTheEnd) {
    XmlWriter xml(0);
    xml.startDocument("");
    xml.startElement("score");
    xml.startElement("part");
    xml.textElement("name", u"P&1");
    xml.emptyElement("rest");
    EXPECT_EQ(xml.finish(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
              "<score><part><name>P&amp;1</name><rest/></part></score>\n");
}

}  // namespace
}  // namespace qe::test
