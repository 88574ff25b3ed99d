#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSettings>

// Widgets need an application object before the first test builds one.
int main(int argc, char* argv[]) {
    // The suite must also run outside CTest, where nobody has chosen a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    // The program keeps its window layout in the user's settings: never the real ones here.
    const QString settings = QDir::temp().filePath("wetter-gui-test-settings");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings);
    return RUN_ALL_TESTS();
}
