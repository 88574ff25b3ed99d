#include "gui/app/CMainFrame.h"

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>

#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "app/HelpCommands.h"
#include "app/LayoutStore.h"
#include "app/MainSwitchboard.h"
#include "app/QuitQuestion.h"
#include "app/StationDocuments.h"
#include "gui/app/CChildFrame.h"
#include "gui/app/CDlgOutput.h"
#include "gui/app/CProcessControlDlg.h"
#include "gui/calc/CEinheiten.h"
#include "gui/calc/COrbset.h"
#include "gui/calc/CSensorDefineDlg.h"
#include "gui/comm/CDlgOrtshoehe.h"
#include "gui/comm/CRegenresetDlg.h"
#include "gui/storage/CDatenSpeichernDlg.h"
#include "gui/ui/ViewPlacement.h"
#include "gui/comm/ConnectionCommands.h"
#include "gui/comm/QtAcquisitionUi.h"
#include "gui/comm/TerminalMenu.h"
#include "gui/display/CDlgMultiAnzeige.h"
#include "gui/display/CDlgWindroseSetts.h"
#include "gui/display/CWetterView.h"
#include "gui/publish/CDlgAwekas.h"
#include "gui/publish/CDlgHTTPUpload.h"
#include "gui/publish/CHTMLWriterBearbeiten.h"
#include "comm/ProcessValues.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/PosixLauncher.h"
#include "platform/Profile.h"
#include "platform/ProgramPaths.h"
#include "platform/Registry.h"
#include "platform/Ui.h"
#include "publish/HtmlSettings.h"
#include "publish/StationPublisher.h"
#include "storage/SensorSet.h"

CMainFrame::CMainFrame(AppContext& context)
    : m_context(context),
      m_stations(std::make_unique<StationDocuments>(context)),
      m_acquisitionUi(std::make_unique<QtAcquisitionUi>(context, this)),
      m_launcher(std::make_unique<PosixLauncher>()),
      m_mdiArea(new QMdiArea(this)) {
    m_context.acquisitionUi = m_acquisitionUi.get();
    m_acquisitionUi->SetStationSetUp([this](CWetterDoc& document) { SetUpStation(document); });
    m_context.launcher = m_launcher.get();
    setCentralWidget(m_mdiArea);
    CreateMenus();
    CreateToolBar();
    Switchboard().SetLineIndicator([this] {
        statusBar()->showMessage(QTime::currentTime().toString("'Data received' HH:mm:ss"));
    });
    statusBar()->showMessage("Ready");
    resize(900, 640);
}

CMainFrame::~CMainFrame() {
    if (m_context.registry != nullptr && m_placementRestored)
        LayoutStore::WriteMainPlacement(*m_context.registry, m_context.paths.ProgramName(),
                                        PlacementOf(*this));
    // The frames' views point at the documents: they go first.
    CloseAllDocuments();
    m_stations.reset();
    m_context.acquisitionUi = nullptr;
    m_context.launcher = nullptr;
}

void CMainFrame::CreateToolBar() {
    QToolBar* bar = addToolBar("Station");
    bar->setObjectName("StationToolBar");
    connect(bar->addAction("Connect"), &QAction::triggered, this, [this] {
        if (CWetterDoc* document = ActiveDocument()) document->StartAcquisition(false);
    });
    // Spelt as stations' owners know it; kept on purpose.
    connect(bar->addAction("Disconnenct"), &QAction::triggered, this, [this] {
        if (CWetterDoc* document = ActiveDocument()) document->Disconnect();
    });

    // The active diagram's period and navigation.
    m_diagramBar = addToolBar("Diagram");
    m_diagramBar->setObjectName("DiagramToolBar");
    m_diagramBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::ShowDiagramCommands);
}

const std::vector<std::unique_ptr<CWetterDoc>>& CMainFrame::Documents() const {
    return m_stations->Documents();
}

MainSwitchboard& CMainFrame::Switchboard() const { return m_stations->Switchboard(); }

CWetterView* CMainFrame::ActiveView() const {
    if (auto* frame = qobject_cast<CChildFrame*>(m_mdiArea->activeSubWindow()))
        return &frame->View();
    const QList<CChildFrame*> frames = Frames();
    return frames.isEmpty() ? nullptr : &frames.front()->View();
}

void CMainFrame::ShowDiagramCommands() {
    m_diagramBar->clear();
    CWetterView* view = ActiveView();
    if (view == nullptr) return;
    using Command = CWetterView::Command;
    view->UpdateCommandStates();
    for (Command command : {Command::kPeriod, Command::kWholeBack, Command::kHalfBack,
                            Command::kHalfForwards, Command::kWholeForwards,
                            Command::kStartingTime, Command::kPrint})
        m_diagramBar->addAction(&view->Action(command));
}

