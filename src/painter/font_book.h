#pragma once

#include <QMetaObject>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "records/font_record.h"

namespace qe {

class MeasuredFont;

// The fonts a running program draws with: the music symbol font it makes known to Qt, and
// the fonts of the documents' font records, measured once and kept.
//
// The application makes one book and hands it to whatever draws or lays out: the windows,
// the command line's exports and tests each own theirs. The book must be made after the Qt
// application object and destroyed before it.
//
// A QFont must not be used by two threads at once, so each thread that draws gets a shelf of
// its own; pages exported side by side never share a font.
class FontBook {
public:
    // Looks for the symbol font beside the program, in the build tree and in the installed
    // data folder (a folder named by QANOREDIT_FONT_DIR comes first) and registers it.
    FontBook();
    ~FontBook();
    FontBook(const FontBook&) = delete;
    FontBook& operator=(const FontBook&) = delete;

    // Whether the symbol font was found and registered.
    bool hasSymbolFont() const { return !symbolFontPath_.isEmpty(); }
    // The symbol font's file, empty when it was not found.
    const QString& symbolFontPath() const { return symbolFontPath_; }

    // The font of a record on the calling thread's shelf.
    std::shared_ptr<MeasuredFont> font(const LogFont& record);

private:
    struct RecordHash {
        std::size_t operator()(const LogFont& record) const;
    };
    struct Shelf {
        unsigned generation = 0;
        std::unordered_map<LogFont, std::shared_ptr<MeasuredFont>, RecordHash> fonts;
    };

    QString symbolFontPath_;
    int symbolFontId_ = -1;
    // Bumped whenever fonts are added to or removed from the application, so that a face
    // which was missing (and fell back to another) is looked up again.
    std::atomic<unsigned> generation_{0};
    QMetaObject::Connection watch_;
    std::mutex shelvesLock_;
    std::unordered_map<std::thread::id, Shelf> shelves_;
};

}  // namespace qe
