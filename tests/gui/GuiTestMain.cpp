#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QSettings>

// Widgets need an application object before the first test builds one.
int main(int argc, char* argv[]) {
    // The suite must also run outside CTest, where nobody has chosen a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    // The program keeps its window layout in the user's settings: never the real ones here.
    // One folder per process: CTest runs tests side by side, and each saves a layout.
    const QString settings = QDir::temp().filePath(
        QString("wetter-gui-test-settings-%1").arg(QCoreApplication::applicationPid()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings);
    const int result = RUN_ALL_TESTS();
    QDir(settings).removeRecursively();
    return result;
}