CWetterDoc* CMainFrame::ActiveDocument() const {
    if (auto* frame = qobject_cast<CChildFrame*>(m_mdiArea->activeSubWindow()))
        return &frame->Document();
    return Documents().empty() ? nullptr : Documents().front().get();
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    QAction* newDocument = file->addAction("&New");
    newDocument->setShortcut(QKeySequence::New);
    connect(newDocument, &QAction::triggered, this, [this] { NewDocument(); });
    file->addSeparator();
    QAction* exit = file->addAction("E&xit");
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* setup = menuBar()->addMenu("&Setup");
    connect(setup->addAction("&Sensor properties..."), &QAction::triggered, this,
            &CMainFrame::ShowSensorProperties);
    AddConnectionCommands(*setup, *this);
    connect(setup->addAction("&Process control..."), &QAction::triggered, this,
            &CMainFrame::ShowProcessControl);
    connect(setup->addAction("HTML configuration"), &QAction::triggered, this,
            &CMainFrame::ShowHtmlConfiguration);
    connect(setup->addAction("HTTP upload"), &QAction::triggered, this,
            &CMainFrame::ShowHttpUpload);
    connect(setup->addAction("AWEKAS Settings"), &QAction::triggered, this,
            &CMainFrame::ShowAwekasSettings);
    AddStationSetupCommands(*setup);

    QMenu* view = menuBar()->addMenu("&View");
    m_showOutputAction = view->addAction("Show output");
    m_showOutputAction->setCheckable(true);
    connect(m_showOutputAction, &QAction::triggered, this, &CMainFrame::ToggleOutput);
    AddTerminalCommands(*this, m_context, *setup, *view);
    // The active station's multi display; checked while it is open.
    QAction* multi = view->addAction("Show multiple display");
    multi->setCheckable(true);
    connect(multi, &QAction::triggered, this, [this] {
        if (CWetterDoc* document = ActiveDocument()) CDlgMultiAnzeige::Toggle(*document, *this);
    });
    connect(view, &QMenu::aboutToShow, this, [this, multi] {
        const CWetterDoc* document = ActiveDocument();
        multi->setChecked(document != nullptr && CDlgMultiAnzeige::Of(*document) != nullptr);
    });

    // The active diagram's commands.
    QMenu* diagram = menuBar()->addMenu("&Diagram");
    connect(diagram, &QMenu::aboutToShow, this, [this, diagram] {
        diagram->clear();
        CWetterView* active = ActiveView();
        if (active == nullptr) {
            diagram->addAction("(no diagram)")->setEnabled(false);
            return;
        }
        active->UpdateCommandStates();
        using Command = CWetterView::Command;
        auto add = [&](std::initializer_list<Command> commands) {
            for (Command command : commands) diagram->addAction(&active->Action(command));
            diagram->addSeparator();
        };
        add({Command::kPeriod});
        add({Command::kWholeBack, Command::kHalfBack, Command::kHalfForwards,
             Command::kWholeForwards, Command::kStartingTime, Command::kAutoUpdate});
        add({Command::kShowSingleValues, Command::kFullSize, Command::kUnityScale});
        QMenu* colour = diagram->addMenu("&Color");
        colour->addAction(&active->Action(Command::kBackground));
        colour->addAction(&active->Action(Command::kGrid));
        diagram->addSeparator();
        add({Command::kShowTable});
        QMenu* tools = diagram->addMenu("Tools");
        tools->addAction(&active->Action(Command::kCsvConverter));
        tools->addAction(&active->Action(Command::kCsvStatistics));
        diagram->addSeparator();
        add({Command::kPrint, Command::kPrintDirect, Command::kPrintPreview});
    });

    QMenu* window = menuBar()->addMenu("&Window");
    connect(window->addAction("&Cascade"), &QAction::triggered, m_mdiArea,
            &QMdiArea::cascadeSubWindows);
    connect(window->addAction("&Tile"), &QAction::triggered, m_mdiArea, &QMdiArea::tileSubWindows);

    QMenu* help = menuBar()->addMenu("&Help");
    connect(help->addAction("about help"), &QAction::triggered, this,
            [this] { OpenHelp(m_context, *m_launcher); });
    connect(help->addAction("Remote maintenance"), &QAction::triggered, this,
            [this] { StartRemoteMaintenance(m_context, *m_launcher); });
    help->addSeparator();
    connect(help->addAction("Inf&o about weather..."), &QAction::triggered, this,
            &CMainFrame::ShowAbout);
}

void CMainFrame::ShowProcessControl() {
    CWetterDoc* document = ActiveDocument();
    if (document == nullptr) return;
    CProcessControlDlg dialog(document->Processes(), *document, m_context.ui, m_context.launcher,
                              m_context.paths.ProgramName(), this);
    dialog.exec();
}

