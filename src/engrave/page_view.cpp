#include "engrave/page_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>

#include "base/exception.h"
#include "engrave/line_breaker.h"
#include "engrave/measure.h"
#include "engrave/page_filler.h"
#include "engrave/symbols.h"
#include "engrave/system.h"
#include "music/measure_numbers.h"
#include "music/score.h"

namespace qe {

PageView::PageView() : Node(kPageView) {
    style.paddingLeft = style.paddingTop = style.paddingRight = style.paddingBottom = kPadding;
}

void PageView::build(const music::Score* s) {
    score = s;
    linear.withShapes = false;
    linear.build(s);
}

void PageView::clearChildren() {
    arcs.clear();
    voltas.clear();
    marks.clear();
    Node::clearChildren();
    linear.clearChildren();
}

TempoMarkParts tempoMarkParts(const TempoMark& mark) {
    TempoMarkParts parts;
    if (mark.perMinute > 0) {
        parts.note = std::u16string(1, mark.beatUnit == 2   ? glyph::kHalfNote
                                       : mark.beatUnit == 8 ? glyph::kEighthNote
                                                            : glyph::kQuarterNote);
        if (mark.dotted)
            parts.rest = u".";
        // The number as the score prints it ("100–110", "c. 60"), else the one it plays.
        const std::string number = std::to_string(mark.perMinute);
        parts.rest +=
            u"=" + (mark.perMinuteText.empty() ? std::u16string(number.begin(), number.end())
                                               : mark.perMinuteText);
    }
    if (!mark.text.empty())
        parts.rest += (parts.rest.empty() ? u"" : u" ") + mark.text;
    return parts;
}

std::u16string tempoMarkText(const TempoMark& mark) {
    // The note of the beat as the text font draws it: ♩ a quarter, ♪ an eighth, 𝅗𝅥 a half.
    const TempoMarkParts parts = tempoMarkParts(mark);
    if (parts.note.empty())
        return parts.rest;
    const std::u16string note = parts.note[0] == glyph::kHalfNote     ? u"\U0001D15E"
                                : parts.note[0] == glyph::kEighthNote ? u"\u266A"
                                                                      : u"\u2669";
    return note + parts.rest;
}

FontRecord tempoNoteFont(const FontRecord& noteFont, const FontRecord& textFont) {
    FontRecord font = noteFont;
    font.logFont.height = textFont.logFont.height;
    font.logFont.width = 0;
    font.color = textFont.color;
    return font;
}

std::vector<std::u16string> wrapText(Surface& g, const std::u16string& text, int width) {
    std::vector<std::u16string> lines;
    const auto fits = [&](const std::u16string& s) { return g.textExtent(s).width <= width; };
    if (fits(text))
        return {text};
    std::u16string line;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t space = std::min(text.find(u' ', at), text.size());
        const std::u16string word = text.substr(at, space - at);
        at = space + 1;
        if (word.empty())
            continue;
        const std::u16string joined = line.empty() ? word : line + u" " + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.empty())
            lines.push_back(line);
        line.clear();
        // A word wider than the line, as a title without spaces is, breaks between any two
        // characters (never inside a surrogate pair).
        for (std::size_t i = 0; i < word.size();) {
            const std::size_t step =
                i + 1 < word.size() && word[i] >= 0xD800 && word[i] < 0xDC00 ? 2 : 1;
            const std::u16string longer = line + word.substr(i, step);
            if (!line.empty() && !fits(longer)) {
                lines.push_back(line);
                line.clear();
                continue;
            }
            line = longer;
            i += step;
        }
    }
    if (!line.empty() || lines.empty())
        lines.push_back(line);
    return lines;
}

namespace {

// A text of the title block, measured. A text is present when it measures below 0: an empty
// text measures (0, 0).
Text measuredText(Page& page, const std::u16string& s, const FontRecord& font, Surface& g) {
    Text text(&page, s, font);
    text.layout(g, true);
    return text;
}

// Puts a copy of a measured text on the page, its top-left corner at (x, top).
void placeText(Page& page, const Text& text, int x, int top, const char* role) {
    page.texts.push_back(text);
    page.texts.back().heldBy(&page);
    page.texts.back().style.x = x;
    page.texts.back().style.y = top;
    page.texts.back().role = role;
}

}  // namespace

