#pragma once

#include <QByteArray>
#include <QStringView>
#include <cstring>
#include <string_view>
#include <vector>

namespace qe::musicxml {

// Writes XML text straight into one growing byte buffer, without indentation. A large score is
// a million elements of a few bytes each; going through a stream writer's device and text
// encoder for each of them costs several times the writing itself.
//
// The text is what a QXmlStreamWriter without auto-formatting writes for the same calls: an
// element with nothing in it is closed as <name/>, one whose text was written (even an empty
// one) as <name></name>; texts escape < > & and ", attribute values also tab, line feed and
// carriage return. Element and attribute names are the caller's literals and are written as
// they stand. Texts must hold only characters XML can hold (see xmlText).
class XmlWriter {
public:
    // `capacity` bytes are reserved at once; the buffer grows beyond them as needed.
    explicit XmlWriter(qsizetype capacity);
    XmlWriter(const XmlWriter&) = delete;
    XmlWriter& operator=(const XmlWriter&) = delete;

    // The XML declaration, then `doctype` as it stands.
    void startDocument(std::string_view doctype);
    void startElement(std::string_view name);
    // An element with no content: attributes may follow, and it is closed by the next call.
    void emptyElement(std::string_view name);
    // An attribute of the element just started; `value` is UTF-8.
    void attribute(std::string_view name, std::string_view value);
    void attribute(std::string_view name, QStringView value);
    void attribute(std::string_view name, long long value);
    // Text inside the current element; `text` is UTF-8.
    void characters(std::string_view text);
    void characters(QStringView text);
    // An element holding only a text.
    void textElement(std::string_view name, std::string_view text);
    void textElement(std::string_view name, QStringView text);
    void textElement(std::string_view name, long long value);
    // Closes the innermost open element.
    void endElement();
    // Closes every open element, ends the document with a line break and hands over the text.
    QByteArray finish();

private:
    void put(std::string_view bytes) {
        if (static_cast<qsizetype>(bytes.size()) > end_ - at_)
            grow(static_cast<qsizetype>(bytes.size()));
        std::memcpy(at_, bytes.data(), bytes.size());
        at_ += bytes.size();
    }
    void put(char c) {
        if (at_ == end_)
            grow(1);
        *at_++ = c;
    }
    void putNumber(long long value);
    void grow(qsizetype needed);
    void escaped(std::string_view text, bool inAttribute);
    void escaped(QStringView text, bool inAttribute);
    void closeStartTag();

    enum class Open { None, Start, Empty };  // a start tag waiting for its > or />

    QByteArray bytes_;
    char* at_ = nullptr;  // where the next byte goes
    char* end_ = nullptr;
    Open open_ = Open::None;
    std::vector<std::string_view> elements_;  // the names of the open elements
};

// The calls made for every element of a score, inline so that the names, which are literals,
// are copied with their lengths known.

inline void XmlWriter::closeStartTag() {
    if (open_ == Open::Start)
        put('>');
    else if (open_ == Open::Empty)
        put("/>");
    open_ = Open::None;
}

inline void XmlWriter::startElement(std::string_view name) {
    closeStartTag();
    put('<');
    put(name);
    elements_.push_back(name);
    open_ = Open::Start;
}

inline void XmlWriter::emptyElement(std::string_view name) {
    closeStartTag();
    put('<');
    put(name);
    open_ = Open::Empty;
}

inline void XmlWriter::endElement() {
    if (elements_.empty())
        return;
    if (open_ == Open::Start) {
        put("/>");
        open_ = Open::None;
    } else {
        closeStartTag();
        put("</");
        put(elements_.back());
        put('>');
    }
    elements_.pop_back();
}

}  // namespace qe::musicxml