void CMainFrame::ShowSensorProperties() {
    CWetterDoc* document = ActiveDocument();
    if (document == nullptr) return;
    const std::string caption = m_context.paths.ProgramName();
    COrbset dialog(*document, m_context.ui, caption, this);
    const CNewORB::EditWindRose windRose = [document](QWidget* parent,
                                                      const WindRoseSettings& settings) {
        return EditWindRoseSettings(parent, settings, document->Sensors());
    };
    const COrbset::VirtualSensorHook virtualSensor =
        [document, windRose](QWidget* parent, const std::string& identifier) {
            return ShowVirtualSensorDefinition(*document, identifier, parent, windRose);
        };
    dialog.SetVirtualSensorHooks(virtualSensor, virtualSensor);
    dialog.SetWindRoseEditor(windRose);
    dialog.SetUnitChooser([this, caption](QWidget* parent, const std::string& group,
                                          const std::string& unit) {
        return ChooseUnit(m_context.profile, m_context.paths, group, unit, m_context.ui, caption,
                          parent);
    });
    dialog.exec();
}

void CMainFrame::ShowHtmlConfiguration() {
    CWetterDoc* document = ActiveDocument();
    if (document == nullptr) return;
    CHTMLWriterBearbeiten dialog(m_context.Files(), HtmlSettingsPath(m_context.paths),
                                 HtmlSensorNames(document->Sensors().CurrentValues()), m_context.ui,
                                 m_context.paths.ProgramName(), this);
    dialog.exec();
}

void CMainFrame::AddStationSetupCommands(QMenu& menu) {
    menu.addSeparator();
    connect(menu.addAction("&Read / write options..."), &QAction::triggered, this, [this] {
        if (CWetterDoc* document = ActiveDocument()) ShowStorageOptions(*document);
    });
    connect(menu.addAction("&Precipitation reset..."), &QAction::triggered, this, [this] {
        if (CWetterDoc* document = ActiveDocument()) CRegenresetDlg(*document, this).exec();
    });
    // Also without a link: the dialog then keeps the altitude for the next connect.
    connect(menu.addAction("Set &Altitude"), &QAction::triggered, this, [this] {
        if (CWetterDoc* document = ActiveDocument())
            CDlgOrtshoehe(*document, m_context.ui, m_context.paths.ProgramName(), this).exec();
    });
}

void CMainFrame::SetUpStation(CWetterDoc& document) {
    // Window-modal and not waited for: the start goes on, the station opens
    // without acquisition until the person has set it up.
    auto* storage = new CDatenSpeichernDlg(document, m_context.ui, m_context.paths.ProgramName(), this);
    storage->setAttribute(Qt::WA_DeleteOnClose);
    // Then the connection; a person who cancelled the storage options is not asked on.
    // Once the storage options are closed for good, not from within their closing.
    connect(storage, &QDialog::accepted, this, [this, &document] {
        QTimer::singleShot(0, this, [this, &document] {
            if (m_stations->Contains(&document)) ShowConnectionSettings(document, this);
        });
    });
    storage->open();
}

void CMainFrame::ShowStorageOptions(CWetterDoc& document) {
    CDatenSpeichernDlg(document, m_context.ui, m_context.paths.ProgramName(), this).exec();
}

// The program's own publisher; a context without one (some tests) has no upload settings.
static StationPublisher* Publisher(AppContext& context) {
    return dynamic_cast<StationPublisher*>(context.publisher);
}

void CMainFrame::ShowHttpUpload() {
    StationPublisher* publisher = Publisher(m_context);
    if (publisher == nullptr) return;
    CHttpUpload& upload = publisher->HttpUploadRecord();
    bool& active = m_context.process.settings.httpUpload;
    CDlgHTTPUpload dialog(upload, active, m_context.ui, m_context.paths.ProgramName(), this);
    dialog.exec();
    active = dialog.UploadActive();
    if (!upload.WriteUploadActive(active))
        m_context.ui.MessageBox(upload.File() + " couldn't be written", m_context.paths.ProgramName(),
                                MsgButtons::Ok, MsgIcon::Warning);
}

void CMainFrame::ShowAwekasSettings() {
    StationPublisher* publisher = Publisher(m_context);
    CWetterDoc* document = ActiveDocument();
    if (publisher == nullptr || document == nullptr) return;
    CDlgAwekas dialog(
        publisher->AwekasSettingsRecord(), m_context.profile, AwekasSettingsPath(m_context.paths),
        document->Sensors(),
        [publisher, document](std::function<void(const std::string&)> replied) {
            return publisher->CheckAwekasConnection(*document, std::move(replied));
        },
        m_context.ui, m_context.paths.ProgramName(), this);
    dialog.exec();
}

CWetterDoc& CMainFrame::AddDocument() {
    CWetterDoc& document = m_stations->Add();
    ++m_documentsCreated;
    CDlgMultiAnzeige::OpenIfActive(document, *this);
    return document;
}