int PageView::placeTitleBlock(Page& page, int y, Surface& g) {
    const doc_header& h = score->header();
    const format_track_header& f = *format;
    const int titleHeight = f.font(kTitleFont).logFont.height;
    const int subtitleHeight = f.font(kSubtitleFont).logFont.height;
    const int textHeight = f.font(kTextFont).logFont.height;

    y = placeCentred(page, h.title, kTitleFont, y, "title", g);
    if (!h.subtitle.empty() &&
        measuredText(page, h.subtitle, f.font(kSubtitleFont), g).style.height < 0)
        y = placeCentred(page, h.subtitle, kSubtitleFont, y + subtitleHeight / 2, "subtitle", g);

    y += titleHeight;
    page.keyTexts.emplace_back(format, h.keyAccidental, h.keyLetter, h.timeNumerator,
                               h.timeDenominator, &page);
    KeyText& key = page.keyTexts.back();
    key.freeMeter = h.freeMeter;
    key.layout(g, true);
    key.style.x = marginLeft;
    key.style.y = y;
    int b = key.style.y + key.style.height + textHeight / 2;

    int author3Height = 0;
    const int a = placeAuthors(page, y, author3Height, g);
    b = std::min(b, placeBesideKey(page, key, g) + textHeight / 2);

    const Text comment2 = measuredText(page, h.comment2, f.font(kTextFont), g);
    if (comment2.style.height < 0) {
        placeText(page, comment2, marginLeft, b, "comment");
        b += textHeight / 3 + comment2.style.height;
    }
    return std::min(a, b) + author3Height;
}

int PageView::placeCentred(Page& page, const std::u16string& s, FontCategory category, int top,
                           const char* role, Surface& g) {
    // Centred on the whole sheet, not on the content area, but never past the margins: a
    // title wider than the text width goes on as many lines as it needs.
    const int W = pageWidth;
    const int textWidth = std::max(1, W - marginLeft - marginRight);
    const FontRecord& font = format->font(category);
    g.setFont(font);
    for (const std::u16string& line : wrapText(g, s, textWidth)) {
        const Text text = measuredText(page, line, font, g);
        const int x = std::clamp((W - text.style.width) / 2, marginLeft,
                                 std::max(marginLeft, W - marginRight - text.style.width));
        placeText(page, text, x, top, role);
        top += text.style.height;
    }
    return top;
}

int PageView::placeAuthors(Page& page, int top, int& author3Height, Surface& g) {
    // Right-aligned, one below the other from the top of the key.
    const doc_header& h = score->header();
    const FontRecord& font = format->font(kTextFont);
    const int textHeight = font.logFont.height;
    for (const std::u16string* author : {&h.author1, &h.author2, &h.author3}) {
        const Text text = measuredText(page, *author, font, g);
        if (author == &h.author3)
            author3Height = text.style.height;
        if (text.style.height >= 0)
            continue;
        placeText(page, text, std::max(marginLeft, pageWidth - marginRight - text.style.width), top,
                  "author");
        top += textHeight / 3 + text.style.height;
    }
    return top;
}

int PageView::placeBesideKey(Page& page, const KeyText& key, Surface& g) {
    const doc_header& h = score->header();
    const FontRecord& font = format->font(kTextFont);
    int besideKey = key.style.x + key.style.width + 200;
    const TempoMarkParts parts = tempoMarkParts(h.tempo);
    const Text note =
        measuredText(page, parts.note, tempoNoteFont(format->font(kNoteFont), font), g);
    const Text tempo = measuredText(page, parts.rest, font, g);
    // The texts beside the key end before the authors standing level with them, or at the
    // right margin; a longer one is broken into lines under one another.
    const auto rightOf = [&](int top, int height) {
        int right = pageWidth - marginRight;
        for (const Text& author : page.texts)
            if (std::string_view(author.role) == "author" && author.style.y > top + height &&
                author.style.y + author.style.height < top)
                right = std::min(right, author.style.x - 200);
        return right;
    };
    int below = 0;  // where a tempo text broken into lines ends; 0 when it is one line
    if (tempo.style.height < 0) {
        const int top = key.style.y + (key.style.height - tempo.style.height) / 2;
        if (note.style.height < 0) {
            placeText(page, note, besideKey, top, "tempo");
            besideKey += note.style.width;
        }
        const int right = rightOf(top, tempo.style.height);
        if (tempo.style.width <= right - besideKey) {
            placeText(page, tempo, besideKey, top, "tempo");
            besideKey += tempo.style.width + 200;
        } else {
            g.setFont(font);
            below = top;
            for (const std::u16string& line :
                 wrapText(g, parts.rest, std::max(1, right - besideKey))) {
                const Text piece = measuredText(page, line, font, g);
                placeText(page, piece, besideKey, below, "tempo");
                below += piece.style.height;
            }
            besideKey = key.style.x + key.style.width + 200;
        }
    }
    // The comment: beside the tempo, or under it when that took lines of its own.
    const Text comment1 = measuredText(page, h.comment1, font, g);
    const int top =
        below != 0 ? below : key.style.y + (key.style.height - comment1.style.height) / 2;
    const int right = rightOf(top, comment1.style.height);
    // An empty comment is placed too: the title block's place for it.
    if (comment1.style.width <= right - besideKey || comment1.style.height >= 0) {
        placeText(page, comment1, besideKey, top, "comment");
        return std::min(key.style.y + key.style.height, top + comment1.style.height);
    }
    g.setFont(font);
    int y = top;
    for (const std::u16string& line : wrapText(g, h.comment1, std::max(1, right - besideKey))) {
        const Text piece = measuredText(page, line, font, g);
        placeText(page, piece, besideKey, y, "comment");
        y += piece.style.height;
    }
    return std::min(key.style.y + key.style.height, y);
}

