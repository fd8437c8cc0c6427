#include "painter/font_book.h"

#include <gtest/gtest.h>

#include <QFontDatabase>

#include <memory>
#include <thread>

#include "painter/measured_font.h"
#include "support/qt/test_fonts.h"

namespace qe {
namespace {

LogFont recordOf(const char16_t* face, int height) {
    LogFont record{};
    record.height = height;
    record.setFace(face);
    return record;
}

// A QFont must never be used by two threads at once: a thread gets its own, and keeps it.
TEST(FontBook, EachThreadMeasuresWithFontsOfItsOwn) {
    FontBook& book = test::fonts();
    const LogFont record = recordOf(u"QanorEditSymbol", -300);
    const std::shared_ptr<MeasuredFont> here = book.font(record);
    EXPECT_EQ(book.font(record), here);

    std::shared_ptr<MeasuredFont> there;
    int widthThere = 0;
    std::thread([&] {
        there = book.font(record);
        widthThere = there->width(u"1234");
    }).join();
    ASSERT_NE(there, nullptr);
    EXPECT_NE(there, here);
    EXPECT_EQ(widthThere, here->width(u"1234"));
}

// A face that was missing falls back to another; when fonts are added the book looks again.
TEST(FontBook, AFontDatabaseChangeMeasuresAfresh) {
    FontBook& book = test::fonts();
    ASSERT_TRUE(book.hasSymbolFont());
    const LogFont record = recordOf(u"QanorEditSymbol", -240);
    const std::shared_ptr<MeasuredFont> before = book.font(record);
    const int id = QFontDatabase::addApplicationFont(book.symbolFontPath());
    ASSERT_GE(id, 0);
    EXPECT_NE(book.font(record), before);
    QFontDatabase::removeApplicationFont(id);
}

}  // namespace
}  // namespace qe
