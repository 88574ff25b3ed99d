#include "gui/display/CDlgMultiAnzeige.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "gui/comm/CDlgOrtshoehe.h"
#include "gui/display/CMultianzeigeCtrl.h"
#include "gui/ui/Text.h"
#include "gui/ui/ViewPlacement.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/Clock.h"
#include "platform/Profile.h"
#include "platform/ProgramPaths.h"
#include "platform/Ui.h"

namespace {

// Values of a logger read-out come line by line: one refresh for a burst.
constexpr int kRefreshDelayMs = 200;
constexpr int kOpacityMin = 30;
constexpr QSize kFirstSize(960, 600);

Qt::DockWidgetArea ToDockArea(int area) {
    switch (area) {
        case Qt::LeftDockWidgetArea:
        case Qt::RightDockWidgetArea:
        case Qt::TopDockWidgetArea:
        case Qt::BottomDockWidgetArea:
            return static_cast<Qt::DockWidgetArea>(area);
        default:
            return Qt::NoDockWidgetArea;
    }
}

}  // namespace

// ---- Opening and closing --------------------------------------------------------------

CDlgMultiAnzeige* CDlgMultiAnzeige::Of(const CWetterDoc& document) {
    return dynamic_cast<CDlgMultiAnzeige*>(document.MultiDisplay());
}

void CDlgMultiAnzeige::Toggle(CWetterDoc& document, QMainWindow& mainWindow) {
    if (CDlgMultiAnzeige* open = Of(document)) {
        open->CloseDisplay();
        return;
    }
    auto display = std::make_unique<CDlgMultiAnzeige>(document, mainWindow);
    CDlgMultiAnzeige& shown = *display;
    document.SetMultiDisplay(std::move(display));
    if (!document.SetMultiDisplayFlag(true))
        shown.ReportWriteFailure("CDlgMultiAnzeige::Open", document.StationFile());
    shown.Open();
}

void CDlgMultiAnzeige::OpenIfActive(CWetterDoc& document, QMainWindow& mainWindow) {
    if (document.Interpretation().multiDisplay == 1 && Of(document) == nullptr)
        Toggle(document, mainWindow);
}

CDlgMultiAnzeige::CDlgMultiAnzeige(CWetterDoc& document, QMainWindow& mainWindow)
    : QDockWidget("Multiple display", &mainWindow),
      m_document(document),
      m_mainWindow(mainWindow),
      m_file(document.Context().paths.InFolder("multi.ini")),
      m_settings(MultiDisplaySettings::Read(document.Context().profile, m_file)),
      m_control(new CMultianzeigeCtrl),
      m_menuBar(new QMenuBar),
      m_refreshTimer(new QTimer(this)),
      m_noticeTimer(new QTimer(this)) {
    setObjectName("MultiDisplay");
    setAllowedAreas(Qt::AllDockWidgetAreas);
    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setMenuBar(m_menuBar);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(m_control);
    setWidget(body);
    CreateMenus();
    ApplyColours();

    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(kRefreshDelayMs);
    connect(m_refreshTimer, &QTimer::timeout, this, [this] {
        UpdateValues();
        ShowDataNotice();
    });
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(kDataNoticeMs);
    connect(m_noticeTimer, &QTimer::timeout, this, [this] { m_control->SetDataNotice(false); });

    connect(m_control, &CMultianzeigeCtrl::TileMenuRequested, this,
            [this](int tile, const QPoint& at) { SensorMenu(tile)->exec(at); });
    connect(m_control, &CMultianzeigeCtrl::ColourMenuRequested, this,
            [this](const QPoint& at) { ColourMenu()->exec(at); });
    connect(this, &QDockWidget::topLevelChanged, this, [this] { ApplyOpacity(); });
}

CDlgMultiAnzeige::~CDlgMultiAnzeige() {
    // Closed by the person: the document let go of it already and may be gone by now.
    if (m_closed) return;
    // Closing with the station (or the program) keeps the choices; the display
    // stays marked open for the next start.
    if (!SaveSettings()) ReportWriteFailure("CDlgMultiAnzeige::SaveSettings", m_file);
    // Taken down with the main window rather than by the document: the
    // document must not delete it a second time.
    if (m_document.MultiDisplay() == this) (void)m_document.ReleaseMultiDisplay().release();
}