void PageView::takePageSettings() {
    format = linear.format;
    if (format) {
        pageWidth = format->pageWidth;
        pageHeight = format->pageHeight;
        marginLeft = format->marginLeft;
        marginTop = format->marginTop;
        marginRight = format->marginRight;
        marginBottom = format->marginBottom;
    }
}

std::unique_ptr<System> PageView::makeLine(int k, int lines, Surface& g, double unitAbove) {
    const int contentWidth = pageWidth - marginLeft - marginRight;
    const int from = k > 0 ? linear.lineStarts[static_cast<std::size_t>(k - 1)] : 0;
    const int to = linear.lineStarts[static_cast<std::size_t>(k)];
    auto line = System::displayLine(linear.childCount());
    double squeeze = 1.0;
    bool justified = true;
    const double unit =
        lineUnit(columns_, from, to, contentWidth, k + 1 == lines, unitAbove, &squeeze, &justified);
    buildLine(k, linear, columns_, unit, squeeze, g, *line, justified ? contentWidth : 0);
    line->unit = unit;
    line->squeeze = squeeze;
    spaceLines(*line);
    labelParts(*line, k == 0, g);
    return line;
}

void PageView::collectOverwide() {
    overwide.clear();
    int line = 0;
    for (int p = 0; p < childCount(); ++p) {
        const Page* sheet = page(p);
        for (int i = 0; i < sheet->childCount(); ++i, ++line) {
            const auto* system = static_cast<const System*>(sheet->child(i));
            if (system->squeeze < 1.0 && line < static_cast<int>(linear.lineStarts.size()))
                overwide.push_back(line > 0 ? linear.lineStarts[static_cast<std::size_t>(line - 1)]
                                            : 0);
        }
    }
}

void PageView::labelParts(System& line, bool first, Surface& g) const {
    if (!score || !format)
        return;
    // The number of the line's first measure, above its first row, from the second line on.
    if (score->header().measureNumbers && !first && line.childCount() > 0 &&
        line.child(0)->childCount() > 0 && linear.childCount() > 0) {
        const Node* measure = line.child(0)->realChild(0);
        const int m = measure->parent() ? measure->parent()->indexOf(measure) : -1;
        if (m >= 0) {
            const std::string number = std::to_string(music::measureNumber(*score, m));
            Text label(&line, std::u16string(number.begin(), number.end()),
                       format->font(kSmallTextFont));
            label.role = "measureNumber";
            label.layout(g, true);
            label.style.x = 0;
            label.style.y = line.child(0)->style.y - label.style.height;
            line.labels.push_back(label);
        }
    }
    if (score->header().partNames.empty()) {
        for (Text& label : line.labels)
            label.heldBy(&line);
        return;
    }
    const std::vector<PartName>& names = score->header().partNames;
    // Right-aligned before the rows, clear of the bracket that joins them.
    const int gap = System::kBracketOffset + 80;
    for (int r = 0; r < line.childCount(); ++r) {
        // A part that only rests may be left out of the line: each row names its own part.
        const Node* row = line.child(r);
        const int t = row->childCount() > 0 ? linear.indexOf(row->realChild(0)->parent()) : -1;
        if (t < 0 || t >= static_cast<int>(names.size()))
            continue;
        const std::u16string& text = first ? names[static_cast<std::size_t>(t)].name
                                           : names[static_cast<std::size_t>(t)].shortName;
        if (text.empty())
            continue;
        const std::vector<Text> pieces = partLabel(line, text, marginLeft - gap - kPaperEdge, g);
        // Level with the row's digits, below any room the row keeps above them and above the
        // lyrics and words under them.
        const Node* first = row->firstChild();
        const Measure* measure = row->childCount() > 0 ? asMeasure(row->realChild(0)) : nullptr;
        const int rowTop = row->style.y + (first ? first->style.y : 0);
        const int rowHeight =
            measure ? measure->barHeight - measure->style.paddingTop - measure->style.paddingBottom
            : first ? first->style.height
                    : row->style.height;
        int height = 0;
        for (const Text& piece : pieces)
            height += piece.style.height;
        int top = rowTop + (rowHeight - height) / 2;
        for (Text piece : pieces) {
            piece.style.x = -gap - piece.style.width;
            piece.style.y = top;
            top += piece.style.height;
            line.labels.push_back(piece);
        }
    }
    // Copies start detached: each names the line that holds it once the list stands.
    for (Text& label : line.labels)
        label.heldBy(&line);
}

