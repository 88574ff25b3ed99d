#include "gui/comm/TerminalMenu.h"

#include <QAction>
#include <QMenu>

#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "app/ForwardingForm.h"
#include "gui/app/CMainFrame.h"
#include "gui/comm/CDlgForwarding.h"
#include "gui/comm/CDlgTerminal.h"
#include "platform/PosixSerialPort.h"
#include "platform/ProgramPaths.h"

namespace {

void ShowTerminal(CMainFrame& frame, AppContext& context) {
    auto* terminal = frame.findChild<CDlgTerminal*>();
    if (terminal == nullptr) {
        terminal = new CDlgTerminal(context, frame.Switchboard(), &frame);
        // A command queued while no station is read would be dropped at the next connect.
        terminal->Core().SetStationCheck([&frame] {
            for (const auto& document : frame.Documents())
                if (document->AcquisitionRunning()) return true;
            return false;
        });
        frame.addDockWidget(Qt::BottomDockWidgetArea, terminal);
    }
    terminal->show();
    terminal->raise();
    terminal->setFocus();
}

void ShowForwarding(CMainFrame& frame, AppContext& context) {
    const CWetterDoc* document = frame.ActiveDocument();
    const std::string stationFile =
        document != nullptr ? document->StationFile() : context.paths.Named("station.ini");
    PosixSerialPort probe;
    ForwardingForm form(context, stationFile, probe);
    CDlgForwarding dialog(form, &frame);
    dialog.exec();
}

}  // namespace

void AddTerminalCommands(CMainFrame& frame, AppContext& context, QMenu& setup, QMenu& view) {
    QObject::connect(setup.addAction(QStringLiteral("Port forwarding")), &QAction::triggered,
                     &frame, [&frame, &context] { ShowForwarding(frame, context); });
    QObject::connect(view.addAction(QStringLiteral("Terminal")), &QAction::triggered, &frame,
                     [&frame, &context] { ShowTerminal(frame, context); });
}
