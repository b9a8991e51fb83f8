#include <QApplication>
#include <gtest/gtest.h>

// Windows are tested without a display.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tallyroll");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