std::vector<Text> PageView::partLabel(System& line, const std::u16string& text, int room,
                                      Surface& g) const {
    FontRecord font = format->font(kTextFont);
    const auto measured = [&](const std::u16string& s) {
        Text piece(&line, s, font);
        piece.role = "partName";
        piece.layout(g, true);
        return piece;
    };
    Text whole = measured(text);
    if (whole.style.width <= room || room <= 0)
        return {whole};
    // Too wide for the margin: the name is set smaller, down to two thirds of its size, and
    // then broken into lines at its spaces (between any two characters of a word too long).
    const long long size = std::abs(font.logFont.height);
    const long long fitted = std::max({size * room / whole.style.width, size * 2 / 3, 1LL});
    font.logFont.height = static_cast<int>(font.logFont.height < 0 ? -fitted : fitted);
    font.logFont.width = 0;
    whole = measured(text);
    if (whole.style.width <= room)
        return {whole};
    g.setFont(font);
    std::vector<Text> pieces;
    for (const std::u16string& piece : wrapText(g, text, room))
        pieces.push_back(measured(piece));
    return pieces;
}

void PageView::rebuild(Surface& g) {
    linear.scale = 1.0;
    layOut(g);
    fitToPageCount(g);
}

void PageView::layOut(Surface& g) {
    changed.clear();
    arcs.clear();
    voltas.clear();
    // The track lines are not shown in page mode: only their measures are measured, at their
    // natural size, for the display lines to be cut from.
    linear.refreshSettings();
    for (int t = 0; t < linear.childCount(); ++t) {
        Node* line = linear.child(t);
        for (int m = 0; m < line->childCount(); ++m)
            line->child(m)->layout(g, true);
    }
    Node::clearChildren();
    takePageSettings();
    spacing_ = 1.0;
    balancedHeights_ = 0;
    lastPages_ = {};
    const int contentWidth = pageWidth - marginLeft - marginRight;
    columns_ = columnGrids(linear);
    linear.lineStarts = breaker_.breakAll(columns_, contentWidth);
    natural_ = linear.lineStarts;
    const int lines = static_cast<int>(linear.lineStarts.size());
    std::vector<std::unique_ptr<Node>> built;
    double unitAbove = 0.0;
    for (int k = 0; k < lines; ++k) {
        std::unique_ptr<System> line = makeLine(k, lines, g, unitAbove);
        unitAbove = line->unit;
        built.push_back(std::move(line));
    }
    fill(std::move(built), g);
    balance(g);
    rebreakLastPages(g);
    placePages();
    collectOverwide();
    rebuildShapes(g);
    changed = {{0, 0, style.width, style.height}};
}

int PageView::lineMargin(bool system, double spacing) {
    return static_cast<int>(
        std::lround((System::kDisplayLineMargin + (system ? System::kSystemMargin : 0)) * spacing));
}

void PageView::spaceLines(Node& line) const {
    const int margin = lineMargin(roomOf(line).system, spacing_);
    line.style.marginTop = margin;
    line.style.marginBottom = margin;
}

void PageView::fill(std::vector<std::unique_ptr<Node>> lines, Surface& g) {
    const int H = pageHeight, T = marginTop, B = marginBottom;
    auto page = std::make_unique<Page>(format);
    int pages = 0;
    const auto finish = [&](bool full) {
        if (full)
            justifyPage(*page, B - H);
        page->pageIndex = pages++;
        page->layout(g, false);
        appendChild(std::move(page));
    };
    int y = -T - Page::kSheetSpacing;
    if (score && format)
        y = placeTitleBlock(*page, y, g);
    contentTop_ = y;
    for (auto& line : lines) {
        spaceLines(*line);
        const Style& s = line->style;
        if (s.height < (B - H) + s.marginTop + s.marginBottom + T)
            throw Exception(kLayoutOverflow, "a line is taller than a page");
        if (y < (B - H) - s.height + s.marginTop + s.marginBottom) {
            finish(true);
            page = std::make_unique<Page>(format);
            y = -(s.marginTop + T);
        }
        line->style.x = marginLeft;
        line->style.y = y;
        y += s.height - s.marginTop - s.marginBottom;
        page->appendChild(std::move(line));
    }
    finish(false);
    placePages();
}

