#include "layout/page_view.h"

#include <algorithm>
#include <cmath>

#include "layout/complex_line.h"
#include "layout/line_breaker.h"
#include "model/exception.h"
#include "music/score.h"

namespace qe {

PageView::PageView() : Node(kPageView) {
    style.paddingLeft = style.paddingTop = style.paddingRight = style.paddingBottom = kPadding;
}

void PageView::build(const music::Score* s) {
    score = s;
    linear.build(s);
}

void PageView::clearChildren() {
    arcs.clear();
    jumpLines.clear();
    Node::clearChildren();
    linear.clearChildren();
}

int PageView::placeTitleBlock(Page& page, int y, BaseGDI& g) {
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
    const auto place = [&](const Text& text, int x, int top) {
        page.texts.push_back(text);
        page.texts.back().heldBy(&page);
        page.texts.back().style.x = x;
        page.texts.back().style.y = top;
    };

    // Centred on the whole sheet, not on the content area.
    const Text title = measured(h.title, kTitleFont);
    place(title, (W - title.style.width) / 2, y);
    y += title.style.height;

    const Text subtitle = measured(h.subtitle, kSubtitleFont);
    if (subtitle.style.height < 0) {
        const int top = y + subtitleHeight / 2;
        place(subtitle, (W - subtitle.style.width) / 2, top);
        y = top + subtitle.style.height;
    }

    y += titleHeight;
    int a = y;
    page.keyTexts.emplace_back(format, h.keyAccidental, h.keyLetter, h.timeNumerator,
                               h.timeDenominator, &page);
    KeyText& key = page.keyTexts.back();
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
        place(text, W - marginRight - text.style.width, a);
        a += textHeight / 3 + text.style.height;
    }

    const Text comment1 = measured(h.comment1, kTextFont);
    place(comment1, key.style.x + key.style.width + 200,
          key.style.y + (key.style.height - comment1.style.height) / 2);

    const Text comment2 = measured(h.comment2, kTextFont);
    if (comment2.style.height < 0) {
        place(comment2, marginLeft, b);
        b += textHeight / 3 + comment2.style.height;
    }
    return std::min(a, b) + author3Height;
}

void PageView::rebuild(BaseGDI& g) {
    // The page copies of the shapes are made again from the edit tree's, after it is laid out.
    arcs.clear();
    jumpLines.clear();
    linear.refreshSettings();
    linear.layout(g, true);
    Node::clearChildren();

    format = linear.format;
    if (format) {
        pageWidth = format->pageWidth;
        pageHeight = format->pageHeight;
        marginLeft = format->marginLeft;
        marginTop = format->marginTop;
        marginRight = format->marginRight;
        marginBottom = format->marginBottom;
    }
    const int W = pageWidth, H = pageHeight, L = marginLeft, T = marginTop, R = marginRight,
              B = marginBottom;

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

    const int contentWidth = W - L - R;
    const int lines =
        breakLines(linear, static_cast<int>(std::floor(contentWidth * kBreakShare + 0.5)));
    std::vector<double> unitsAbove;
    for (int k = 0; k < lines; ++k) {
        auto line = ComplexLine::displayLine(linear.childCount());
        if (k + 1 < lines)
            unitsAbove = buildLine(k, linear, g, *line, contentWidth);
        else
            buildLastLine(k, linear, g, *line, contentWidth, unitsAbove,
                          standardUnit(g, format, kBreakShare));
        const Style& s = line->style;
        if (s.height < (B - H) + s.marginTop + s.marginBottom + T)
            throw Exception(kLayoutOverflow);
        if (y < (B - H) - s.height + s.marginTop + s.marginBottom) {
            finish();
            page = std::make_unique<Page>(format);
            y = -(s.marginTop + T);
        }
        line->style.x = L;
        line->style.y = y;
        y += s.height - s.marginTop - s.marginBottom;
        page->appendChild(std::move(line));
    }
    finish();

    for (const SusArc& arc : linear.arcs) {
        arcs.push_back(arc);
        arcs.back().onPage = 1;
    }
    for (const JumpLine& jump : linear.jumpLines) {
        jumpLines.push_back(jump);
        jumpLines.back().onPage = 1;
    }
    layout(g, false);
}

void PageView::arrange(BaseGDI& g) {
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
    for (SusArc& arc : arcs)
        arc.layout(g, true);
    for (JumpLine& jump : jumpLines)
        jump.layout(g, true);
}

void PageView::paintShapes(BaseGDI& g) {
    for (SusArc& arc : arcs)
        if (visible(g, arc.style))
            arc.paint(g);
    for (JumpLine& jump : jumpLines)
        if (visible(g, jump.style))
            jump.paint(g);
}

void PageView::paint(BaseGDI& g) {
    Node::paint(g);
    OriginGuard guard(g, style.x, style.y);
    paintShapes(g);
}

void PageView::paintPage(int index, BaseGDI& g) {
    Page* sheet = page(index);
    OriginGuard guard(g, -sheet->style.x, -sheet->style.y);
    sheet->paint(g);
    paintShapes(g);
}

}  // namespace qe
