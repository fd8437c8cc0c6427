#pragma once

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>
#include <utility>

#include "files/result.h"
#include "perform/performance.h"

namespace qe {

class ExportHost;
class ExportPrompts;

// What an export can be asked for besides its file. Each format names those it reads; the
// command line refuses an option the format of its file does not take.
enum class ExportOption : unsigned {
    kWatermark = 1u << 0,    // the pale watermark on the pages, or none
    kScrollStrip = 1u << 1,  // the strip of scroll mode as the one picture, not the pages
    kTempo = 1u << 2,        // the tempo the score sounds at
    kProgram = 1u << 3,      // the General MIDI instrument of every track
};

// The choices an export is made with; a format reads those it takes and leaves the others.
struct ExportOptions {
    bool watermark = true;
    bool scrollStrip = false;
    // Pages drawn and encoded at once; 0 takes one per processor, 1 exports page after page.
    int threads = 0;
    // Quarter notes per minute. None plays the score's own metronome mark, or kDefaultTempo
    // when it has none.
    std::optional<int> tempo;
    int program = sound::kDefaultProgram;
};

// Why an export stopped short of its file, besides a file that could not be written (the
// prompts are told of each as it happens). The window and the command line say it in their
// own words, with the result's message where it has one.
struct ExportProblem {
    enum Kind {
        kNone,
        // The host had no layout of the kind the format draws: a window in scroll view has
        // no pages, and a layout that failed was reported by the host.
        kNoLayout,
        kStripTooLarge,  // the scroll-mode strip is too long for one picture
        kNotConverted,   // the score could not be written in the format: the message says why
        kNoSoundFont,    // rendering sound needs a General MIDI SoundFont; none is installed
        kBadSoundFont,   // the SoundFont `subject` could not be used: the message says why
        kSoundTooLong,   // the sound would pass the 4 GiB a WAV file holds
    };
    Kind kind = kNone;
    QString subject;
};

// What an export came to. Counts are of files: one per page, or the one file of the score.
// It failed when it stopped short (a problem) or a file could not be written; files left
// alone or a dialog cancelled are the person's choice.
struct ExportResult : Result {
    // Counts a file that could not be written, for the reason given when there is one. The
    // prompts say so in their own words.
    void fileFailed(QString why = {}) {
        ++failed;
        fail(std::move(why));
    }

    int written = 0;
    int failed = 0;
    int skipped = 0;         // existing files left alone (offersOtherPath false, or No)
    bool cancelled = false;  // the dialog for another name was cancelled
    QStringList files;       // what was written, in page order
    ExportProblem problem;
    QStringList report;  // what the file could not carry over, one line per kind
};

// One format the program exports to: a row of the export registry. It names the extensions
// that choose it, the file type the window's export dialog offers for it, and the options it
// reads, and it writes a score.
class ExportFormat {
public:
    // `description` is the Chinese file type, untranslated, with the extensions as its
    // patterns: "PNG 图片 (*.png)". The window translates it; mark it for the translation
    // script with QT_TRANSLATE_NOOP("qanoredit", ...).
    ExportFormat(QStringList extensions, const char* description,
                 std::initializer_list<ExportOption> options);
    virtual ~ExportFormat() = default;
    ExportFormat(const ExportFormat&) = delete;
    ExportFormat& operator=(const ExportFormat&) = delete;

    // Lower case, without the dot; the first is the one a name typed without one is given.
    const QStringList& extensions() const { return extensions_; }
    const char* description() const { return description_; }
    bool takes(ExportOption option) const;
    // Whether a file named `path` is of this format: its extension, in any case, is one of ours.
    bool names(const QString& path) const;

    // Writes `score` to `path`, or to files named after it. The host lends the fonts, lays
    // the score out when the format draws it, and answers the questions: an existing file
    // is written over only when its prompts agree. Files are written under a temporary
    // name and renamed into place, so a failure leaves what was there.
    virtual ExportResult write(const music::Score& score, const ExportOptions& options,
                               const QString& path, ExportHost& host) const = 0;

protected:
    // For a format of one file: whether `path` may be written. A file there is asked about,
    // and counted skipped when it is to stay.
    static bool mayWrite(const QString& path, ExportPrompts& prompts, ExportResult& result);
    // Counts `path` written.
    static void wrote(const QString& path, ExportResult& result);
    // An export that stopped short for `kind`; `why` is the message.
    static ExportResult stopped(ExportProblem::Kind kind, const QString& subject = {},
                                const QString& why = {});

private:
    QStringList extensions_;
    const char* description_;
    unsigned options_ = 0;
};

}  // namespace qe
