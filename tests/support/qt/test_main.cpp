#include <gtest/gtest.h>
#include <QApplication>

#include "painter/resources.h"

// Tests of the Qt side draw into images and never need a screen.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);  // the playback controls are widgets
    qe::registerApplicationFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
