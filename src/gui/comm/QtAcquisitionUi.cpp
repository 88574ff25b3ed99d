#include "gui/comm/QtAcquisitionUi.h"

#include <QCoreApplication>

#include "app/AppContext.h"
#include "comm/CDataBase.h"
#include "comm/ProcessValues.h"
#include "gui/comm/CBaudrate.h"
#include "gui/comm/CInitDlg.h"
#include "gui/comm/CZeitStellen.h"
#include "model/StationSettings.h"
#include "platform/ProgramPaths.h"

void QtAcquisitionUi::RunInitialisation(CWetterDoc& document) {
    QtClockDialog clockDialog(m_context.clock, m_parent);
    CInitDlg dialog(document, &clockDialog, m_parent);
    dialog.Run();
}

bool QtAcquisitionUi::SearchBaudRate(CDataBase& transport, SerialLineSettings& line) {
    CBaudrate dialog(transport, line, m_context.process.BaudSearchAbortEvent, m_context.events,
                     m_context.clock, m_context.profile, m_context.paths.Named("station.ini"),
                     m_parent);
    const bool found = dialog.Run();
    // Every rate tried is the station's, so the found one is what the connect opens with.
    line = dialog.Line();
    return found;
}

void QtAcquisitionUi::ExitProcess(int code) {
    // Queued: a silent run may end before the event loop has even started.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [code] { QCoreApplication::exit(code); },
        Qt::QueuedConnection);
}