namespace {

int columnCount(const LinearView& view) {
    int columns = 0;
    for (int t = 0; t < view.childCount(); ++t)
        columns = std::max(columns, view.child(t)->childCount());
    return columns;
}

Rect boxOf(const Style& s) {
    return {s.x, s.y, s.x + s.width, s.y + s.height};
}

// The display lines a change makes again: the new lines [first, end) stand for the old lines
// [first, dropEnd); the old lines from `tail` on (none when -1) stay, moved by the shift.
struct ChangedLines {
    int first = 0;
    int end = 0;
    int tail = -1;
    int dropEnd = 0;
};

// The lines that changed between the old line starts and the fresh ones, after the columns
// [first, end) changed and `shift` came or went among them.
ChangedLines changedLines(const std::vector<int>& old, const std::vector<int>& fresh, int first,
                          int end, int shift) {
    const int oldLines = static_cast<int>(old.size());
    const int lines = static_cast<int>(fresh.size());
    // The lines before the first that changed its breaks or holds a changed column stay...
    int k0 = 0;
    while (k0 < oldLines && k0 < lines &&
           fresh[static_cast<std::size_t>(k0)] == old[static_cast<std::size_t>(k0)] &&
           fresh[static_cast<std::size_t>(k0)] <= first)
        ++k0;
    k0 = std::min(k0, std::min(oldLines, lines) - 1);
    k0 = std::max(k0, 0);
    // ... and so do the lines after the last one that changed: each holds the columns it
    // held, all of them unchanged and only moved by the shift.
    int tail = -1;          // the first old line kept
    int tailFresh = lines;  // where it stands now
    if (end >= 0) {
        int i = oldLines - 1;
        int j = lines - 1;
        while (i > 0 && j > k0) {
            const int oldFrom = old[static_cast<std::size_t>(i) - 1];
            const int newFrom = fresh[static_cast<std::size_t>(j) - 1];
            if (fresh[static_cast<std::size_t>(j)] != old[static_cast<std::size_t>(i)] + shift ||
                newFrom != oldFrom + shift || newFrom < end)
                break;
            tail = i;
            tailFresh = j;
            --i;
            --j;
        }
    }
    // A short last line takes its unit from the line above: when that line changed, the
    // last line is made again too.
    if (tail == oldLines - 1) {
        tail = -1;
        tailFresh = lines;
    }
    return {k0, tailFresh, tail, tail >= 0 ? tail : oldLines};
}

// How the old lines after a change are put back: those from `tail` up to `keptEnd` as they
// are, and when the last pages were broken anew from `keptEnd` on, the natural lines for them
// made again by `makeTail`, unless an old page is kept before. `brokenRoom` is the natural
// line that opened the first of those pages.
struct TailLines {
    int keptEnd = 0;
    int shown = 0;
    const Style* brokenRoom = nullptr;
    std::function<std::vector<std::unique_ptr<System>>()> makeTail;
};

// Puts the old lines kept after a change back from `from`, until an old page would open with
// the same line again: that page and those after it stay as they are (`kept`, and `keptAt`
// the line it opens with; else -1). False when a line is taller than a page.
bool putTailBack(const PageView& view, const PageStarts& starts, LineTaker& taker,
                 PageFiller& filler, int from, const TailLines& tail, int& kept, int& keptAt) {
    const int pages = view.childCount();
    for (int x = from; x < tail.shown; ++x) {
        // An old page that opens with this line and would open here again: it and the pages
        // after it stand as they were.
        const int next = taker.nextPage();
        const bool broken = x == tail.keptEnd && tail.brokenRoom;
        if (next < pages && x == starts[next] &&
            !filler.fits(broken ? *tail.brokenRoom : view.page(next)->child(0)->style)) {
            kept = next;
            keptAt = x;
            return true;
        }
        if (x >= tail.keptEnd)
            break;
        if (!filler.place(taker.take(x)))
            return false;
    }
    // The lines broken anew go; the natural ones come in their place.
    for (int x = tail.keptEnd; x < tail.shown; ++x)
        taker.take(x);
    if (tail.keptEnd < tail.shown)
        for (auto& line : tail.makeTail())
            if (!filler.place(std::move(line)))
                return false;
    return true;
}

// Fills the pages again from the page whose first old line is `f0`: the old lines before the
// change, the lines made again, then the old lines kept after them (see putTailBack).
// `kept` is the first old page that stays, else the first page no line was taken from.
// False when a line is taller than a page.
bool refill(const PageView& view, const PageStarts& starts, LineTaker& taker, PageFiller& filler,
            std::vector<std::unique_ptr<System>>& built, const ChangedLines& lines, int f0,
            const TailLines& tail, int& kept, int& keptAt) {
    bool tooTall = false;
    for (int x = f0; x < lines.first && !tooTall; ++x)
        tooTall = !filler.place(taker.take(x));
    for (auto& line : built)
        tooTall = tooTall || !filler.place(std::move(line));
    // The lines made again stand for these, which go.
    for (int x = lines.first; x < lines.dropEnd && !tooTall; ++x)
        taker.take(x);
    const int pages = view.childCount();
    kept = pages;
    keptAt = -1;
    if (lines.tail >= 0 && !tooTall)
        tooTall = !putTailBack(view, starts, taker, filler, lines.tail, tail, kept, keptAt);
    if (tooTall)
        return false;
    if (kept == pages)
        kept = taker.nextPage();
    return true;
}

// With the last pages broken anew from display line `broken` on, the natural lines from there
// on are not on the pages: the old lines kept after a change end before it, and the natural
// lines after them are made again. Returns the first of those among the `lines` fresh ones.
int keepBefore(ChangedLines& remade, int broken, int shown, int lines) {
    remade.first = std::min(remade.first, broken);
    if (remade.tail < 0 || remade.tail >= broken) {
        remade.tail = -1;
        remade.end = lines;
        remade.dropEnd = shown;
        return lines;
    }
    return remade.end + (broken - remade.tail);
}

}  // namespace

