#include <gtest/gtest.h>

#include <QApplication>

// Widgets need an application object before the first test builds one.
int main(int argc, char* argv[]) {
    // The suite must also run outside CTest, where nobody has chosen a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
