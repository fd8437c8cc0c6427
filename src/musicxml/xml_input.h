#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <string>

namespace qe::musicxml {

// A QXmlStreamReader over a whole file, with what every MusicXML reader needs: a walk over
// the children of an element, bounded texts and numbers, and failures as MusicXmlError.
// Entities declared in the file are refused: MusicXML uses none, and expanding them is the
// classic way to make a small file take unbounded memory.
class XmlInput {
public:
    // The reader takes the bytes through a buffer device, which it decodes 8 KiB at a time:
    // given the bytes themselves, it would first decode the whole file into one string, twice
    // the file's size in memory (26 MB more for a 200-page score) and no faster.
    explicit XmlInput(const QByteArray& bytes);
    XmlInput(const XmlInput&) = delete;
    XmlInput& operator=(const XmlInput&) = delete;

    // Moves to the root element and returns its name. Throws for a file with no element.
    QString root();

    // The next child element of the current element: true with the reader on it, false at
    // the current element's end. Throws on malformed XML.
    bool nextChild();
    // The name of the element the reader is on.
    QStringView name() const { return xml_.name(); }
    // The value of an attribute of the element the reader is on (empty when it has none):
    // valid until the reader moves on.
    QStringView attribute(const char* name) const;
    bool hasAttribute(const char* name) const;

    // The text of the current element, moving past its end; at most `limit` characters
    // are kept.
    QString text(int limit);
    // The same without a copy: valid until the next call on this input. Most elements of a
    // score hold one short text, read by the thousand.
    QStringView textView(int limit);
    // The current element's text as a number; throws when it is not one.
    double number();
    int integer();
    // Skips the current element and everything in it.
    void skip();
    // Reads what follows the root element: false when that is more than white space,
    // comments and processing instructions (stray characters, a second element).
    bool finish();

    // Throws a MusicXmlError with the position in the file.
    [[noreturn]] void fail(const QString& what) const;

private:
    // Fails when the reader is in error or on a DTD that declares entities.
    void check();
    // Reads the next token, checked.
    QXmlStreamReader::TokenType next();
    QBuffer device_;
    QXmlStreamReader xml_;
    std::u16string text_;  // the last text read by textView
};

}  // namespace qe::musicxml