void PageView::update(Surface& g, int first, int end, int shift) {
    std::vector<int>& starts = linear.lineStarts;
    const int columns = columnCount(linear);
    // A score fitted to a number of pages is fitted anew: its spacing and size are the
    // whole score's.
    const bool fitted = score && score->header().pageCount > 0;
    if (childCount() == 0 || starts.empty() || columns == 0 || !format || fitted) {
        rebuild(g);
        return;
    }
    changed.clear();
    if (!replaceColumns(first, end, shift, columns)) {
        rebuild(g);
        return;
    }
    const int contentWidth = pageWidth - marginLeft - marginRight;
    const std::vector<int> old = natural_;
    const std::vector<int> oldShown = starts;
    const int shown = static_cast<int>(oldShown.size());
    const std::vector<int> fresh = breaker_.breakAgain(columns_, contentWidth, first, end, shift);
    const int lines = static_cast<int>(fresh.size());
    ChangedLines remade = changedLines(old, fresh, first, end, shift);
    TailLines tail{shown, shown, nullptr, {}};
    Style brokenRoom;
    if (lastPages_.broken) {
        const int broken = lastPages_.line;
        const int tailFrom = keepBefore(remade, broken, shown, lines);
        tail.keptEnd = broken;
        brokenRoom.height = lastPages_.natural.front().height;
        brokenRoom.marginTop = brokenRoom.marginBottom =
            lineMargin(lastPages_.natural.front().system, spacing_);
        tail.brokenRoom = &brokenRoom;
        const double unit = broken > 0 ? lineAt(broken - 1)->unit : 0.0;
        tail.makeTail = [this, tailFrom, lines, unit, &g] {
            return makeLines(tailFrom, lines, lines, unit, g);
        };
    }
    const int k0 = remade.first;
    const PageStarts pageStarts(*this);
    // Filled again from the page of the first changed line, or from the page before when
    // that line opens its page: made shorter, it may fit on the page before.
    int p0 = pageStarts.pageOf(k0);
    if (p0 > 0 && pageStarts[p0] == k0)
        --p0;
    const int f0 = pageStarts[p0];

    starts = fresh;
    natural_ = fresh;
    std::vector<std::unique_ptr<System>> built =
        makeLines(k0, remade.end, lines, k0 > 0 ? lineAt(k0 - 1)->unit : 0.0, g);
    LineTaker taker(*this, p0, f0);
    PageFiller filler = fillerFrom(p0, g);
    int kept = 0;
    int keptAt = -1;
    if (!refill(*this, pageStarts, taker, filler, built, remade, f0, tail, kept, keptAt)) {
        rebuild(g);
        return;
    }
    std::vector<std::unique_ptr<Page>> filled = filler.finish(kept < childCount());
    const int made = static_cast<int>(filled.size());
    const bool moved = replacePages(p0, kept, filled);
    for (int p = p0; p < (moved ? childCount() : p0 + made); ++p)
        changed.push_back(boxOf(page(p)->style));
    keepLastPages(keptAt, lines - static_cast<int>(old.size()), oldShown, shift);
    // Shapes on the pages filled again, or on every page after when pages came or went.
    const int firstColumn = f0 > 0 ? starts[static_cast<std::size_t>(f0) - 1] : 0;
    int lastLine = f0 - 1;
    for (int p = p0; p < p0 + made; ++p)
        lastLine += page(p)->childCount();
    const int endColumn = moved || lastLine < 0 ? -1 : starts[static_cast<std::size_t>(lastLine)];
    settle(g, firstColumn, endColumn);
}

