#include "gui/comm/QtAcquisitionUi.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <thread>

#include "app/AppContext.h"
#include "comm/CDataBase.h"
#include "gui/comm/CInitDlg.h"
#include "gui/comm/CZeitStellen.h"
#include "model/StationSettings.h"
#include "platform/Ui.h"

void QtAcquisitionUi::RunInitialisation(CWetterDoc& document) {
    QtClockDialog clockDialog(m_context.clock, m_parent);
    CInitDlg dialog(document, &clockDialog, m_parent);
    dialog.Run();
}

bool QtAcquisitionUi::SearchBaudRate(CDataBase& transport, SerialLineSettings& line) {
    // The search takes up to half a minute: it runs beside the window, which stays alive.
    SerialLineSettings searched = line;
    std::atomic<bool> done{false};
    bool found = false;
    m_context.ui.ShowBusy("Searching the baud rate of the weather station...");
    std::thread search([&] {
        found = transport.SearchBaudRate(searched);
        done = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done) loop.quit();
    });
    poll.start(50);
    loop.exec();
    search.join();
    m_context.ui.HideBusy();
    line = searched;
    return found;
}

void QtAcquisitionUi::ExitProcess(int code) {
    // Queued: a silent run may end before the event loop has even started.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [code] { QCoreApplication::exit(code); },
        Qt::QueuedConnection);
}
