#pragma once

// CWetterApp is the program: its seams, settings and main window.

#include <QStringList>
#include <memory>
#include <string>

#include "app/AppContext.h"
#include "comm/ProcessValues.h"
#include "comm/SystemTransportFactory.h"
#include "comm/TransportServices.h"
#include "gui/platform/QtEventQueue.h"
#include "gui/platform/QtRegistry.h"
#include "gui/platform/QtTimers.h"
#include "model/ErrorLog.h"
#include "platform/IniProfile.h"
#include "platform/PosixFileStore.h"
#include "platform/ProgramPaths.h"
#include "platform/SystemClock.h"
#include "publish/StationPublisher.h"

class CMainFrame;
class ModemUi;
class StopSignals;

// The application object: owns the real platform seams and the main window,
// and starts the program. Needs a QApplication that outlives it.
class CWetterApp final {
public:
    // The program under the name it was started with (argv[0]; honouring
    // WETTER_HOME), with Qt dialogs. `argv` as main got it.
    CWetterApp(int argc, char* argv[]);
    // `programPath` in place of the executable; `ui` in place of the Qt dialogs
    // when not null.
    explicit CWetterApp(std::string programPath, std::unique_ptr<Ui> ui = nullptr);
    ~CWetterApp();
    CWetterApp(const CWetterApp&) = delete;
    CWetterApp& operator=(const CWetterApp&) = delete;

    // `arguments` as the program got them, its own name first. False when the
    // program cannot start (the user has been told).
    bool InitInstance(const QStringList& arguments);

    AppContext& Context() { return m_context; }
    const ProgramPaths& Paths() const { return m_paths; }
    ProcessValues& Process() { return m_process; }
    // Null before InitInstance.
    CMainFrame* MainFrame() const { return m_mainFrame.get(); }

private:
    CWetterApp(ProgramPaths paths, std::unique_ptr<Ui> ui);

    ProgramPaths m_paths;
    IniProfile m_profile;
    SystemClock m_clock;
    QtEventQueue m_events;
    QtTimers m_timers;
    std::unique_ptr<Ui> m_ui;
    ErrorLog m_errorLog;
    ProcessValues m_process;
    PosixFileStore m_files;
    QtRegistry m_registry;
    std::unique_ptr<ModemUi> m_modemUi;
    TransportServices m_transportServices;
    SystemTransportFactory m_transports;
    AppContext m_context;
    StationPublisher m_publisher{m_context};
    std::unique_ptr<CMainFrame> m_mainFrame;
    std::unique_ptr<StopSignals> m_stopSignals;
};