void PageView::settle(Surface& g, int firstColumn, int endColumn) {
    if (balance(g)) {
        // The systems moved on every page.
        collectOverwide();
        changed.push_back(boxOf(style));
        relayoutShapes(g, 0, -1);
        return;
    }
    const int rebroken = rebreakLastPages(g);
    collectOverwide();
    relayoutShapes(g, firstColumn, endColumn);
    if (rebroken >= 0)
        relayoutShapes(g, rebroken, -1);
}

void PageView::keepLastPages(int keptAt, int moreLines, const std::vector<int>& oldShown,
                             int shift) {
    // What the last-page rule found holds while the pages it looked at stay as they were.
    if (lastPages_.line < 0 || keptAt < 0 || keptAt > lastPages_.line) {
        lastPages_ = {};
        return;
    }
    const int line = lastPages_.line;
    lastPages_.line = line + moreLines;
    if (!lastPages_.broken)
        return;
    std::vector<int>& starts = linear.lineStarts;
    starts.resize(static_cast<std::size_t>(lastPages_.line));
    for (auto k = static_cast<std::size_t>(line); k < oldShown.size(); ++k)
        starts.push_back(oldShown[k] + shift);
}

bool PageView::replaceColumns(int first, int end, int shift, int columns) {
    // The grids of the changed columns are made again; the others move with the shift.
    const int oldColumns = static_cast<int>(columns_.size());
    if (first < 0 || first > oldColumns || columns != oldColumns + shift ||
        (end >= 0 && (end < first || end - shift < first || end - shift > oldColumns)))
        return false;
    const int oldEnd = end < 0 ? oldColumns : end - shift;
    const int newEnd = end < 0 ? columns : end;
    std::vector<ColumnGrid> grids = columnGrids(linear, first, newEnd);
    if (oldEnd == newEnd) {
        // As many columns as before: replaced where they stand, the rest not moved.
        std::move(grids.begin(), grids.end(), columns_.begin() + first);
    } else {
        columns_.erase(columns_.begin() + first, columns_.begin() + oldEnd);
        columns_.insert(columns_.begin() + first, std::make_move_iterator(grids.begin()),
                        std::make_move_iterator(grids.end()));
    }
    return true;
}

bool PageView::replacePages(int first, int kept, std::vector<std::unique_ptr<Page>>& filled) {
    // The old pages first .. kept - 1 are empty now; the filled ones take their place.
    for (int p = kept - 1; p >= first; --p)
        removeChild(p);
    const int made = static_cast<int>(filled.size());
    for (int i = 0; i < made; ++i)
        insertChild(first + i, std::move(filled[static_cast<std::size_t>(i)]));
    for (int p = first + made; p < childCount(); ++p)
        page(p)->pageIndex = p;
    placePages();
    return made != kept - first;
}

void PageView::rebuildShapes(Surface& g) {
    for (const TieArc& arc : arcs)
        changed.push_back(boxOf(arc.style));
    for (const VoltaBracket& jump : voltas)
        changed.push_back(boxOf(jump.style));
    arcs.clear();
    voltas.clear();
    if (!score)
        return;
    arcs.reserve(score->ties().size());
    for (const music::Tie& tie : score->ties()) {
        arcs.emplace_back(format, linear.itemNode(tie.track, tie.from),
                          linear.itemNode(tie.track, tie.to));
        arcs.back().onPage = 1;
    }
    for (std::size_t i = 0; i < score->voltas().size(); ++i) {
        const music::Volta& volta = score->voltas()[i];
        voltas.emplace_back(volta.label, format, linear.measureNode(volta.track, volta.from),
                            linear.measureNode(volta.track, volta.to));
        voltas.back().onPage = 1;
        voltas.back().shown = !repeatsEndingAbove(score->voltas(), i);
    }
    markSharedEnds(arcs);
    for (TieArc& arc : arcs) {
        arc.layout(g, true);
        changed.push_back(boxOf(arc.style));
    }
    for (VoltaBracket& jump : voltas) {
        jump.layout(g, true);
        changed.push_back(boxOf(jump.style));
    }
    relayoutMarks(g);
}