CWetterDoc& CMainFrame::NewDocument() {
    CWetterDoc& document = AddDocument();
    NewFrame(document);
    document.OnNewDocument();
    return document;
}

void CMainFrame::RestoreLayout() {
    const std::string name = m_context.paths.ProgramName();
    LayoutStore::DocumentLayout layout;
    if (m_context.registry != nullptr)
        layout = LayoutStore::RestoreFirstDocument(*m_context.registry, name);
    if (layout.views.empty()) layout.views.emplace_back();

    CWetterDoc& document = AddDocument();
    document.OnNewDocument();
    for (const LayoutStore::ViewLayout& view : layout.views) {
        CChildFrame& frame = NewFrame(document);
        frame.Layout() = view;
        frame.View().ApplyLayout(view);
        if (view.placement) RestorePlacement(frame, *view.placement);
    }
    m_stations->TakeLastStoredRecords();
}

CChildFrame& CMainFrame::NewFrame(CWetterDoc& document) {
    auto* frame = new CChildFrame(*this, document);
    frame->setWindowTitle(QString("Weather%1").arg(m_documentsCreated));
    m_mdiArea->addSubWindow(frame);
    // A diagram needs room: the first frame fills the area, later ones most of it
    // (a stored placement replaces this).
    const bool first = m_mdiArea->subWindowList().size() == 1;
    frame->resize(m_mdiArea->viewport()->size() * (first ? 4 : 3) / 4);
    frame->show();
    if (first) {
        // Once the tool bars have their final height.
        QTimer::singleShot(0, frame, [this, frame] {
            if (!frame->Layout().placement)
                frame->setGeometry(QRect(QPoint(0, 0), m_mdiArea->viewport()->size()));
        });
    }
    return *frame;
}

QList<CChildFrame*> CMainFrame::Frames() const {
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList())
        if (auto* frame = qobject_cast<CChildFrame*>(window)) frames.append(frame);
    return frames;
}

void CMainFrame::ToggleOutput() {
    if (!m_outputShown) {
        m_output = std::make_unique<CDlgOutput>(this);
        connect(m_output.get(), &QDialog::finished, this, [this] { SetOutputShown(false); });
        m_output->Fill();
        m_output->show();
        m_output->raise();
        m_output->activateWindow();
        SetOutputShown(true);
    } else {
        m_output.reset();
        SetOutputShown(false);
    }
}

void CMainFrame::SetOutputShown(bool shown) {
    m_outputShown = shown;
    m_showOutputAction->setChecked(shown);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // A second request while the question is open (a repeated signal) changes nothing.
    if (m_askingToQuit) {
        event->ignore();
        return;
    }
    SaveLayout();
    if (!ConfirmQuit()) {
        event->ignore();
        return;
    }
    CloseAllDocuments();
    m_output.reset();
    SetOutputShown(false);
    event->accept();
}

void CMainFrame::SaveLayout() {
    if (m_context.registry == nullptr) return;
    std::vector<LayoutStore::DocumentLayout> documents;
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    for (const auto& document : Documents()) {
        LayoutStore::DocumentLayout& layout = documents.emplace_back();
        for (QMdiSubWindow* window : windows) {
            auto* frame = qobject_cast<CChildFrame*>(window);
            if (frame == nullptr || &frame->Document() != document.get()) continue;
            LayoutStore::ViewLayout view = frame->View().Layout(frame->Layout());
            view.placement = PlacementOf(*frame);
            layout.views.push_back(std::move(view));
        }
    }
    if (!LayoutStore::SaveLayout(*m_context.registry, m_context.paths.ProgramName(), documents))
        OutputWrite("The window layout could not be saved.", kColourError);
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_placementRestored) return;
    m_placementRestored = true;
    if (m_context.registry == nullptr) return;
    if (auto placement =
            LayoutStore::ReadMainPlacement(*m_context.registry, m_context.paths.ProgramName()))
        RestorePlacement(*this, *placement);
}

bool CMainFrame::ConfirmQuit() {
    m_askingToQuit = true;
    const bool mayQuit = ::ConfirmQuit(m_context.profile, m_context.paths, m_context.ui);
    m_askingToQuit = false;
    return mayQuit;
}

void CMainFrame::CloseAllDocuments() {
    m_closingApplication = true;
    // Deleted at once, not closed: a closed frame would be deleted only later,
    // after its document.
    for (CChildFrame* frame : findChildren<CChildFrame*>()) delete frame;
    m_stations->CloseAll();
    m_closingApplication = false;
}

void CMainFrame::ShowAbout() {
    const std::string name = m_context.paths.ProgramName();
    m_context.ui.MessageBox(name + "\nVersion " WETTER_VERSION, "Info about " + name,
                            MsgButtons::Ok, MsgIcon::Information);
}
