#include "musicxml/xml_input.h"

#include <cmath>
#include <iterator>

#include "musicxml/musicxml_error.h"

namespace qe::musicxml {

namespace {

// The value of a text of one to nine ASCII digits, the form nearly every number of a score
// takes, read without the locale-aware conversion; -1 for any other text.
int plainDigits(QStringView text) {
    if (text.isEmpty() || text.size() > 9)
        return -1;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

}  // namespace

XmlInput::XmlInput(const QByteArray& bytes) {
    device_.setData(bytes);
    device_.open(QIODevice::ReadOnly);
    xml_.setDevice(&device_);
    xml_.setNamespaceProcessing(false);
    // Nothing in MusicXML needs entity expansion; a declared entity is refused below, and
    // this keeps any expansion small even before that check.
    xml_.setEntityExpansionLimit(1024);
}

void XmlInput::check() {
    if (xml_.hasError())
        fail(xml_.errorString());
    if (xml_.tokenType() == QXmlStreamReader::DTD && !xml_.entityDeclarations().isEmpty())
        fail(QStringLiteral("the file declares XML entities, which MusicXML does not use"));
}

QXmlStreamReader::TokenType XmlInput::next() {
    const QXmlStreamReader::TokenType token = xml_.readNext();
    if (token == QXmlStreamReader::Invalid || token == QXmlStreamReader::DTD)
        check();
    return token;
}

QString XmlInput::root() {
    while (!xml_.atEnd()) {
        if (next() == QXmlStreamReader::StartElement)
            return xml_.name().toString();
    }
    check();
    fail(QStringLiteral("the file holds no XML element"));
}

bool XmlInput::nextChild() {
    while (!xml_.atEnd()) {
        const QXmlStreamReader::TokenType token = next();
        if (token == QXmlStreamReader::StartElement)
            return true;
        if (token == QXmlStreamReader::EndElement)
            return false;
    }
    check();
    fail(QStringLiteral("the file ends inside an element"));
}

QStringView XmlInput::attribute(const char* name) const {
    // The view is into the reader's own copy of the attributes, which outlives the list
    // returned here.
    return xml_.attributes().value(QLatin1StringView(name));
}

bool XmlInput::hasAttribute(const char* name) const {
    return xml_.attributes().hasAttribute(QLatin1StringView(name));
}

QStringView XmlInput::textView(int limit) {
    // The text is kept in one buffer that keeps its capacity from element to element: a
    // standard string, which appends a few characters inline where a QString calls into Qt.
    text_.clear();
    int depth = 0;
    while (!xml_.atEnd()) {
        const QXmlStreamReader::TokenType token = next();
        if (token == QXmlStreamReader::Characters && depth == 0) {
            if (std::ssize(text_) < limit) {
                const QStringView text = xml_.text().left(limit - std::ssize(text_));
                text_.append(text.utf16(), static_cast<std::size_t>(text.size()));
            }
        } else if (token == QXmlStreamReader::StartElement) {
            ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth-- == 0)
                return text_;
        }
    }
    check();
    fail(QStringLiteral("the file ends inside an element"));
}

QString XmlInput::text(int limit) {
    QString out = xml_.readElementText(QXmlStreamReader::IncludeChildElements);
    check();
    if (out.size() > limit)
        out.truncate(limit);
    return out;
}

double XmlInput::number() {
    const QStringView value = textView(64).trimmed();
    if (const int plain = plainDigits(value); plain >= 0)
        return plain;
    bool ok = false;
    const double result = value.toDouble(&ok);
    // The reader stands on the element's end, which names it.
    if (!ok || !std::isfinite(result))
        fail(QStringLiteral("<%1> \"%2\" is not a number").arg(xml_.name(), value));
    return result;
}

int XmlInput::integer() {
    const QStringView value = textView(64).trimmed();
    if (const int plain = plainDigits(value); plain >= 0)
        return plain;
    bool ok = false;
    const int result = value.toInt(&ok);
    if (!ok)
        fail(QStringLiteral("<%1> \"%2\" is not a whole number").arg(xml_.name(), value));
    return result;
}

void XmlInput::skip() {
    xml_.skipCurrentElement();
    check();
}

bool XmlInput::finish() {
    while (!xml_.atEnd()) {
        xml_.readNext();
        if (xml_.hasError())
            return false;
    }
    return true;
}

void XmlInput::fail(const QString& what) const {
    throw MusicXmlError{QStringLiteral("line %1, column %2: %3")
                            .arg(xml_.lineNumber())
                            .arg(xml_.columnNumber())
                            .arg(what)};
}

}  // namespace qe::musicxml
