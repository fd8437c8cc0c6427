// Lays out hostile documents and edits them with hostile keystrokes and clicks, the way a
// window drives a view controller.
//
// Input: a document file, then optionally the marker "@@KEYS@@" and the keys (see `Driver`).
// A document the reader rejects (code 1 or 3) ends the input. Otherwise the pages are laid
// out and painted, the keys are played, and what the editor saves must be what it would
// save again after opening its own file:
// - laying out may fail only with code 6 (a bar wider than a line, a line taller than a page);
// - a typed key may end only in that failure, which the controller turns into a warning;
// - every tie and bracket of the score is drawn, and is saved at the items it is drawn on, so
//   a score opened from the saved file drops none of them and saves the same bytes again.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/exception.h"
#include "edit/score_editor.h"
#include "edit/score_session.h"
#include "edit/view_host.h"
#include "engrave/measure.h"
#include "engrave/note_element.h"
#include "engrave/recording_surface.h"
#include "records/memory_io.h"
#include "records/qe_document.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr char kKeysMarker[] = "@@KEYS@@";
// Layout is linear in the note records and runs again after every key, so a big score gets
// few keys and a huge one is not opened: the fuzzer must stay at many inputs a second.
constexpr std::size_t kMaxRecords = 20000;
constexpr long kWorkBudget = 600000;  // records laid out, summed over the key steps
constexpr int kMaxSteps = 300;

