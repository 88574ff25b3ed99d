#include <QApplication>

#include "gui/app/CWetterApp.h"
#include "gui/app/HeadlessApp.h"

int main(int argc, char* argv[]) {
    // The service mode needs no display: no QApplication, no window.
    if (HeadlessApp::Requested(argc, argv)) return HeadlessApp::Main(argc, argv);

    QApplication application(argc, argv);
    CWetterApp app(argc, argv);
    if (!app.InitInstance(QCoreApplication::arguments())) return 1;
    return QApplication::exec();
}
