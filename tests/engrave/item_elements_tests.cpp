#include <gtest/gtest.h>

#include "engrave/note_element.h"
#include "engrave/item_elements.h"
#include "engrave/measure.h"

namespace qe {
namespace {

// Every record the editor reads comes back from the elements that show it as the same item,
// and as the same bytes: building a track line and committing it are two halves of one
// mapping.
TEST(ItemElements, EveryReadableRecordComesBackFromItsElements) {
    int items = 0;
    for (int code = 0; code <= 0xFFFF; ++code) {
        for (int value : {0, 1, 2, 3, 4, 5, 6, 7, 0x1F8}) {
            const note record(static_cast<std::uint16_t>(code), static_cast<std::uint16_t>(value));
            const std::optional<music::Item> item = music::decode(record);
            if (!item || item->isBarLine())
                continue;
            ++items;
            Measure measure(nullptr, 0);
            for (auto& e : elementsOf(*item))
                measure.appendChild(std::move(e));
            ASSERT_GE(measure.childCount(), 1) << std::hex << code << "/" << value;
            const NoteElement& shown = *measure.elementAt(measure.childCount() - 1);
            ASSERT_EQ(itemOf(shown), item) << std::hex << code << "/" << value;
            ASSERT_EQ(music::encode(*itemOf(shown)), music::encode(*item));
            ASSERT_EQ(storedItemOf(measure.elementAt(0)), &shown);
        }
    }
    EXPECT_GT(items, 1000);
}

TEST(ItemElements, AnAccidentalBelongsToTheDigitRightAfterIt) {
    Measure m(nullptr, 0);
    m.appendChild(NoteElement::makeAccidental(1));  // a sharp with no digit after it
    m.appendChild(NoteElement::makeMark(0xF041, kMarkElement));
    m.appendChild(NoteElement::makeAccidental(1));
    m.appendChild(NoteElement::makeAccidental(3));  // the flat is the one stored
    m.appendChild(NoteElement::makeNote(2, 1, -1));
    EXPECT_EQ(storedItemOf(m.elementAt(0)), nullptr);
    EXPECT_EQ(storedItemOf(m.elementAt(2)), nullptr);
    EXPECT_EQ(storedItemOf(m.elementAt(3)), m.elementAt(4));
    EXPECT_EQ(itemOf(*m.elementAt(4)), music::Item::digit(2, -1, 1, 3));
    EXPECT_EQ(itemOf(*m.elementAt(1)), music::Item::mark(music::Item::Kind::Breath));
    EXPECT_FALSE(itemOf(*m.elementAt(0)));
}

}  // namespace
}  // namespace qe