void CDlgMultiAnzeige::Open() {
    RestorePlacement();
    show();
    // Shown, it has its frame: that must fit on the screen as well.
    if (isFloating()) {
        KeepWindowOnScreens(*this);
        m_floatingGeometry = geometry();
    }
    if (m_settings.placement &&
        m_settings.placement->showCommand == MultiWindowPlacement::kShowMaximized)
        SetFullScreen(true);
    UpdateValues();
    raise();
}

void CDlgMultiAnzeige::RestorePlacement() {
    const std::optional<MultiWindowPlacement>& stored = m_settings.placement;
    QRect rect;
    if (stored) {
        rect = QRect(stored->left, stored->top, stored->right - stored->left,
                     stored->bottom - stored->top);
    } else {
        rect = QRect(QPoint(), kFirstSize);
        rect.moveCenter(m_mainWindow.geometry().center());
    }
    // Whatever multi.ini says (another computer's screens, damaged numbers), the
    // window opens whole on a screen: a window larger than every screen could
    // not get its backing store.
    rect = FittedToScreens(rect, minimumSizeHint());
    m_floatingGeometry = rect;
    const Qt::DockWidgetArea area = ToDockArea(stored ? stored->dockArea : 0);
    if (area != Qt::NoDockWidgetArea) {
        m_mainWindow.addDockWidget(area, this);
        setFloating(false);
        const bool sideways = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
        m_mainWindow.resizeDocks({this}, {sideways ? rect.width() : rect.height()},
                                 sideways ? Qt::Horizontal : Qt::Vertical);
    } else {
        m_mainWindow.addDockWidget(Qt::RightDockWidgetArea, this);
        setFloating(true);
        setGeometry(m_floatingGeometry);
    }
}

MultiWindowPlacement CDlgMultiAnzeige::CurrentPlacement() const {
    // Docked, the rectangle keeps the docked size (and where an undocked window goes).
    QRect rect = m_fullScreen   ? m_floatingGeometry
                 : isFloating() ? geometry()
                                : QRect(mapToGlobal(QPoint()), size());
    if (!rect.isValid()) rect = QRect(mapToGlobal(QPoint()), size());
    MultiWindowPlacement placement;
    placement.showCommand =
        m_fullScreen ? MultiWindowPlacement::kShowMaximized : MultiWindowPlacement::kShowNormal;
    placement.left = rect.left();
    placement.top = rect.top();
    placement.right = rect.left() + rect.width();
    placement.bottom = rect.top() + rect.height();
    if (m_fullScreen)
        placement.dockArea = m_dockAreaBeforeFullScreen;
    else if (!isFloating())
        placement.dockArea =
            static_cast<int>(m_mainWindow.dockWidgetArea(const_cast<CDlgMultiAnzeige*>(this)));
    return placement;
}

bool CDlgMultiAnzeige::SaveSettings() {
    m_settings.placement = CurrentPlacement();
    return m_settings.Write(m_document.Context().profile, m_file);
}

void CDlgMultiAnzeige::CloseDisplay() {
    if (m_closed) return;
    m_closed = true;
    m_refreshTimer->stop();
    if (!SaveSettings()) ReportWriteFailure("CDlgMultiAnzeige::SaveSettings", m_file);
    if (!m_document.SetMultiDisplayFlag(false))
        ReportWriteFailure("CDlgMultiAnzeige::Close", m_document.StationFile());
    hide();
    // From here on Qt owns the window and deletes it once this event is done.
    std::unique_ptr<DocumentView> self = m_document.ReleaseMultiDisplay();
    (void)self.release();
    deleteLater();
}

void CDlgMultiAnzeige::CloseSoftware() {
    if (!SaveSettings()) ReportWriteFailure("CDlgMultiAnzeige::SaveSettings", m_file);
    // Open again at the next start. Should the person keep the program
    // running after all (the quit question), the display stays as it is.
    if (!m_document.SetMultiDisplayFlag(true))
        ReportWriteFailure("CDlgMultiAnzeige::CloseSoftware", m_document.StationFile());
    QTimer::singleShot(0, &m_mainWindow, &QWidget::close);
}

void CDlgMultiAnzeige::closeEvent(QCloseEvent* event) {
    event->accept();
    CloseDisplay();
}

void CDlgMultiAnzeige::ReportWriteFailure(const char* place, const std::string& file) const {
    OutputWrite(std::string(place) + ": " + file + " could not be written", kColourError);
}

// ---- Values --------------------------------------------------------------------------

