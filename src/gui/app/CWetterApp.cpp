#include "gui/app/CWetterApp.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <csignal>
#include <vector>

#include "app/MainSwitchboard.h"
#include "gui/app/CMainFrame.h"
#include "gui/comm/QtModemUi.h"
#include "gui/comm/QtModemUi.h"
#include "gui/platform/QtUi.h"
#include "gui/platform/StopSignals.h"
#include "gui/ui/DialogTitleWidth.h"
#include "gui/ui/Text.h"
#include "model/CommandLine.h"

namespace {
constexpr const char* kOrganisation = "Norvika GmbH";
constexpr const char* kTitle = "Norvika Weatherstation";
}  // namespace

CWetterApp::CWetterApp(int argc, char* argv[])
    : CWetterApp(ProgramPaths::ForThisProcess(argc > 0 && argv[0] != nullptr ? argv[0] : ""),
                 nullptr) {}

CWetterApp::CWetterApp(std::string programPath, std::unique_ptr<Ui> ui)
    : CWetterApp(ProgramPaths(std::move(programPath)), std::move(ui)) {}

CWetterApp::CWetterApp(ProgramPaths paths, std::unique_ptr<Ui> ui)
    : m_paths(std::move(paths)),
      m_ui(ui ? std::move(ui) : std::make_unique<QtUi>()),
      m_errorLog(m_paths.InFolder("ErrLog.txt"), m_clock, m_events, *m_ui),
      m_registry(m_paths.ProgramName()),
      m_modemUi(std::make_unique<QtModemUi>(*m_ui, m_events)),
      m_transportServices{m_clock,
                          m_events,
                          *m_ui,
                          m_process.BaudSearchAbortEvent,
                          &m_process.AcquisitionStopEvent,
                          m_modemUi.get(),
                          m_paths.InFolder("ModemLog.txt")},
      m_transports(m_transportServices),
      m_context{m_profile,  m_paths,   m_clock,       m_events, m_timers, *m_ui,
                m_errorLog, m_process, &m_transports, nullptr,  nullptr,  &m_files} {
    m_context.registry = &m_registry;
    m_context.publisher = &m_publisher;
}

CWetterApp::~CWetterApp() {
    m_stopSignals.reset();
    m_mainFrame.reset();
}

bool CWetterApp::InitInstance(const QStringList& arguments) {
    std::vector<std::string> options;
    for (qsizetype i = 1; i < arguments.size(); ++i) options.push_back(ToBytes(arguments[i]));
    m_process.commandLine = ParseCommandLine(options);

    // The station links write to sockets whose peer may be gone; that must be an
    // error code, not the end of the process.
    if (std::signal(SIGPIPE, SIG_IGN) == SIG_ERR) {
        m_ui->MessageBox("Error initializing windows-sockets.", m_paths.ProgramName(),
                         MsgButtons::Ok, MsgIcon::Error);
        return false;
    }

    const QString name = FromPath(m_paths.ProgramName());
    QCoreApplication::setOrganizationName(kOrganisation);
    QCoreApplication::setApplicationName(name);

    m_mainFrame = std::make_unique<CMainFrame>(m_context);
    // Watches every dialog for as long as the main window lives.
    QCoreApplication::instance()->installEventFilter(new DialogTitleWidth(m_mainFrame.get()));
    m_mainFrame->show();
    m_mainFrame->setWindowTitle(name + " - " + kTitle);

    // A stop request closes the window as the user would, so the same saving runs.
    // Windows waiting for an answer are ended first; they would hold the close up.
    m_stopSignals = std::make_unique<StopSignals>([this] {
        for (int i = 0; i < 16; ++i) {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) break;
            dialog->done(QDialog::Rejected);
        }
        QTimer::singleShot(0, m_mainFrame.get(), [this] { m_mainFrame->close(); });
    });

    m_mainFrame->RestoreLayout();
    m_mainFrame->Switchboard().StartDataFileCheck();
    return true;
}
