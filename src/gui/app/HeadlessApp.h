#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/HeadlessUi.h"
#include "comm/ProcessValues.h"
#include "comm/SystemTransportFactory.h"
#include "comm/TransportServices.h"
#include "gui/platform/QtEventQueue.h"
#include "gui/platform/QtTimers.h"
#include "model/ErrorLog.h"
#include "platform/IniProfile.h"
#include "platform/PosixFileStore.h"
#include "platform/PosixLauncher.h"
#include "platform/ProgramPaths.h"
#include "platform/SystemClock.h"

class CWetterDoc;
class HeadlessAcquisitionUi;
class StationDocuments;
class StationPublisher;
class StopSignals;

// The program without windows (`wetter --headless`, the service mode): the
// station that the desktop program would open runs with the same core
// (connect, initialisation, logger read-out, storage, publishing, process
// control, the reconnect cycle); messages go to standard error and ErrLog.txt,
// questions get the answers of HeadlessUi. SIGTERM and SIGINT stop it as
// closing the main window would, without the quit question. The window layout
// is neither read nor written. Needs a QCoreApplication that outlives it.
class HeadlessApp final {
public:
    static constexpr const char* kOption = "--headless";
    // Exit codes besides 0 (stopped, or a silent run that ended).
    static constexpr int kExitCannotStart = 1;  // also: the first connect failed, no reconnect
    static constexpr int kExitNothingToAcquire = 78;  // the station is not set up to connect

    // True when `kOption` is among the arguments after the program's name.
    static bool Requested(int argc, char* argv[]);
    // The arguments without the program's name and without `kOption`: the
    // station's own switches, whose first one chooses the clock mode.
    static std::vector<std::string> StationArguments(int argc, char* argv[]);

    // The whole service mode as main runs it: the application object, the
    // program, its exit code.
    static int Main(int argc, char* argv[]);

    // Messages go to `messages` (standard error).
    HeadlessApp(ProgramPaths paths, std::ostream& messages, bool journalPrefixes = false);
    ~HeadlessApp();
    HeadlessApp(const HeadlessApp&) = delete;
    HeadlessApp& operator=(const HeadlessApp&) = delete;

    // Opens the station and runs until a stop; the exit code. `arguments` as
    // StationArguments gives them.
    int Run(const std::vector<std::string>& arguments);
    // Ends Run (what SIGTERM and SIGINT do); any thread of the program's own
    // may call it on the Qt thread.
    void RequestStop();

    AppContext& Context() { return m_context; }
    const ProgramPaths& Paths() const { return m_paths; }

private:
    // Runs events until `done` holds or a stop is requested.
    void RunEventsUntil(const std::function<bool()>& done);
    void ExitProgram(int code);
    // After the start: what the program does when its station does not run.
    int WhenNotAcquiring(CWetterDoc& document);

    ProgramPaths m_paths;
    IniProfile m_profile;
    SystemClock m_clock;
    QtEventQueue m_events;
    QtTimers m_timers;
    HeadlessUi m_ui;
    ErrorLog m_errorLog;
    ProcessValues m_process;
    PosixFileStore m_files;
    PosixLauncher m_launcher;
    TransportServices m_transportServices;
    SystemTransportFactory m_transports;
    AppContext m_context;
    std::unique_ptr<StationPublisher> m_publisher;
    std::unique_ptr<HeadlessAcquisitionUi> m_acquisitionUi;
    std::unique_ptr<StationDocuments> m_stations;
    std::unique_ptr<StopSignals> m_stopSignals;
    bool m_stopRequested = false;
    int m_exitCode = 0;
};