void CDlgMultiAnzeige::UpdateView() {
    if (!m_closed && !m_refreshTimer->isActive()) m_refreshTimer->start();
}

void CDlgMultiAnzeige::UpdateValues() {
    m_control->SetValues(
        CollectMultiValues(m_document, m_settings, m_steps, m_document.Context().clock.Now()));
    // Other windows opening at start must not bury the wall display.
    if (m_raisesLeft > 0 && isVisible()) {
        --m_raisesLeft;
        raise();
    }
}

void CDlgMultiAnzeige::ShowDataNotice() {
    m_control->SetDataNotice(true);
    m_noticeTimer->start();
}

// ---- Menus ---------------------------------------------------------------------------

void CDlgMultiAnzeige::CreateMenus() {
    connect(m_menuBar->addAction("Set &Alltitude"), &QAction::triggered, this, [this] {
        AppContext& context = m_document.Context();
        CDlgOrtshoehe(m_document, context.ui, context.paths.ProgramName(), this).exec();
    });
    connect(m_menuBar->addAction("&Close multiple display"), &QAction::triggered, this,
            &CDlgMultiAnzeige::CloseDisplay);
    connect(m_menuBar->addAction("Close &Software"), &QAction::triggered, this,
            &CDlgMultiAnzeige::CloseSoftware);

    QMenu* steps = m_menuBar->addMenu("Winddirection options");
    connect(steps->addAction("Winddirection normal"), &QAction::triggered, this,
            [this] { SetDirectionSteps(DirectionSteps::kNormal); });
    m_steps5 = steps->addAction("Winddirection in steps of &5");
    m_steps10 = steps->addAction("Winddirection in steps of &10");
    for (QAction* action : {m_steps5, m_steps10}) action->setCheckable(true);
    connect(m_steps5, &QAction::triggered, this,
            [this] { SetDirectionSteps(DirectionSteps::kFive); });
    connect(m_steps10, &QAction::triggered, this,
            [this] { SetDirectionSteps(DirectionSteps::kTen); });

    QMenu* master = m_menuBar->addMenu("WV <--> WR");
    auto* masters = new QActionGroup(master);
    m_wrMaster = master->addAction("WR Master");
    m_wvMaster = master->addAction("WV Master");
    for (QAction* action : {m_wrMaster, m_wvMaster}) {
        action->setCheckable(true);
        masters->addAction(action);
    }
    connect(m_wrMaster, &QAction::triggered, this, [this] { SetDirectionMaster(1); });
    connect(m_wvMaster, &QAction::triggered, this, [this] { SetDirectionMaster(2); });

    QMenu* opacity = m_menuBar->addMenu("Deckkraft");
    auto* opacities = new QActionGroup(opacity);
    for (int percent = 100; percent >= kOpacityMin; percent -= 10) {
        QAction* action = opacity->addAction(QString("%1%").arg(percent));
        action->setCheckable(true);
        action->setChecked(percent == m_opacity);
        opacities->addAction(action);
        connect(action, &QAction::triggered, this, [this, percent] { SetOpacity(percent); });
    }

    m_fullScreenAction = m_menuBar->addAction("Full screen");
    m_fullScreenAction->setCheckable(true);
    m_fullScreenAction->setShortcut(QKeySequence(Qt::Key_F11));
    // Also on the window itself: the menu bar is hidden in full screen.
    addAction(m_fullScreenAction);
    connect(m_fullScreenAction, &QAction::triggered, this,
            [this](bool checked) { SetFullScreen(checked); });
    UpdateMenuChecks();
}

void CDlgMultiAnzeige::UpdateMenuChecks() {
    m_steps5->setChecked(m_steps == DirectionSteps::kFive);
    m_steps10->setChecked(m_steps == DirectionSteps::kTen);
    m_wrMaster->setChecked(m_settings.directionMaster == 1);
    m_wvMaster->setChecked(m_settings.directionMaster == 2);
    m_fullScreenAction->setChecked(m_fullScreen);
}

void CDlgMultiAnzeige::SetDirectionSteps(DirectionSteps steps) {
    m_steps = steps;
    UpdateMenuChecks();
    UpdateValues();
}

void CDlgMultiAnzeige::SetDirectionMaster(int master) {
    if (master != 1 && master != 2) return;
    if (master != m_settings.directionMaster) m_control->ClearSwing();
    m_settings.directionMaster = master;
    UpdateMenuChecks();
    UpdateValues();
}

