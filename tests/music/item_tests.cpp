#include <gtest/gtest.h>

#include <ostream>

#include "engrave/measure.h"
#include "support/error_code.h"
#include "support/fake_host.h"
#include "support/scroll_score.h"

#include "engrave/note_element.h"
#include "music/item.h"
#include "support/notation.h"

namespace qe::music {

void PrintTo(const Item& i, std::ostream* out) {
    *out << "{kind " << static_cast<int>(i.kind) << " degree " << i.degree << " octave " << i.octave
         << " accidental " << i.accidental << " underlines " << i.underlines << " bar " << i.barType
         << "}";
}

namespace {

using K = Item::Kind;

struct Row {
    std::uint16_t code;
    std::uint16_t value;
    Item item;
};

// Records as the editor writes them, and what they mean.
const Row kBothWays[] = {
    {0x0039, 0, Item::digit(1)},
    {0x02B3, 2, Item::digit(3, -1, 2, 5)},  // natural 3, one dot below, two underlines
    {0x027F, 7, Item::digit(7, 8, 7, 4)},   // the highest octave code: 15
    {0x0001, 0, Item::digit(1, -7)},        // the lowest: 0
    {0x00D4, 1, Item::digit(4, 3, 1, 1)},   // sharp 4 three dots up, an eighth
    {0x033D, 0, Item::digit(5, 0, 0, 6)},   // an accidental code without a meaning stays
    {0x0038, 0, Item::rest()},
    {0x0038, 3, Item::rest(3)},
    {0x00B8, 1, Item::rest(1, 1)},  // a rest keeps a stored accidental
    {0x0040, 0, Item::mark(K::Dash)},
    {0x0040, 1, Item::mark(K::Dot)},
    {0x0040, 2, Item::mark(K::Breath)},
    {0x0040, 3, Item::mark(K::OpenParen)},
    {0x0040, 4, Item::mark(K::CloseParen)},
    {0x0C00, 0, Item::barLine(0)},
    {0x0C06, 0, Item::barLine(6)},
    {0x0C07, 0, Item::barLine(7)},
};

TEST(ItemCoding, RecordsAndItemsMapBothWaysByteForByte) {
    for (const Row& row : kBothWays) {
        const note record(row.code, row.value);
        EXPECT_EQ(decode(record), row.item) << std::hex << row.code << "/" << row.value;
        EXPECT_EQ(encode(row.item), record) << std::hex << row.code << "/" << row.value;
    }
}

TEST(ItemCoding, StrayBitsAreReadAndWrittenCleanAsTheEditorDoes) {
    const Row kReadOnly[] = {
        {0x0439, 0, Item::digit(1)},             // class 1 reads as class 0
        {0x0839, 0xFFFA, Item::digit(1, 0, 2)},  // class 2; value bits above the duration
        {0x00C0, 0x0009, Item::mark(K::Dot)},    // an accidental on a mark is not shown
        {0x0C35, 0, Item::barLine(5)},           // bits between class and bar type
    };
    for (const Row& row : kReadOnly) {
        const std::optional<Item> item = decode(note(row.code, row.value));
        ASSERT_EQ(item, row.item) << std::hex << row.code;
        EXPECT_EQ(decode(encode(*item)), item);
    }
    EXPECT_EQ(encode(Item::digit(1, 0, 2)), note(0x0039, 2));
    EXPECT_EQ(encode(Item::barLine(5)), note(0x0C05, 0));
}

TEST(ItemCoding, RecordsTheEditorSkipsDecodeToNothing) {
    const note kSkipped[] = {
        note(0x0C08, 0), note(0x0C0F, 0),  // bar types with bit 3 set
        note(0x1039, 0), note(0xFC39, 0),  // item classes 4 and 63
        note(0x0040, 5), note(0x0040, 7),  // mark types above 4
        note(0x0000, 0), note(0x0048, 0),  // degree 0 with octave codes 0 and 9
    };
    for (const note& record : kSkipped)
        EXPECT_EQ(decode(record), std::nullopt) << std::hex << record.code << "/" << record.value;
}

TEST(ItemCoding, EveryValidItemSurvivesEncoding) {
    std::vector<Item> items;
    for (int degree = 1; degree <= 7; ++degree)
        for (int octave = -7; octave <= 8; ++octave)
            for (int underlines = 0; underlines <= 7; ++underlines)
                for (int accidental = 0; accidental <= 7; ++accidental)
                    items.push_back(Item::digit(degree, octave, underlines, accidental));
    for (int underlines = 0; underlines <= 7; ++underlines)
        for (int accidental = 0; accidental <= 7; ++accidental)
            items.push_back(Item::rest(underlines, accidental));
    for (K kind : {K::Dash, K::Dot, K::Breath, K::OpenParen, K::CloseParen})
        items.push_back(Item::mark(kind));
    for (int type = 0; type <= 7; ++type)
        items.push_back(Item::barLine(type));
    for (const Item& item : items)
        ASSERT_EQ(decode(encode(item)), item);
}

TEST(ItemCoding, ItemsNoRecordCanHoldAreRefused) {
    const Item kBad[] = {Item::digit(0),
                         Item::digit(8),
                         Item::digit(1, 9),
                         Item::digit(1, -8),
                         Item::digit(1, 0, 8),
                         Item::digit(1, 0, 0, 8),
                         Item::rest(-1),
                         Item::barLine(8),
                         [] {
                             Item dash = Item::mark(K::Dash);
                             dash.underlines = 1;
                             return dash;
                         }()};
    for (const Item& item : kBad)
        EXPECT_EQ(test::codeOf([&] { encode(item); }), kOutOfRange);
}

// A track with records the editor skips between the ones it shows.
std::vector<note> mixedTrack() {
    return {note(3, 2, 1, 1),
            note(0x0C08, 0),
            note::mark(note::kDash),
            note(0x1039, 0),
            note::rest(2),
            note::barLine(2),
            note(0x0040, 6),
            note::mark(note::kAugmentationDot),
            note(1, 5, -2, 0),
            note(0x0048, 0),
            note::mark(note::kBreath),
            note::barLine(7),
            note(0x0839, 3),
            note::barLine(0)};
}

int elementKindOf(K kind) {
    switch (kind) {
        case K::Digit:
        case K::Rest:
            return kDigitElement;
        case K::Dash:
            return kDashElement;
        case K::Dot:
            return kDotElement;
        default:
            return kMarkElement;
    }
}

TEST(ItemCoding, EveryElementShowsTheEntryItStandsFor) {
    QeDocument doc = test::scoreOf({});
    note_track track;
    track.content.items = mixedTrack();
    doc.noteTracks().push_back(track);
    test::ScrollScore score(std::move(doc));
    const Node* line = score.line(0);
    ASSERT_EQ(line->childCount(), score.score->measureCount(0));
    for (int m = 0; m < line->childCount(); ++m) {
        const auto* measure = static_cast<const qe::Measure*>(line->child(m));
        const music::Measure& stored = score.score->measure(0, m);
        for (int e = 0; e < measure->childCount(); ++e) {
            const auto* element = static_cast<const NoteElement*>(measure->child(e));
            const Item item =
                *decode(stored.entries.at(static_cast<std::size_t>(element->entry)).record);
            if (element->elementKind == kAccidentalElement) {
                EXPECT_EQ(element->accidental, item.accidental);
                continue;
            }
            EXPECT_EQ(element->elementKind, elementKindOf(item.kind));
            EXPECT_EQ(element->degree, item.degree);
        }
        EXPECT_EQ(measure->barType, stored.barType());
    }
    EXPECT_EQ(line->childCount(), 3);
}

TEST(ItemCoding, TheEditorKeepsRecordsAsReadAndWritesTypedItemsAsEncodeDoes) {
    QeDocument doc = test::scoreOf({});
    note_track track;
    track.content.items = mixedTrack();
    doc.noteTracks().push_back(track);
    test::Editor editor(doc);
    EXPECT_EQ(editor.track(), mixedTrack());
    editor.type(U"sk5");
    EXPECT_EQ(editor.track().front(), encode(Item::digit(5, 0, 1, 1)));
}

}  // namespace
}  // namespace qe::music
