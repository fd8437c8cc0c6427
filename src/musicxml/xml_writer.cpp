#include "musicxml/xml_writer.h"

#include <QStringEncoder>
#include <charconv>
#include <string>

namespace qe::musicxml {

XmlWriter::XmlWriter(qsizetype capacity) {
    bytes_.resize(std::max<qsizetype>(capacity, 64));
    at_ = bytes_.data();
    end_ = at_ + bytes_.size();
    elements_.reserve(16);
}

void XmlWriter::grow(qsizetype needed) {
    const qsizetype used = at_ - bytes_.data();
    bytes_.resize(std::max(2 * bytes_.size(), used + needed));
    at_ = bytes_.data() + used;
    end_ = bytes_.data() + bytes_.size();
}

void XmlWriter::putNumber(long long value) {
    char digits[24];
    const auto [last, error] = std::to_chars(digits, digits + sizeof digits, value);
    put(std::string_view(digits, static_cast<std::size_t>(last - digits)));
}

void XmlWriter::escaped(std::string_view text, bool inAttribute) {
    // Bytes of multi-byte UTF-8 characters are all above 0x7F, so a byte-wise scan finds
    // exactly the ASCII characters that need a reference.
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view reference;
        switch (text[i]) {
            case '<':
                reference = "&lt;";
                break;
            case '>':
                reference = "&gt;";
                break;
            case '&':
                reference = "&amp;";
                break;
            case '"':
                reference = "&quot;";
                break;
            // A reader turns these into spaces in an attribute unless they are references.
            case '\t':
                reference = inAttribute ? "&#9;" : "";
                break;
            case '\n':
                reference = inAttribute ? "&#10;" : "";
                break;
            case '\r':
                reference = inAttribute ? "&#13;" : "";
                break;
            default:
                break;
        }
        if (reference.empty())
            continue;
        put(text.substr(from, i - from));
        put(reference);
        from = i + 1;
    }
    put(text.substr(from));
}

void XmlWriter::escaped(QStringView text, bool inAttribute) {
    // Encoded in place at the end of the buffer; the rare text that needs a reference is then
    // written again from a copy.
    QStringEncoder utf8(QStringEncoder::Utf8);
    const qsizetype room = utf8.requiredSpace(text.size());
    if (room > end_ - at_)
        grow(room);
    char* const start = at_;
    char* const stop = utf8.appendToBuffer(start, text);
    const std::string_view encoded(start, static_cast<std::size_t>(stop - start));
    if (encoded.find_first_of(inAttribute ? "<>&\"\t\n\r" : "<>&\"") == std::string_view::npos) {
        at_ = stop;
        return;
    }
    const std::string copy(encoded);
    escaped(copy, inAttribute);
}

void XmlWriter::startDocument(std::string_view doctype) {
    put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    put(doctype);
}

void XmlWriter::attribute(std::string_view name, std::string_view value) {
    put(' ');
    put(name);
    put("=\"");
    escaped(value, true);
    put('"');
}

void XmlWriter::attribute(std::string_view name, QStringView value) {
    put(' ');
    put(name);
    put("=\"");
    escaped(value, true);
    put('"');
}

void XmlWriter::attribute(std::string_view name, long long value) {
    put(' ');
    put(name);
    put("=\"");
    putNumber(value);
    put('"');
}

void XmlWriter::characters(std::string_view text) {
    closeStartTag();
    escaped(text, false);
}

void XmlWriter::characters(QStringView text) {
    closeStartTag();
    escaped(text, false);
}

void XmlWriter::textElement(std::string_view name, std::string_view text) {
    startElement(name);
    characters(text);
    endElement();
}

void XmlWriter::textElement(std::string_view name, QStringView text) {
    startElement(name);
    characters(text);
    endElement();
}

void XmlWriter::textElement(std::string_view name, long long value) {
    startElement(name);
    closeStartTag();
    putNumber(value);
    endElement();
}

QByteArray XmlWriter::finish() {
    while (!elements_.empty())
        endElement();
    closeStartTag();
    put('\n');
    bytes_.truncate(at_ - bytes_.data());
    at_ = end_ = nullptr;
    return std::move(bytes_);
}

}  // namespace qe::musicxml