void CDlgMultiAnzeige::SetTileSensor(int tile, const std::string& identifier) {
    if (tile < 1 || tile > static_cast<int>(MultiDisplaySettings::kTiles) || identifier.empty())
        return;
    m_settings.additionalIds[static_cast<std::size_t>(tile - 1)] = identifier;
    UpdateValues();
}

std::unique_ptr<QMenu> CDlgMultiAnzeige::SensorMenu(int tile) {
    auto menu = std::make_unique<QMenu>(this);
    if (tile < 1 || tile > static_cast<int>(MultiDisplaySettings::kTiles)) return menu;
    menu->addAction(QString("Zusatz-Sensor %1").arg(tile))->setEnabled(false);
    menu->addSeparator();
    auto* entries = new QActionGroup(menu.get());
    const std::string& present = m_settings.additionalIds[static_cast<std::size_t>(tile - 1)];
    for (const std::string& entry : SensorMenuEntries(m_document.Sensors())) {
        const std::string identifier = IdentifierOfEntry(entry);
        QAction* action = menu->addAction(FromBytes(entry));
        action->setCheckable(true);
        action->setChecked(identifier == present);
        entries->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, tile, identifier] { SetTileSensor(tile, identifier); });
    }
    return menu;
}

std::unique_ptr<QMenu> CDlgMultiAnzeige::ColourMenu() {
    auto menu = std::make_unique<QMenu>(this);
    connect(menu->addAction("Colour background"), &QAction::triggered, this,
            [this] { ChooseColour(ColourChoice::kBackground); });
    connect(menu->addAction("Colour tiles"), &QAction::triggered, this,
            [this] { ChooseColour(ColourChoice::kTiles); });
    connect(menu->addAction("Colour text"), &QAction::triggered, this,
            [this] { ChooseColour(ColourChoice::kText); });
    return menu;
}

void CDlgMultiAnzeige::ChooseColour(ColourChoice choice) {
    std::uint32_t& colour = choice == ColourChoice::kBackground ? m_settings.backgroundColour
                            : choice == ColourChoice::kTiles    ? m_settings.tileColour
                                                                : m_settings.textColour;
    if (std::optional<std::uint32_t> chosen = m_document.Context().ui.ChooseColour(colour)) {
        colour = *chosen;
        ApplyColours();
    }
}

void CDlgMultiAnzeige::ApplyColours() {
    m_control->SetColours(
        {m_settings.tileColour, m_settings.backgroundColour, m_settings.textColour});
}

// ---- Window --------------------------------------------------------------------------

void CDlgMultiAnzeige::SetOpacity(int percent) {
    m_opacity = std::clamp(percent, kOpacityMin, 100);
    ApplyOpacity();
}

void CDlgMultiAnzeige::ApplyOpacity() {
    // Only a window of its own can be translucent; docked, it is part of the main window.
    if (!isWindow()) return;
    // Only a translucent window asks the window system for transparency.
    if (m_opacity < 100 || windowOpacity() < 1.0) setWindowOpacity(m_opacity * 255 / 100 / 255.0);
}

void CDlgMultiAnzeige::SetFullScreen(bool fullScreen) {
    if (fullScreen == m_fullScreen) {
        UpdateMenuChecks();
        return;
    }
    if (fullScreen) {
        m_dockAreaBeforeFullScreen =
            isFloating() ? 0 : static_cast<int>(m_mainWindow.dockWidgetArea(this));
        m_fullScreen = true;
        if (!isFloating()) setFloating(true);
        m_menuBar->hide();
        showFullScreen();
    } else {
        m_fullScreen = false;
        showNormal();
        m_menuBar->show();
        if (m_dockAreaBeforeFullScreen != 0)
            setFloating(false);
        else
            setGeometry(m_floatingGeometry);
    }
    UpdateMenuChecks();
    ApplyOpacity();
}

void CDlgMultiAnzeige::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_fullScreen) {
        SetFullScreen(false);
        event->accept();
        return;
    }
    QDockWidget::keyPressEvent(event);
}

void CDlgMultiAnzeige::moveEvent(QMoveEvent* event) {
    QDockWidget::moveEvent(event);
    if (isFloating() && !m_fullScreen && isVisible()) m_floatingGeometry = geometry();
}

void CDlgMultiAnzeige::resizeEvent(QResizeEvent* event) {
    QDockWidget::resizeEvent(event);
    if (isFloating() && !m_fullScreen && isVisible()) m_floatingGeometry = geometry();
}