void PageView::relayoutMarks(Surface& g) {
    // Few and cheap: made again whenever measures or shapes move.
    for (const MarkText& mark : marks)
        changed.push_back(boxOf(mark.style));
    marks = linear.makeMarks(true);
    for (MarkText& mark : marks) {
        mark.layout(g, true);
        changed.push_back(boxOf(mark.style));
    }
}

void PageView::relayoutShapes(Surface& g, int first, int end) {
    if (!score || arcs.size() != score->ties().size() || voltas.size() != score->voltas().size()) {
        rebuildShapes(g);
        return;
    }
    const auto reaches = [&](int from, int to) { return to >= first && (end < 0 || from < end); };
    // Arcs whose notes were replaced take the new ones first: which arcs share a note is
    // known only then.
    std::vector<bool> replaced(arcs.size(), false);
    for (std::size_t i = 0; i < arcs.size(); ++i) {
        if (arcs[i].anchored())
            continue;
        const music::Tie& tie = score->ties()[i];
        changed.push_back(boxOf(arcs[i].style));
        arcs[i] = TieArc(format, linear.itemNode(tie.track, tie.from),
                         linear.itemNode(tie.track, tie.to));
        arcs[i].onPage = 1;
        replaced[i] = true;
    }
    markSharedEnds(arcs);
    for (std::size_t i = 0; i < arcs.size(); ++i) {
        const music::Tie& tie = score->ties()[i];
        TieArc& arc = arcs[i];
        if (!replaced[i] && !reaches(tie.from.measure, tie.to.measure))
            continue;
        if (!replaced[i])
            changed.push_back(boxOf(arc.style));
        arc.layout(g, true);
        changed.push_back(boxOf(arc.style));
    }
    for (std::size_t i = 0; i < voltas.size(); ++i) {
        const music::Volta& volta = score->voltas()[i];
        VoltaBracket& jump = voltas[i];
        const bool replaced = !jump.anchored();
        const bool shown = !repeatsEndingAbove(score->voltas(), i);
        if (!replaced && !reaches(volta.from, volta.to) && shown == jump.shown)
            continue;
        changed.push_back(boxOf(jump.style));
        if (replaced) {
            jump = VoltaBracket(volta.label, format, linear.measureNode(volta.track, volta.from),
                                linear.measureNode(volta.track, volta.to));
            jump.onPage = 1;
        }
        jump.shown = shown;
        jump.layout(g, true);
        changed.push_back(boxOf(jump.style));
    }
    relayoutMarks(g);
}

void PageView::placePages() {
    int y = -style.paddingTop;
    int right = style.paddingLeft;
    for (auto& c : children_) {
        Style& s = c->style;
        s.x = style.paddingLeft + s.marginLeft;
        s.y = y - s.marginTop;
        y = s.y + s.height - s.marginBottom;
        right = s.x + s.width + s.marginRight;
    }
    style.width = right + style.paddingRight;
    style.height = y - style.paddingBottom;
}

void PageView::arrange(Surface& g) {
    placePages();
    for (TieArc& arc : arcs)
        arc.layout(g, true);
    for (VoltaBracket& jump : voltas)
        jump.layout(g, true);
    for (MarkText& mark : marks)
        mark.layout(g, true);
}

void PageView::paintShapes(Surface& g) const {
    for (const TieArc& arc : arcs)
        if (visible(g, arc.style))
            arc.paint(g);
    for (const VoltaBracket& jump : voltas)
        if (visible(g, jump.style))
            jump.paint(g);
    for (const MarkText& mark : marks)
        if (visible(g, mark.style))
            mark.paint(g);
}

void PageView::paint(Surface& g) const {
    Node::paint(g);
    OriginGuard guard(g, style.x, style.y);
    paintShapes(g);
}

void PageView::paintPage(int index, Surface& g) const {
    Page* sheet = page(index);
    OriginGuard guard(g, -sheet->style.x, -sheet->style.y);
    sheet->paint(g);
    paintShapes(g);
}

}  // namespace qe