[[noreturn]] void fail(const char* what, int code = 0) {
    if (code != 0)
        std::fprintf(stderr, "layout_fuzzer: %s (code %d)\n", what, code);
    else
        std::fprintf(stderr, "layout_fuzzer: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

// A window without a screen. Layout failures of code 6 go back to the controller, which
// warns; any other code out of a layout is a fault of the layout itself.
class FuzzHost : public qe::ViewHost {
public:
    std::unique_ptr<qe::Surface> layoutSurface() override {
        return std::make_unique<qe::RecordingSurface>();
    }
    void placeCaret(const qe::Rect&) override {}
    void hideCaret() override {}
    void captureMouse(bool) override {}
    void scoreEdited() override {}
    void layoutChanged() override {
        if (view && view->layoutError() != 0 && view->layoutError() != qe::kLayoutOverflow)
            fail("laying out after an edit failed with a code other than 6", view->layoutError());
    }
    void warn(const std::u16string&, const std::u16string&) override { ++warnings; }
    void setStatusTexts(const std::u16string&, const std::u16string&,
                        const std::u16string&) override {
        ++statusUpdates;
    }
    void repaintRegion(const std::vector<qe::Rect>&) override {}

    qe::ScoreEditor* view = nullptr;
    int warnings = 0;
    int statusUpdates = 0;
};

int load(const Bytes& bytes, qe::QeDocument& doc) {
    qe::MemoryIO io(bytes);
    try {
        doc.serialize(io, false);
    } catch (const qe::Exception& e) {
        if (e.code != qe::kUnexpectedChunk && e.code != qe::kMalformed)
            fail("a load failed with a code other than 1 or 3", e.code);
        return e.code;
    }
    return 0;
}

Bytes save(qe::QeDocument& doc) {
    qe::MemoryIO io;
    try {
        doc.serialize(io, true);
    } catch (const qe::Exception& e) {
        fail("saving an edited document into memory failed", e.code);
    }
    return io.bytes();
}

// With QE_FUZZ_PLAUSIBLE_SIZES set, page sizes, margins and font sizes are brought into
// ranges a settings dialog could give, a hundred times the usual at most. Sizes near the
// int limits overflow the layout's arithmetic at once; a long run sets this to reach the
// editing behind them while that stays open. The default checks every size.
bool plausibleSizesOnly() {
    static const bool on = std::getenv("QE_FUZZ_PLAUSIBLE_SIZES") != nullptr;
    return on;
}

void bringSizesIntoRange(qe::QeDocument& doc) {
    const auto clamp = [](std::int32_t& v, std::int32_t low, std::int32_t high) {
        v = v < low ? low : v > high ? high : v;
    };
    constexpr std::int32_t kPage = 1 << 17;  // about 90 inches
    constexpr std::int32_t kFont = 2880;     // 2 inches
    qe::format_track_header& f = doc.formatSettings();
    for (std::int32_t* v : {&f.pageWidth, &f.pageHeight, &f.marginLeft, &f.marginTop,
                            &f.marginRight, &f.marginBottom})
        clamp(*v, -kPage, kPage);
    for (qe::FontRecord& font : f.fonts) {
        clamp(font.logFont.height, -kFont, kFont);
        clamp(font.logFont.width, -kFont, kFont);
    }
}

std::size_t recordCount(const qe::QeDocument& doc) {
    std::size_t n = 0;
    for (const auto& track : doc.noteTracks())
        n += track.content.items.size();
    return n;
}

// Relayout of a whole view: only code 6 is an expected outcome.
void relayout(qe::ScoreEditor& view, const char* when) {
    try {
        view.relayout();
    } catch (const qe::Exception& e) {
        if (e.code != qe::kLayoutOverflow) {
            std::fprintf(stderr, "layout_fuzzer: relayout %s\n", when);
            fail("relayout failed with a code other than 6", e.code);
        }
    }
}

void paint(qe::ScoreEditor& view) {
    // A clip beyond the last page of the biggest score opened: every node is visited.
    qe::RecordingSurface all(0, 0, -(1 << 26), 1 << 26, 1 << 26, -(1 << 26), false);
    view.paintAll(all);
    if (!all.translations.empty())
        fail("painting the view left translations pushed");
    qe::RecordingSurface page(0, 0, 0, 0, 11906, -16838, false);
    view.paintPage(page, 0);
    if (!page.translations.empty())
        fail("painting a page left translations pushed");
}

// Every tie and bracket of the score is drawn by the layout, between the items it names.
void checkShapesDrawn(qe::ScoreEditor& view) {
    if (!view.layout().upToDate() || view.layout().failed())
        return;
    const qe::LinearView& tracks = view.layout().tracks();
    const auto& arcs = view.layout().arcs();
    const auto& ties = view.score().ties();
    if (arcs.size() != ties.size())
        fail("the layout does not draw every tie of the score");
    for (std::size_t i = 0; i < ties.size(); ++i)
        if (arcs[i].to.get() != tracks.itemNode(ties[i].track, ties[i].to))
            fail("a tie is drawn to another item than the score names");
    if (view.layout().voltas().size() != view.score().voltas().size())
        fail("the layout does not draw every bracket of the score");
}

bool sameDocumentContent(const qe::QeDocument& a, const qe::QeDocument& b) {
    if (a.noteTracks().size() != b.noteTracks().size())
        return false;
    for (std::size_t t = 0; t < a.noteTracks().size(); ++t)
        if (a.noteTracks()[t].content.items != b.noteTracks()[t].content.items)
            return false;
    const auto& fa = a.formatRecords();
    const auto& fb = b.formatRecords();
    if (fa.size() != fb.size())
        return false;
    for (std::size_t i = 0; i < fa.size(); ++i) {
        if (fa[i].type != fb[i].type || !fa[i].from.samePlace(fb[i].from) ||
            !fa[i].to.samePlace(fb[i].to))
            return false;
    }
    return true;
}

// Plays the keys part. Bytes that are keys of the editor are typed as they are; the
// commands below stand for what the window does; any other byte is typed through a table of
// the editor's keys, so that no byte is wasted.
//   <  >        caret left, caret right
//   @ P         click: the caret moves to the position under P
//   { P         button down at P (starts a selection)
//   = P         drag to P
//   } P         button up at P
//   + P Q       a whole drag: down at P, drag to Q, up at Q
//   ~           add or remove a tie over the selection
//   #           add or remove a volta bracket "1" over the selection
//   $           switch to the other view mode and lay out
//   !           lay out again
//   %           paint the whole view and the first page
//   ?  P        ask whether the pointer over P is an I-beam
// A point P is two bytes i j: for i < 0xF0, near the caret position numbered by i (low
// values count from the start, 0xC0..0xEF spread over the whole score), shifted by j in
// sixteenths of its box; for i >= 0xF0, j and three more bytes give raw coordinates.
class Driver {
public:
    Driver(qe::ScoreEditor& view, FuzzHost& host, const std::uint8_t* keys, std::size_t size)
        : view_(view), host_(host), keys_(keys), size_(size) {}

    void play(int maxSteps) {
        for (int step = 0; step < maxSteps && at_ < size_; ++step)
            command(next());
    }

private:
    std::uint8_t next() { return at_ < size_ ? keys_[at_++] : 0; }

    static bool isEditorKey(std::uint8_t b) {
        static const char kKeys[] = "01234567-.vV()|[]\\/sSfFrRuUmMjJkKlL;";
        return b == 13 || b == 8 || (b != 0 && std::strchr(kKeys, b) != nullptr);
    }

    static char32_t keyFromTable(std::uint8_t b) {
        static const char32_t kTable[] = {U'1', U'2',  U'3', U'4', U'5', U'6', U'7', U'0',
                                          U'-', U'.',  U'v', U'(', U')', 13,   U'|', U'[',
                                          U']', U'\\', U'/', 8,    U's', U'f', U'r', U'u',
                                          U'm', U'j',  U'k', U'l', U';', 8,    13,   U'5'};
        return kTable[b % (sizeof kTable / sizeof kTable[0])];
    }

    // Every caret position of the score in reading order.
    std::vector<qe::Position> positions() {
        std::vector<qe::Position> all;
        const qe::music::Score& score = view_.score();
        for (int t = 0; t < score.trackCount(); ++t)
            for (int m = 0; m < score.measureCount(t); ++m)
                for (const qe::Stop& stop : qe::stopsOf(score.measure(t, m)))
                    all.push_back({t, m, stop.entry, stop.inner});
        return all;
    }

    static int clampToInt(long long v) {
        constexpr long long kLimit = 1LL << 30;
        return static_cast<int>(v < -kLimit ? -kLimit : v > kLimit ? kLimit : v);
    }

    qe::Point point() {
        const std::uint8_t i = next();
        const std::uint8_t j = next();
        if (i >= 0xF0) {
            const auto x = static_cast<std::int16_t>(j | next() << 8);
            const auto y = static_cast<std::int16_t>(next() | next() << 8);
            return {x * 8, y * 8};
        }
        const std::vector<qe::Position> all = positions();
        if (all.empty())
            return {0, 0};
        const std::size_t index = i < 0xC0 ? i % all.size() : (i - 0xC0) * all.size() / 0x30;
        const qe::Rect r = view_.positionRect(all[index]);
        const long long w = static_cast<long long>(r.right) - r.left;
        const long long h = static_cast<long long>(r.bottom) - r.top;
        const long long x =
            (static_cast<long long>(r.left) + r.right) / 2 + ((j & 15) - 8) * w / 16;
        const long long y =
            (static_cast<long long>(r.top) + r.bottom) / 2 + ((j >> 4) - 8) * h / 16;
        return {clampToInt(x), clampToInt(y)};
    }

    void type(char32_t key) {
        const bool valid = view_.caret.valid();
        const int status = host_.statusUpdates;
        const int warnings = host_.warnings;
        view_.onChar(key);
        // A key the controller takes either updates the status texts or, when the score no
        // longer fits, warns. Neither means an edit failed with another code, which the
        // controller swallows without a word.
        if (valid && host_.statusUpdates == status && host_.warnings == warnings)
            fail("a typed key failed with a code other than 6");
    }

    void command(std::uint8_t b) {
        try {
            run(b);
        } catch (const qe::Exception& e) {
            std::fprintf(stderr, "layout_fuzzer: command byte 0x%02x at key offset %zu\n", b, at_);
            fail("an editor command threw", e.code);
        }
    }

    void run(std::uint8_t b) {
        switch (b) {
            case '<':
                view_.caretLeft();
                return;
            case '>':
                view_.caretRight();
                return;
            case '@':
                view_.moveCaretTo(point());
                return;
            case '{':
                view_.beginSelection(point());
                return;
            case '=':
                view_.extendSelection(point());
                return;
            case '}':
                view_.endSelection(point());
                return;
            case '+': {
                const qe::Point p = point();
                view_.beginSelection(p);
                const qe::Point q = point();
                view_.extendSelection(q);
                view_.endSelection(q);
                return;
            }
            case '~':
                shapeCommand([&] { view_.notes().addTie(); });
                return;
            case '#':
                shapeCommand([&] { view_.notes().addVolta(u"1"); });
                return;
            case '$':
                switchMode();
                return;
            case '!':
                relayout(view_, "on request");
                checkShapesDrawn(view_);
                return;
            case '%':
                paint(view_);
                return;
            case '?':
                view_.textCursorAt(point());
                return;
            case '\n':
                type(13);
                return;
            default:
                type(isEditorKey(b) ? static_cast<char32_t>(b) : keyFromTable(b));
                return;
        }
    }

    // Code 7 is the documented answer to a selection whose ends are not caret positions, and
    // adding a bracket lays out again, which may overflow.
    template <typename Action>
    void shapeCommand(Action action) {
        try {
            action();
        } catch (const qe::Exception& e) {
            if (e.code != qe::kLayoutOverflow && e.code != qe::kMismatch)
                fail("adding a tie or bracket failed with a code other than 6 or 7", e.code);
        }
    }

    void switchMode() {
        const int other = view_.mode() == qe::ScoreEditor::kPageMode ? qe::ScoreEditor::kScrollMode
                                                                     : qe::ScoreEditor::kPageMode;
        view_.setMode(other);
        relayout(view_, "after switching modes");
        checkShapesDrawn(view_);
    }

    qe::ScoreEditor& view_;
    FuzzHost& host_;
    const std::uint8_t* keys_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t markerSize = sizeof kKeysMarker - 1;
    std::size_t documentSize = size;
    for (std::size_t i = 0; i + markerSize <= size; ++i) {
        if (std::memcmp(data + i, kKeysMarker, markerSize) == 0) {
            documentSize = i;
            break;
        }
    }
    const std::uint8_t* keys = data + std::min(size, documentSize + markerSize);
    const std::size_t keyCount = size - static_cast<std::size_t>(keys - data);

    qe::QeDocument doc;
    if (load(Bytes(data, data + documentSize), doc) != 0)
        return 0;
    if (plausibleSizesOnly())
        bringSizesIntoRange(doc);
    const std::size_t records = recordCount(doc);
    if (records > kMaxRecords)
        return 0;

    qe::ScoreSession session;
    session.load(doc);
    FuzzHost host;
    qe::ScoreEditor view(&host);
    host.view = &view;
    view.attach(&session);
    relayout(view, "of the document as loaded");
    paint(view);

    const long perStep = static_cast<long>(records) + 50;
    const int steps = static_cast<int>(std::min<long>(kMaxSteps, kWorkBudget / perStep));
    Driver(view, host, keys, keyCount).play(steps);
    paint(view);
    relayout(view, "after the keys");
    checkShapesDrawn(view);

    qe::QeDocument written = session.records();
    const Bytes saved = save(written);
    qe::QeDocument reopened;
    if (load(saved, reopened) != 0)
        fail("a document the editor saved does not load");
    qe::ScoreSession again;
    if (again.load(reopened).droppedShapes != 0)
        fail("opening a saved document dropped a tie or bracket the editor wrote");
    qe::QeDocument rewritten = again.records();
    if (!sameDocumentContent(written, rewritten) || save(rewritten) != saved)
        fail("opening and saving a saved document changed it");
    FuzzHost host2;
    qe::ScoreEditor view2(&host2);
    host2.view = &view2;
    view2.attach(&again);
    relayout(view2, "of a saved document");
    checkShapesDrawn(view2);
    return 0;
}
