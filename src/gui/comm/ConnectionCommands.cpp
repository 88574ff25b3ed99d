#include "gui/comm/ConnectionCommands.h"

#include <QAction>
#include <QMenu>

#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "app/ConnectionOptions.h"
#include "comm/ProcessValues.h"
#include "gui/app/CMainFrame.h"
#include "gui/comm/CEinstellung.h"
#include "platform/PosixSerialPort.h"
#include "platform/ProgramPaths.h"
#include "platform/SerialPortList.h"

void AddConnectionCommands(QMenu& setup, CMainFrame& frame) {
    QAction* connection = setup.addAction(QStringLiteral("&Connection..."));
    QObject::connect(connection, &QAction::triggered, &frame, [&frame] {
        if (CWetterDoc* document = frame.ActiveDocument())
            ShowConnectionSettings(*document, &frame);
    });
}

void ShowConnectionSettings(CWetterDoc& document, QWidget* parent) {
    using namespace ConnectionOptions;
    AppContext& context = document.Context();
    OnConnectionSettings(document, [&](const ConnectionChoice& opened) {
        PosixSerialPort probe;
        PortLists lists = BuildPortLists(SerialPortCandidates(), probe, opened);
        CEinstellung dialog(context.profile, document.StationFile(), opened, std::move(lists),
                            probe, context.process.settings, context.ui,
                            context.paths.ProgramName(), parent);
        dialog.exec();
        return dialog.Result();
    });
}
