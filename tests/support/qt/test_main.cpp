#include <gtest/gtest.h>
#include <QApplication>

#include <memory>

#include "painter/font_book.h"
#include "test_fonts.h"

namespace {
std::unique_ptr<qe::FontBook> g_fonts;
}

qe::FontBook& qe::test::fonts() {
    return *g_fonts;
}

// Tests of the Qt side draw into images and never need a screen.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);  // the playback controls are widgets
    g_fonts = std::make_unique<qe::FontBook>();
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    g_fonts.reset();
    return status;
}
