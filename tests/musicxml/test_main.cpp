#include <gtest/gtest.h>
#include <QCoreApplication>

// The MusicXML tests run programs (musicxml2ly) and need no screen.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
