#include "engrave/page_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>

#include "base/exception.h"
#include "engrave/line_breaker.h"
#include "engrave/measure.h"
#include "engrave/system.h"
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

std::u16string tempoMarkText(const TempoMark& mark) {
    std::u16string text;
    if (mark.perMinute > 0) {
        // The note of the beat as the text font draws it: ♩ a quarter, ♪ an eighth, 𝅗𝅥 a half.
        switch (mark.beatUnit) {
            case 2:
                text = u"\U0001D15E";
                break;
            case 8:
                text = u"\u266A";
                break;
            default:
                text = u"\u2669";
                break;
        }
        if (mark.dotted)
            text += u".";
        const std::string number = std::to_string(mark.perMinute);
        text += u"=" + std::u16string(number.begin(), number.end());
    }
    if (!mark.text.empty())
        text += (text.empty() ? u"" : u" ") + mark.text;
    return text;
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

int PageView::placeTitleBlock(Page& page, int y, Surface& g) {
    const doc_header& h = score->header();
    const format_track_header& f = *format;
    const int W = pageWidth;
    const int titleHeight = f.font(kTitleFont).logFont.height;
    const int subtitleHeight = f.font(kSubtitleFont).logFont.height;
    const int textHeight = f.font(kTextFont).logFont.height;
    // A text is present when it measures below 0: an empty text measures (0, 0).
    const auto measured = [&](const std::u16string& s, FontCategory category) {
        Text text(&page, s, f.font(category));
        text.layout(g, true);
        return text;
    };
    const auto place = [&](const Text& text, int x, int top, const char* role) {
        page.texts.push_back(text);
        page.texts.back().heldBy(&page);
        page.texts.back().style.x = x;
        page.texts.back().style.y = top;
        page.texts.back().role = role;
    };
    // Centred on the whole sheet, not on the content area, but never past the margins: a
    // title wider than the text width goes on as many lines as it needs.
    const int textWidth = std::max(1, W - marginLeft - marginRight);
    const auto centred = [&](const std::u16string& s, FontCategory category, int top,
                             const char* role) {
        g.setFont(f.font(category));
        for (const std::u16string& line : wrapText(g, s, textWidth)) {
            const Text text = measured(line, category);
            const int x = std::clamp((W - text.style.width) / 2, marginLeft,
                                     std::max(marginLeft, W - marginRight - text.style.width));
            place(text, x, top, role);
            top += text.style.height;
        }
        return top;
    };

    y = centred(h.title, kTitleFont, y, "title");
    if (!h.subtitle.empty() && measured(h.subtitle, kSubtitleFont).style.height < 0)
        y = centred(h.subtitle, kSubtitleFont, y + subtitleHeight / 2, "subtitle");

    y += titleHeight;
    int a = y;
    page.keyTexts.emplace_back(format, h.keyAccidental, h.keyLetter, h.timeNumerator,
                               h.timeDenominator, &page);
    KeyText& key = page.keyTexts.back();
    key.freeMeter = h.freeMeter;
    key.layout(g, true);
    key.style.x = marginLeft;
    key.style.y = y;
    int b = key.style.y + key.style.height + textHeight / 2;

    int author3Height = 0;
    for (const std::u16string* author : {&h.author1, &h.author2, &h.author3}) {
        const Text text = measured(*author, kTextFont);
        if (author == &h.author3)
            author3Height = text.style.height;
        if (text.style.height >= 0)
            continue;
        place(text, std::max(marginLeft, W - marginRight - text.style.width), a, "author");
        a += textHeight / 3 + text.style.height;
    }

    // The metronome mark and tempo text stand beside the key and time signature.
    int besideKey = key.style.x + key.style.width + 200;
    const Text tempo = measured(tempoMarkText(h.tempo), kTextFont);
    if (tempo.style.height < 0) {
        place(tempo, besideKey, key.style.y + (key.style.height - tempo.style.height) / 2,
              "tempo");
        besideKey += tempo.style.width + 200;
    }
    const Text comment1 = measured(h.comment1, kTextFont);
    place(comment1, besideKey, key.style.y + (key.style.height - comment1.style.height) / 2,
          "comment");

    const Text comment2 = measured(h.comment2, kTextFont);
    if (comment2.style.height < 0) {
        place(comment2, marginLeft, b, "comment");
        b += textHeight / 3 + comment2.style.height;
    }
    return std::min(a, b) + author3Height;
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
    const double unit = lineUnit(columns_, from, to, contentWidth, k + 1 == lines, unitAbove,
                                 &squeeze, &justified);
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
        const int m = linear.child(0)->indexOf(line.child(0)->realChild(0));
        if (m >= 0) {
            const std::string number = std::to_string(m + 1);
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
    for (int t = 0; t < line.childCount() && t < static_cast<int>(names.size()); ++t) {
        const std::u16string& text = first ? names[static_cast<std::size_t>(t)].name
                                           : names[static_cast<std::size_t>(t)].shortName;
        if (text.empty())
            continue;
        Text label(&line, text, format->font(kTextFont));
        label.role = "partName";
        label.layout(g, true);
        // Level with the row's digits, below any room the row keeps above them.
        const Node* row = line.child(t);
        const Node* first = row->firstChild();
        const int rowTop = row->style.y + (first ? first->style.y : 0);
        const int rowHeight = first ? first->style.height : row->style.height;
        label.style.x = -gap - label.style.width;
        label.style.y = rowTop + (rowHeight - label.style.height) / 2;
        line.labels.push_back(label);
    }
    // Copies start detached: each names the line that holds it once the list stands.
    for (Text& label : line.labels)
        label.heldBy(&line);
}

void PageView::rebuild(Surface& g) {
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
    const int contentWidth = pageWidth - marginLeft - marginRight;
    columns_ = columnGrids(linear);
    linear.lineStarts = breaker_.breakAll(columns_, contentWidth);
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
    placePages();
    collectOverwide();
    rebuildShapes(g);
    changed = {{0, 0, style.width, style.height}};
}

namespace {

// The room above and below a display line at `spacing`: a system of several tracks keeps the
// room that tells it from the next system.
int lineMargin(const Node& line, double spacing) {
    const bool system = line.childCount() >= 2 || static_cast<const System&>(line).joinsTracks;
    return static_cast<int>(std::lround(
        (System::kDisplayLineMargin + (system ? System::kSystemMargin : 0)) * spacing));
}

}  // namespace

void PageView::spaceLines(Node& line) const {
    const int margin = lineMargin(line, spacing_);
    line.style.marginTop = margin;
    line.style.marginBottom = margin;
}

void PageView::fill(std::vector<std::unique_ptr<Node>> lines, Surface& g) {
    const int H = pageHeight, T = marginTop, B = marginBottom;
    auto page = std::make_unique<Page>(format);
    int pages = 0;
    const auto finish = [&] {
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
            finish();
            page = std::make_unique<Page>(format);
            y = -(s.marginTop + T);
        }
        line->style.x = marginLeft;
        line->style.y = y;
        y += s.height - s.marginTop - s.marginBottom;
        page->appendChild(std::move(line));
    }
    finish();
    placePages();
}

int PageView::pagesAt(double spacing, int* lastLines) const {
    // As fill places them.
    const int H = pageHeight, T = marginTop, B = marginBottom;
    int y = contentTop_;
    int pages = 1;
    int onPage = 0;
    for (int p = 0; p < childCount(); ++p) {
        for (int k = 0; k < page(p)->childCount(); ++k) {
            const Node* line = page(p)->child(k);
            const int margin = lineMargin(*line, spacing);
            const int height = line->style.height;
            if (y < (B - H) - height + 2 * margin) {
                ++pages;
                onPage = 0;
                y = -(margin + T);
            }
            y += height - 2 * margin;
            ++onPage;
        }
    }
    if (lastLines)
        *lastLines = onPage;
    return pages;
}

bool PageView::balance(Surface& g) {
    // Most scores: the last page holds more than two systems, or there is one page.
    const int pages = childCount();
    if (spacing_ == 1.0 && (pages <= 1 || page(pages - 1)->childCount() > 2))
        return false;
    // Balanced already, on lines of the same heights: nothing to do again.
    std::uint64_t heights = static_cast<std::uint32_t>(contentTop_);
    for (int p = 0; p < pages; ++p)
        for (int k = 0; k < page(p)->childCount(); ++k)
            heights = heights * 31 + static_cast<std::uint32_t>(page(p)->child(k)->style.height);
    if (heights == balancedHeights_)
        return false;
    balancedHeights_ = heights;
    // A last page of one or two systems is avoided when the pages before can take them with
    // less room between their systems, down to half of it.
    int last = 0;
    const int natural = pagesAt(1.0, &last);
    double wanted = 1.0;
    if (natural > 1 && last <= 2 && pagesAt(kLeastSpacing, nullptr) < natural) {
        double fits = kLeastSpacing;
        double over = 1.0;
        for (int i = 0; i < 12; ++i) {
            const double mid = (fits + over) / 2;
            (pagesAt(mid, nullptr) < natural ? fits : over) = mid;
        }
        wanted = fits;
    }
    if (std::abs(wanted - spacing_) < 1e-9)
        return false;
    spacing_ = wanted;
    std::vector<std::unique_ptr<Node>> lines;
    for (int p = 0; p < childCount(); ++p)
        while (page(p)->childCount() > 0)
            lines.push_back(page(p)->removeChild(0));
    Node::clearChildren();
    fill(std::move(lines), g);
    return true;
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

}  // namespace

void PageView::update(Surface& g, int first, int end, int shift) {
    std::vector<int>& starts = linear.lineStarts;
    const int columns = columnCount(linear);
    if (childCount() == 0 || starts.empty() || columns == 0 || !format) {
        rebuild(g);
        return;
    }
    changed.clear();
    const int H = pageHeight, T = marginTop, B = marginBottom;
    const int contentWidth = pageWidth - marginLeft - marginRight;

    // The grids of the changed columns are made again; the others move with the shift.
    const int oldColumns = static_cast<int>(columns_.size());
    if (first < 0 || first > oldColumns || columns != oldColumns + shift ||
        (end >= 0 && (end < first || end - shift < first || end - shift > oldColumns))) {
        rebuild(g);
        return;
    }
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

    const std::vector<int> old = starts;
    const int oldLines = static_cast<int>(old.size());
    const std::vector<int> fresh = breaker_.breakAgain(columns_, contentWidth, first, end, shift);
    const int lines = static_cast<int>(fresh.size());
    // The lines before the first that changed its breaks or holds a changed column stay...
    int k0 = 0;
    while (k0 < oldLines && k0 < lines && fresh[static_cast<std::size_t>(k0)] ==
                                              old[static_cast<std::size_t>(k0)] &&
           fresh[static_cast<std::size_t>(k0)] <= first)
        ++k0;
    k0 = std::min(k0, std::min(oldLines, lines) - 1);
    k0 = std::max(k0, 0);
    // ... and so do the lines after the last one that changed: each holds the columns it
    // held, all of them unchanged and only moved by the shift.
    int tail = -1;       // the first old line kept
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
    const int k1 = tailFresh;
    const int dropEnd = tail >= 0 ? tail : oldLines;
    // The pages as they stand: the first old line of each.
    const int pages = childCount();
    std::vector<int> firstOf(static_cast<std::size_t>(pages) + 1, 0);
    for (int p = 0; p < pages; ++p)
        firstOf[static_cast<std::size_t>(p) + 1] =
            firstOf[static_cast<std::size_t>(p)] + page(p)->childCount();
    const auto pageOf = [&](int line) {
        return static_cast<int>(std::upper_bound(firstOf.begin(), firstOf.end() - 1, line) -
                                firstOf.begin()) -
               1;
    };
    const auto oldLine = [&](int line) {
        const int p = pageOf(line);
        return static_cast<System*>(page(p)->child(line - firstOf[static_cast<std::size_t>(p)]));
    };
    // Filled again from the page of the first changed line, or from the page before when
    // that line opens its page: made shorter, it may fit on the page before.
    int p0 = pageOf(k0);
    if (p0 > 0 && firstOf[static_cast<std::size_t>(p0)] == k0)
        --p0;
    const int f0 = firstOf[static_cast<std::size_t>(p0)];

    starts = fresh;
    std::vector<std::unique_ptr<System>> built;
    double unitAbove = k0 > 0 ? oldLine(k0 - 1)->unit : 0.0;
    for (int k = k0; k < k1; ++k) {
        built.push_back(makeLine(k, lines, g, unitAbove));
        unitAbove = built.back()->unit;
    }

    // Lines taken off the old pages, a page at a time, from page p0 on.
    int nextPage = p0;
    std::deque<std::unique_ptr<Node>> taken;
    int takenFrom = f0;
    const auto take = [&](int line) {
        while (line >= takenFrom + static_cast<int>(taken.size())) {
            Page* source = page(nextPage++);
            while (source->childCount() > 0)
                taken.push_back(source->removeChild(0));
        }
        while (takenFrom < line) {
            taken.pop_front();
            ++takenFrom;
        }
        ++takenFrom;
        std::unique_ptr<Node> node = std::move(taken.front());
        taken.pop_front();
        return node;
    };

    std::vector<std::unique_ptr<Page>> filled;
    auto sheet = std::make_unique<Page>(format);
    int y = 0;
    bool fresh0 = true;  // the next line placed opens its page at its own margin
    if (p0 == 0) {
        y = placeTitleBlock(*sheet, -T - Page::kSheetSpacing, g);
        contentTop_ = y;
        fresh0 = false;
    }
    const auto fits = [&](const Style& s) {
        return y >= (B - H) - s.height + s.marginTop + s.marginBottom;
    };
    const auto place = [&](std::unique_ptr<Node> line) {
        const Style& s = line->style;
        if (s.height < (B - H) + s.marginTop + s.marginBottom + T)
            return false;
        if (fresh0) {
            y = -(s.marginTop + T);
            fresh0 = false;
        } else if (!fits(s)) {
            sheet->pageIndex = p0 + static_cast<int>(filled.size());
            filled.push_back(std::move(sheet));
            sheet = std::make_unique<Page>(format);
            y = -(s.marginTop + T);
        }
        line->style.x = marginLeft;
        line->style.y = y;
        y += s.height - s.marginTop - s.marginBottom;
        sheet->appendChild(std::move(line));
        return true;
    };
    bool tooTall = false;
    for (int x = f0; x < k0 && !tooTall; ++x)
        tooTall = !place(take(x));
    for (auto& line : built)
        tooTall = tooTall || !place(std::move(line));
    // The lines made again stand for these, which go.
    for (int x = k0; x < dropEnd && !tooTall; ++x)
        take(x);
    int kept = pages;  // the first old page kept as it is
    if (tail >= 0 && !tooTall) {
        for (int x = tail; x < oldLines; ++x) {
            // An old page that opens with this line and would open here again: it and the
            // pages after it stand as they were.
            if (nextPage < pages && x == firstOf[static_cast<std::size_t>(nextPage)] &&
                !fits(page(nextPage)->child(0)->style)) {
                kept = nextPage;
                break;
            }
            if (!place(take(x))) {
                tooTall = true;
                break;
            }
        }
    }
    if (tooTall) {
        rebuild(g);
        return;
    }
    sheet->pageIndex = p0 + static_cast<int>(filled.size());
    filled.push_back(std::move(sheet));
    if (kept == pages)
        kept = nextPage;

    // The old pages p0 .. kept - 1 are empty now; the filled ones take their place.
    for (int p = kept - 1; p >= p0; --p)
        removeChild(p);
    const int made = static_cast<int>(filled.size());
    for (int i = 0; i < made; ++i)
        insertChild(p0 + i, std::move(filled[static_cast<std::size_t>(i)]));
    for (int p = p0 + made; p < childCount(); ++p)
        page(p)->pageIndex = p;
    const bool moved = made != kept - p0;
    placePages();

    for (int p = p0; p < (moved ? childCount() : p0 + made); ++p)
        changed.push_back(boxOf(page(p)->style));
    // Shapes on the pages filled again, or on every page after when pages came or went.
    const int firstColumn = f0 > 0 ? starts[static_cast<std::size_t>(f0) - 1] : 0;
    int lastLine = f0 - 1;
    for (int p = p0; p < p0 + made; ++p)
        lastLine += page(p)->childCount();
    const int endColumn = moved || lastLine < 0 ? -1 : starts[static_cast<std::size_t>(lastLine)];
    collectOverwide();
    if (balance(g)) {
        // The systems moved on every page.
        changed.push_back(boxOf(style));
        relayoutShapes(g, 0, -1);
        return;
    }
    relayoutShapes(g, firstColumn, endColumn);
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
    for (const music::Volta& volta : score->voltas()) {
        voltas.emplace_back(volta.label, format, linear.measureNode(volta.track, volta.from),
                               linear.measureNode(volta.track, volta.to));
        voltas.back().onPage = 1;
    }
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
    if (!score || arcs.size() != score->ties().size() ||
        voltas.size() != score->voltas().size()) {
        rebuildShapes(g);
        return;
    }
    const auto reaches = [&](int from, int to) { return to >= first && (end < 0 || from < end); };
    for (std::size_t i = 0; i < arcs.size(); ++i) {
        const music::Tie& tie = score->ties()[i];
        TieArc& arc = arcs[i];
        const bool replaced = !arc.anchored();
        if (!replaced && !reaches(tie.from.measure, tie.to.measure))
            continue;
        changed.push_back(boxOf(arc.style));
        if (replaced) {
            arc = TieArc(format, linear.itemNode(tie.track, tie.from),
                         linear.itemNode(tie.track, tie.to));
            arc.onPage = 1;
        }
        arc.layout(g, true);
        changed.push_back(boxOf(arc.style));
    }
    for (std::size_t i = 0; i < voltas.size(); ++i) {
        const music::Volta& volta = score->voltas()[i];
        VoltaBracket& jump = voltas[i];
        const bool replaced = !jump.anchored();
        if (!replaced && !reaches(volta.from, volta.to))
            continue;
        changed.push_back(boxOf(jump.style));
        if (replaced) {
            jump = VoltaBracket(volta.label, format, linear.measureNode(volta.track, volta.from),
                                linear.measureNode(volta.track, volta.to));
            jump.onPage = 1;
        }
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
