#include <QApplication>

#include "gui/app/CWetterApp.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    CWetterApp app(argc, argv);
    if (!app.InitInstance(QCoreApplication::arguments())) return 1;
    return QApplication::exec();
}
