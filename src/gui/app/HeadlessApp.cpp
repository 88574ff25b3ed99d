#include "gui/app/HeadlessApp.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "app/CWetterDoc.h"
#include "app/HeadlessAcquisitionUi.h"
#include "app/StationDocuments.h"
#include "gui/platform/StopSignals.h"
#include "model/CommandLine.h"
#include "publish/StationPublisher.h"

bool HeadlessApp::Requested(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (argv[i] != nullptr && std::strcmp(argv[i], kOption) == 0) return true;
    return false;
}

std::vector<std::string> HeadlessApp::StationArguments(int argc, char* argv[]) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        if (argv[i] != nullptr && std::strcmp(argv[i], kOption) != 0) arguments.push_back(argv[i]);
    return arguments;
}

int HeadlessApp::Main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    // The journal reads a "<3>" at the start of a line as its level; a terminal would show it.
    const char* journal = std::getenv("JOURNAL_STREAM");
    HeadlessApp app(ProgramPaths::ForThisProcess(argc > 0 && argv[0] != nullptr ? argv[0] : ""),
                    std::cerr, journal != nullptr && *journal != '\0');
    return app.Run(StationArguments(argc, argv));
}

HeadlessApp::HeadlessApp(ProgramPaths paths, std::ostream& messages, bool journalPrefixes)
    : m_paths(std::move(paths)),
      m_ui(messages, journalPrefixes),
      m_errorLog(m_paths.InFolder("ErrLog.txt"), m_clock, m_events, m_ui),
      // A modem dials on this thread, its busy texts and warnings go to the log.
      m_transportServices{m_clock,
                          m_events,
                          m_ui,
                          m_process.BaudSearchAbortEvent,
                          &m_process.AcquisitionStopEvent,
                          nullptr,
                          m_paths.InFolder("ModemLog.txt")},
      m_transports(m_transportServices),
      m_context{m_profile,  m_paths,   m_clock,       m_events, m_timers, m_ui,
                m_errorLog, m_process, &m_transports, nullptr,  nullptr,  &m_files} {
    m_ui.SetErrorLog(&m_errorLog);
    m_errorLog.SetEcho([this](std::string_view text) { m_ui.EchoLogEntry(text); });
    m_publisher = std::make_unique<StationPublisher>(m_context);
    m_context.publisher = m_publisher.get();
    m_context.launcher = &m_launcher;
    m_acquisitionUi = std::make_unique<HeadlessAcquisitionUi>(
        m_context, m_ui, [this](const std::function<bool()>& done) { RunEventsUntil(done); },
        [this](int code) { ExitProgram(code); });
    m_context.acquisitionUi = m_acquisitionUi.get();
    m_stations = std::make_unique<StationDocuments>(m_context);
}

HeadlessApp::~HeadlessApp() {
    m_stopSignals.reset();
    m_stations.reset();
    m_context.acquisitionUi = nullptr;
    m_acquisitionUi.reset();
    m_context.publisher = nullptr;
    m_publisher.reset();
    m_context.launcher = nullptr;
    m_ui.SetErrorLog(nullptr);
}

int HeadlessApp::Run(const std::vector<std::string>& arguments) {
    m_process.commandLine = ParseCommandLine(arguments);

    // The station links write to sockets whose peer may be gone; that must be an
    // error code, not the end of the process.
    if (std::signal(SIGPIPE, SIG_IGN) == SIG_ERR) {
        m_ui.MessageBox("Error initializing windows-sockets.", m_paths.ProgramName(),
                        MsgButtons::Ok, MsgIcon::Error);
        return kExitCannotStart;
    }
    m_stopSignals = std::make_unique<StopSignals>([this] { RequestStop(); });
    m_ui.Note(m_paths.ProgramName() + " " WETTER_VERSION " without windows; station settings " +
              m_paths.Named("station.ini"));

    // The station the desktop program would open first, as it opens it.
    CWetterDoc& document = m_stations->Add();
    document.OnNewDocument();
    m_stations->TakeLastStoredRecords();
    m_stations->Switchboard().StartDataFileCheck();

    int code = 0;
    if (!m_stopRequested && !document.AcquisitionRunning()) code = WhenNotAcquiring(document);
    if (code == 0 && !m_stopRequested) {
        const int loopCode = QCoreApplication::exec();
        if (!m_stopRequested) m_exitCode = loopCode;
    }
    m_stations->CloseAll();
    m_ui.Note("Stopped");
    return code != 0 ? code : m_exitCode;
}

int HeadlessApp::WhenNotAcquiring(CWetterDoc& document) {
    // The first start has said what to set up already.
    if (!document.FindLastRecord()) return kExitNothingToAcquire;
    if (m_process.CurrentTransport.Get() == nullptr ||
        document.Settings().interpretation.start == 0) {
        m_ui.MessageBox(
            "The station is not set to be connected at the start ([Programmstart] "
            "Start in " +
                document.StationFile() + "): nothing to do without windows.",
            m_paths.ProgramName(), MsgButtons::Ok, MsgIcon::Error);
        return kExitNothingToAcquire;
    }
    // Nobody is there to press "Connect": the reconnect cycle tries again, as it
    // would after the station fell silent.
    if (m_process.settings.reconnect) {
        m_ui.Note("Connecting again after the reconnect delay");
        m_stations->Switchboard().ArmReconnect(document);
        return 0;
    }
    m_ui.MessageBox(
        "The station could not be connected and reconnecting is off "
        "([Verbindungsabbruch] ReconnectAktiv in " +
            document.StationFile() + ").",
        m_paths.ProgramName(), MsgButtons::Ok, MsgIcon::Error);
    return kExitCannotStart;
}

void HeadlessApp::RequestStop() {
    if (!m_stopRequested) m_ui.Note("Stopping");
    m_stopRequested = true;
    QCoreApplication::exit(m_exitCode);
}

void HeadlessApp::ExitProgram(int code) {
    m_exitCode = code;
    m_stopRequested = true;
    // Queued: a silent run may end before the event loop has even started.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [code] { QCoreApplication::exit(code); },
        Qt::QueuedConnection);
}

void HeadlessApp::RunEventsUntil(const std::function<bool()>& done) {
    while (!done() && !m_stopRequested)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
