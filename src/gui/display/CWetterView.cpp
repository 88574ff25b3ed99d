#include "gui/display/CWetterView.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "display/CsvTools.h"
#include "display/DataList.h"
#include "display/DiagramScene.h"
#include "display/SensorWindowModel.h"
#include "gui/display/CDarstellung.h"
#include "gui/display/CDlgDataList.h"
#include "gui/display/CDlgWindRose.h"
#include "gui/display/CSensorDialog.h"
#include "gui/ui/ColourValue.h"
#include "gui/ui/QtCanvas.h"
#include "gui/ui/Text.h"
#include "gui/ui/ViewPlacement.h"
#include "platform/Clock.h"
#include "platform/Profile.h"
#include "platform/ProgramPaths.h"
#include "platform/Ui.h"
#include "storage/CAktuell.h"
#include "storage/CEinlesen.h"
#include "storage/CListGraph.h"

namespace {

constexpr int kProgressSteps = 366;
// Record bursts (a logger read-out) come as one repaint.
constexpr int kUpdateDelayMs = 200;

const CAktuell* FindCurrentValue(const CWetterDoc& document, const std::string& identifier) {
    for (const auto& current : document.Sensors().CurrentValues())
        if (current->m_identifier == identifier) return current.get();
    return nullptr;
}

int ClampedSetting(std::uint32_t value, int low, int high) {
    const auto asInt = static_cast<int>(value);
    return std::clamp(asInt, low, high);
}

}  // namespace

CWetterView::CWetterView(CWetterDoc& document, QWidget* parent)
    : QWidget(parent),
      m_document(document),
      m_reader(std::make_unique<CEinlesen>(document.ReadingSources(), this)),
      m_updateTimer(new QTimer(this)),
      m_contextMenu(new QMenu(this)) {
    m_document.AttachView(this);
    m_connectingDocument = m_document.Interpretation().start != 0;
    setMinimumSize(200, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    m_updateTimer->setSingleShot(true);
    m_updateTimer->setInterval(kUpdateDelayMs);
    connect(m_updateTimer, &QTimer::timeout, this, [this] {
        if (m_period.momentary) {
            RefreshWindows();
        } else if (m_ready) {
            if (m_period.MayAutoRead() && m_document.LastStoredTime() > m_lastReadTime)
                AutoRead(m_document.LastStoredTime());
            RefreshWindows();
        }
        update();
    });
    CreateActions();
    ReadDiagramSettings();
}

CWetterView::~CWetterView() {
    // The reader posts to this view: it stops before the view goes.
    m_reader.reset();
    CloseWindows();
    m_document.DetachView(this);
}

// ---- Commands ------------------------------------------------------------

void CWetterView::CreateActions() {
    struct Entry {
        Command command;
        const char* text;
        bool checkable;
    };
    const Entry entries[] = {
        {Command::kPeriod, "&Timeperiod / Sensorselection", false},
        {Command::kWholeForwards, "Whole period of time forwards", false},
        {Command::kWholeBack, "Whole period of time back", false},
        {Command::kHalfForwards, "half period of time forwards", false},
        {Command::kHalfBack, "half period of time back", false},
        {Command::kStartingTime, "Starting time", false},
        {Command::kAutoUpdate, "automatic update", true},
        {Command::kShowSingleValues, "&Show single values", true},
        {Command::kFullSize, "&Fullsize diagram", true},
        {Command::kUnityScale, "Unity&scale", true},
        {Command::kBackground, "&Background", false},
        {Command::kGrid, "&Grid", false},
        {Command::kPrint, "&Print...", false},
        {Command::kPrintDirect, "Print direct", false},
        {Command::kPrintPreview, "Print pre&view", false},
        {Command::kShowTable, "Show table", false},
        {Command::kCsvConverter, "CSV-Converter", false},
        {Command::kCsvStatistics, "CSV-Statistics", false},
    };
    for (const Entry& entry : entries) {
        auto* action = new QAction(entry.text, this);
        action->setCheckable(entry.checkable);
        m_actions.push_back(action);
    }
    // Theme icons where the desktop has them, the style's own otherwise.
    auto icon = [this](Command command, const char* theme, QStyle::StandardPixmap fallback) {
        Action(command).setIcon(QIcon::fromTheme(theme, style()->standardIcon(fallback)));
    };
    icon(Command::kPeriod, "view-calendar", QStyle::SP_FileDialogDetailedView);
    icon(Command::kWholeBack, "go-first", QStyle::SP_MediaSkipBackward);
    icon(Command::kHalfBack, "go-previous", QStyle::SP_MediaSeekBackward);
    icon(Command::kHalfForwards, "go-next", QStyle::SP_MediaSeekForward);
    icon(Command::kWholeForwards, "go-last", QStyle::SP_MediaSkipForward);
    icon(Command::kStartingTime, "go-home", QStyle::SP_BrowserReload);
    // The style has no printer picture; without a theme the button shows its text.
    Action(Command::kPrint).setIcon(QIcon::fromTheme("document-print"));
    // The main window carries the active view's commands, so these never clash.
    Action(Command::kPeriod).setShortcut(QKeySequence("Ctrl+T"));
    Action(Command::kHalfBack).setShortcut(QKeySequence("Alt+Left"));
    Action(Command::kHalfForwards).setShortcut(QKeySequence("Alt+Right"));
    Action(Command::kWholeBack).setShortcut(QKeySequence("Alt+PgUp"));
    Action(Command::kWholeForwards).setShortcut(QKeySequence("Alt+PgDown"));
    Action(Command::kStartingTime).setShortcut(QKeySequence("Alt+Home"));
    Action(Command::kPrint).setShortcut(QKeySequence::Print);
    for (QAction* action : m_actions) {
        if (!action->shortcut().isEmpty())
            action->setToolTip(action->text().remove('&') + " (" +
                               action->shortcut().toString(QKeySequence::NativeText) + ")");
    }

    connect(&Action(Command::kPeriod), &QAction::triggered, this, [this] { ChoosePeriod(); });
    connect(&Action(Command::kWholeForwards), &QAction::triggered, this,
            [this] { Navigate(DiagramPeriod::Step::kWholeForwards); });
    connect(&Action(Command::kWholeBack), &QAction::triggered, this,
            [this] { Navigate(DiagramPeriod::Step::kWholeBack); });
    connect(&Action(Command::kHalfForwards), &QAction::triggered, this,
            [this] { Navigate(DiagramPeriod::Step::kHalfForwards); });
    connect(&Action(Command::kHalfBack), &QAction::triggered, this,
            [this] { Navigate(DiagramPeriod::Step::kHalfBack); });
    connect(&Action(Command::kStartingTime), &QAction::triggered, this,
            &CWetterView::RestoreStartingTime);
    connect(&Action(Command::kAutoUpdate), &QAction::triggered, this, [this] {
        m_period.autoUpdate = !m_period.autoUpdate;
        UpdateCommandStates();
    });
    connect(&Action(Command::kShowSingleValues), &QAction::triggered, this, [this] {
        m_showSingleValues = !m_showSingleValues;
        setMouseTracking(m_showSingleValues);
        if (!m_showSingleValues) {
            m_cursorInside = false;
            RefreshWindows();
        }
        UpdateCommandStates();
        update();
    });
    connect(&Action(Command::kFullSize), &QAction::triggered, this, [this] {
        m_fullSize = !m_fullSize;
        UpdateCommandStates();
        update();
    });
    connect(&Action(Command::kUnityScale), &QAction::triggered, this, [this] {
        m_unityScale = !m_unityScale;
        UpdateCommandStates();
        update();
    });
    connect(&Action(Command::kBackground), &QAction::triggered, this,
            [this] { ChooseColour(m_background); });
    connect(&Action(Command::kGrid), &QAction::triggered, this, [this] { ChooseColour(m_grid); });
    connect(&Action(Command::kPrint), &QAction::triggered, this, &CWetterView::PrintWithDialog);
    connect(&Action(Command::kPrintDirect), &QAction::triggered, this, &CWetterView::PrintDirect);
    connect(&Action(Command::kPrintPreview), &QAction::triggered, this, &CWetterView::PrintPreview);
    connect(&Action(Command::kShowTable), &QAction::triggered, this, &CWetterView::ShowTable);
    for (auto [command, tool] : {std::pair{Command::kCsvConverter, CsvTool::kConverter},
                                 std::pair{Command::kCsvStatistics, CsvTool::kStatistics}}) {
        connect(&Action(command), &QAction::triggered, this, [this, tool] {
            AppContext& context = m_document.Context();
            StartCsvTool(tool, m_document.DataFolder(), context.ui, context.launcher,
                         context.paths.ProgramName());
        });
    }

    m_contextMenu->addAction(&Action(Command::kPeriod));
    m_contextMenu->addAction(&Action(Command::kShowSingleValues));
    QMenu* colour = m_contextMenu->addMenu("&Color");
    colour->addAction(&Action(Command::kBackground));
    colour->addAction(&Action(Command::kGrid));
    m_contextMenu->addAction(&Action(Command::kFullSize));
    m_contextMenu->addAction(&Action(Command::kUnityScale));
    m_contextMenu->addAction(&Action(Command::kShowTable));
    m_contextMenu->addSeparator();
    m_contextMenu->addAction(&Action(Command::kPrint));
    UpdateCommandStates();
}

QAction& CWetterView::Action(Command command) const {
    return *m_actions[static_cast<std::size_t>(command)];
}

void CWetterView::UpdateCommandStates() {
    const bool navigation = m_period.NavigationEnabled();
    for (Command command :
         {Command::kWholeForwards, Command::kWholeBack, Command::kHalfForwards, Command::kHalfBack})
        Action(command).setEnabled(navigation);
    Action(Command::kStartingTime).setEnabled(m_period.StartingTimeEnabled());
    Action(Command::kAutoUpdate).setEnabled(m_period.AutoUpdateEnabled());
    Action(Command::kAutoUpdate).setChecked(m_period.AutoUpdateEnabled() && m_period.autoUpdate);
    Action(Command::kShowSingleValues).setChecked(m_showSingleValues);
    Action(Command::kFullSize).setChecked(m_fullSize);
    Action(Command::kUnityScale).setChecked(m_unityScale);
}

void CWetterView::ChooseColour(std::uint32_t& colour) {
    // The dialog opens on black, whatever the present colour.
    if (std::optional<std::uint32_t> chosen = m_document.Context().ui.ChooseColour(0)) {
        colour = *chosen;
        update();
    }
}

// ---- Layout --------------------------------------------------------------

void CWetterView::ApplyLayout(const LayoutStore::ViewLayout& layout) {
    m_background = static_cast<std::uint32_t>(layout.hgf);
    m_grid = static_cast<std::uint32_t>(layout.kof);
    m_period.Restore(layout);
    m_fullSize = layout.fg != 0;
    m_unityScale = layout.es != 0;
    m_identifiers = SplitSensorIdentifiers(layout.ke);
    m_storedWindows = layout.sensorWindows;
    UpdateCommandStates();
    SetTitle();
    if (m_period.momentary) CreateWindows();
    update();
}

LayoutStore::ViewLayout CWetterView::Layout(const LayoutStore::ViewLayout& stored) const {
    LayoutStore::ViewLayout layout = stored;
    layout.hgf = static_cast<int>(m_background);
    layout.kof = static_cast<int>(m_grid);
    m_period.Store(layout);
    layout.fg = m_fullSize ? 1 : 0;
    layout.es = m_unityScale ? 1 : 0;
    layout.ke = JoinSensorIdentifiers(m_identifiers);
    // Before a read has made the windows, those of the last run are still the ones to keep.
    if (m_windows.empty()) {
        layout.sensorWindows = m_storedWindows;
        return layout;
    }
    layout.sensorWindows.clear();
    for (const auto& window : m_windows) {
        LayoutStore::SensorWindowLayout entry = window->Model().StoredSettings();
        entry.placement = PlacementOf(*window);
        layout.sensorWindows.push_back(std::move(entry));
    }
    return layout;
}

// ---- Period and reading --------------------------------------------------

bool CWetterView::ChoosePeriod() {
    AppContext& context = m_document.Context();
    CDarstellung dialog(m_period, m_document.Sensors(), m_identifiers, m_document.PortOpen(),
                        context.clock, context.ui, context.paths.ProgramName(), this);
    if (dialog.exec() != QDialog::Accepted) return false;
    ApplyPeriodChoice(dialog.Choice(), dialog.Acceptance());
    return true;
}

void CWetterView::ApplyPeriodChoice(const PeriodChoice& choice,
                                    const PeriodAcceptance& acceptance) {
    CloseWindows();
    m_identifiers = choice.checkedIdentifiers;
    SwitchZoomOff();
    m_period.Apply(choice, acceptance);
    if (m_period.momentary) {
        CreateWindows();
        SetTitle();
        m_ready = true;
    } else {
        SetTitle();
        StartRead(false);
    }
    UpdateCommandStates();
    update();
}

void CWetterView::Navigate(DiagramPeriod::Step step) {
    if (!m_ready || !m_period.NavigationEnabled()) return;
    SwitchZoomOff();
    m_period.Navigate(step);
    StartRead(true);
    UpdateCommandStates();
}

void CWetterView::RestoreStartingTime() {
    if (!m_ready || !m_period.StartingTimeEnabled()) return;
    SwitchZoomOff();
    m_period.RestoreStartingTime();
    StartRead(true);
}

void CWetterView::ReloadData() {
    if (m_period.momentary) {
        CreateWindows();
        SetTitle();
        update();
        return;
    }
    if (m_period.periodType == 0) return;
    AppContext& context = m_document.Context();
    if (!m_period.RecomputePeriod(context.clock.Now())) {
        context.ui.MessageBox("Reading failure !", context.paths.ProgramName(), MsgButtons::Ok,
                              MsgIcon::Warning);
        return;
    }
    if (!m_identifiers.empty()) StartRead(false);
}

void CWetterView::AutoRead(std::time_t lastDataTime) {
    if (!m_ready || !m_period.MayAutoRead()) return;
    if (!m_period.RecomputePeriod(m_document.Context().clock.Now())) return;
    // Ready stays: the diagram keeps showing the last read until this one completes.
    m_lastReadTime = lastDataTime;
    ReadDiagramSettings();
    m_reader->StartReading(m_document.DataFolder(), m_period.start, m_period.end,
                           m_period.periodSeconds, m_period.dataMode, m_identifiers, lastDataTime,
                           true);
}

void CWetterView::StartRead(bool keep) {
    m_ready = false;
    m_lastReadTime = m_document.LastStoredTime();
    ReadDiagramSettings();
    // A read still running is cancelled by the new one.
    m_reader->StartReading(m_document.DataFolder(), m_period.start, m_period.end,
                           m_period.periodSeconds, m_period.dataMode, m_identifiers, m_lastReadTime,
                           keep);
    ShowProgress();
    UpdateCommandStates();
}

void CWetterView::OnReadProgress(int count) {
    if (m_progress != nullptr) m_progress->setValue(std::clamp(count, 1, kProgressSteps));
}

void CWetterView::OnReadFinished(bool keep) { FinishReading(!keep); }

void CWetterView::OnNothingRead() {
    HideProgress();
    m_ready = true;
    m_period.noData = true;
    UpdateCommandStates();
    update();
}

void CWetterView::FinishReading(bool rebuild) {
    SwitchZoomOff();
    if (rebuild)
        CreateWindows();
    else
        RefreshWindows();
    // The multi display may show this diagram's last values.
    if (DocumentView* multi = m_document.MultiDisplay()) multi->UpdateView();
    HideProgress();
    SetTitle();
    m_ready = true;
    m_period.noData = false;
    UpdateCommandStates();
    update();
}

void CWetterView::UpdateView() {
    if (!m_updateTimer->isActive()) m_updateTimer->start();
}

void CWetterView::ReadDiagramSettings() {
    Profile& profile = m_document.Context().profile;
    const std::string file = m_document.StationFile();
    // A hand-edited value must not make the painter draw thousands of lines.
    m_diagramSettings.minorStepsY =
        ClampedSetting(profile.GetInt(file, "ZwischenSchritteY", "Anzahl", 1), 1, 20);
    m_diagramSettings.minorStepsX =
        ClampedSetting(profile.GetInt(file, "ZwischenSchritteX", "Anzahl", 1), 1, 20);
    m_diagramSettings.lineWidth =
        ClampedSetting(profile.GetInt(file, "Display", "Linienstaerke", 1), 1, 20);
}

void CWetterView::ShowProgress() {
    if (m_progress == nullptr) {
        m_progress = new QProgressBar(this);
        m_progress->setRange(1, kProgressSteps);
        m_progress->setFormat("Einlesen : %p%");
        m_progress->setAlignment(Qt::AlignCenter);
        m_progress->setStyleSheet(
            "QProgressBar { border: none; background: palette(window); font-size: 14pt; }"
            "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
            "stop:0 #000096, stop:1 #6464c8); }");
    }
    m_progress->setValue(1);
    m_progress->setGeometry(rect());
    m_progress->show();
}

void CWetterView::HideProgress() {
    delete m_progress;
    m_progress = nullptr;
}

void CWetterView::SwitchZoomOff() {
    m_zoom.SwitchOff();
    for (const auto& series : m_reader->Series()) series->ZoomPoints().clear();
}

QString CWetterView::Title() const { return FromBytes(m_zoom.Decorate(m_period.Title())); }

void CWetterView::SetTitle() {
    setWindowTitle(Title());
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) frame->setWindowTitle(Title());
}

// ---- Single-value windows ------------------------------------------------

void CWetterView::CreateWindows() {
    CloseWindows();
    std::vector<std::optional<std::string>> placements;
    for (const std::string& identifier : m_identifiers) {
        const CSensoren* sensor = m_document.Sensors().FindSensor(identifier);
        if (sensor == nullptr) continue;
        if (sensor->m_windRose.enabled) {
            auto rose =
                std::make_unique<CDlgWindRose>(sensor->m_windRose, m_document.Sensors(), window());
            connect(rose.get(), &CDlgWindRose::Closed, this, [this](CDlgWindRose* closed) {
                auto found = std::find_if(m_windRoses.begin(), m_windRoses.end(),
                                          [closed](const auto& w) { return w.get() == closed; });
                if (found == m_windRoses.end()) return;
                // Not inside the window's own close handling.
                found->release()->deleteLater();
                m_windRoses.erase(found);
            });
            m_windRoses.push_back(std::move(rose));
        }
        auto created = std::make_unique<CSensorDialog>(m_windowCounter++, sensor,
                                                       m_document.Context().ui, window());
        CSensorDialog& shown = *created;
        placements.push_back(shown.Model().ApplyStoredSettings(
            m_storedWindows, m_identifiers.size(), !m_period.momentary));
        connect(&shown, &CSensorDialog::CurveChanged, this, [this] { update(); });
        connect(&shown, &CSensorDialog::Activated, this, &CWetterView::PromoteWindow);
        connect(&shown, &CSensorDialog::Closed, this, [this](int key) {
            // Not inside the window's own close handling.
            QTimer::singleShot(0, this, [this, key] { RemoveWindow(key); });
        });
        shown.SetOpacity(shown.Model().Opacity());
        m_windows.push_back(std::move(created));
    }
    // Placed once their texts are in: they decide the windows' heights.
    RefreshWindows();
    int stacked = 0;
    for (std::size_t i = 0; i < m_windows.size(); ++i) {
        CSensorDialog& shown = *m_windows[i];
        if (!placements[i] || !RestorePlacement(shown, *placements[i]))
            PlaceNewWindow(shown, stacked++);
        if (isVisible()) shown.show();
    }
    // Over the view's top left corner, each a little further in.
    for (std::size_t i = 0; i < m_windRoses.size(); ++i) {
        m_windRoses[i]->move(mapToGlobal(QPoint(24, 24)) + QPoint(30, 30) * static_cast<int>(i));
        if (isVisible()) m_windRoses[i]->show();
    }
    // A shown table follows a new choice; within one it keeps its place.
    if (m_table != nullptr && m_table->isVisible()) FillTable();
}

void CWetterView::CloseWindows() {
    // Windows made again (a new period, a new read) keep their colours, sliders and places.
    if (!m_windows.empty()) {
        m_storedWindows.clear();
        for (const auto& window : m_windows) {
            LayoutStore::SensorWindowLayout entry = window->Model().StoredSettings();
            entry.placement = PlacementOf(*window);
            m_storedWindows.push_back(std::move(entry));
        }
    }
    m_windows.clear();
    m_windRoses.clear();
    m_windowCounter = 1;
}

void CWetterView::RefreshWindows() {
    for (const auto& window : m_windows) {
        const std::string& identifier = window->Model().Label();
        window->UpdateDisplay(SourceFor(m_period, FindCurrentValue(m_document, identifier),
                                        m_reader->FindSeries(identifier), m_connectingDocument,
                                        m_showSingleValues && m_cursorInside));
    }
    for (const auto& rose : m_windRoses) rose->Update(m_period, m_document.Sensors());
}

void CWetterView::PlaceNewWindow(CSensorDialog& window, int index) {
    window.adjustSize();
    // Under each other, beside the main window where the screen has room, else
    // over the view's right edge.
    int below = 0;
    for (int i = 0; i < index && i < static_cast<int>(m_windows.size()); ++i)
        below += m_windows[static_cast<std::size_t>(i)]->frameGeometry().height() + 8;
    const QRect main = this->window()->frameGeometry();
    const QRect area = screen() != nullptr ? screen()->availableGeometry() : main;
    QPoint place(main.right() + 8, main.top() + below);
    if (place.x() + window.width() > area.right()) {
        const QPoint viewTopRight = mapToGlobal(QPoint(width(), 0));
        place = QPoint(viewTopRight.x() - window.width() - 12, viewTopRight.y() + 12 + below);
    }
    place.setX(
        std::clamp(place.x(), area.left(), std::max(area.left(), area.right() - window.width())));
    place.setY(
        std::clamp(place.y(), area.top(), std::max(area.top(), area.bottom() - window.height())));
    window.move(place);
}

void CWetterView::RemoveWindow(int key) {
    auto found = std::find_if(m_windows.begin(), m_windows.end(),
                              [key](const auto& window) { return window->Model().Key() == key; });
    if (found == m_windows.end()) return;
    const std::string identifier = (*found)->Model().Label();
    auto named = std::find(m_identifiers.begin(), m_identifiers.end(), identifier);
    if (named != m_identifiers.end()) m_identifiers.erase(named);
    m_windows.erase(found);
    if (m_windows.empty()) m_windowCounter = 1;
    update();
}

void CWetterView::PromoteWindow(int key) {
    if (m_windows.size() < 2) return;
    auto found = std::find_if(m_windows.begin(), m_windows.end(),
                              [key](const auto& window) { return window->Model().Key() == key; });
    if (found == m_windows.end() || found == m_windows.begin()) return;
    std::rotate(m_windows.begin(), found, found + 1);
    update();
}

void CWetterView::SensorsReplaced() {
    // A window whose sensor is gone shows no value until the next read rebuilds it.
    // The same settings loaded again keep the colour the user chose for the curve.
    for (const auto& window : m_windows) {
        const std::uint32_t colour = window->Model().CurveColour();
        window->AttachSensor(m_document.Sensors().FindSensor(window->Model().Label()));
        window->Model().SetCurveColour(colour);
    }
    update();
}

void CWetterView::SensorChanged(const std::string& identifier, bool reload) {
    // The sensor was edited: its own colour now, not the one the curve had.
    const CSensoren* sensor = m_document.Sensors().FindSensor(identifier);
    for (const auto& window : m_windows)
        if (window->Model().Label() == identifier) window->AttachSensor(sensor);
    const bool shown =
        std::find(m_identifiers.begin(), m_identifiers.end(), identifier) != m_identifiers.end();
    if (reload && shown) ReloadData();
    update();
}

void CWetterView::DropSensor(const std::string& identifier) {
    for (const auto& window : m_windows) {
        if (window->Model().Label() == identifier) {
            RemoveWindow(window->Model().Key());
            break;
        }
    }
    std::erase(m_identifiers, identifier);
    update();
}

// ---- Painting ------------------------------------------------------------

void CWetterView::Render(QPainter& painter, const QRect& rect, bool screen) {
    painter.fillRect(rect, ToQColor(m_background));
    if (!m_ready) return;
    QtCanvas canvas(painter);
    const CanvasRect client{0, 0, rect.width(), rect.height()};
    // Momentary values are kept per sensor as a history; the painter walks copies.
    std::vector<std::vector<CDaten>> momentary(m_windows.size());
    std::vector<DiagramCurve> curves;
    for (std::size_t i = 0; i < m_windows.size(); ++i) {
        DiagramCurve curve;
        curve.window = &m_windows[i]->Model();
        const std::string& identifier = curve.window->Label();
        if (m_period.momentary) {
            if (const CAktuell* current = FindCurrentValue(m_document, identifier))
                momentary[i].assign(current->m_history.begin(), current->m_history.end());
            curve.points = momentary[i];
        } else if (CListGraph* series = m_reader->FindSeries(identifier)) {
            curve.points = series->Points();
            curve.zoomPoints = &series->ZoomPoints();
        }
        curves.push_back(curve);
    }
    DiagramSceneOptions options;
    options.gridColour = m_grid;
    options.fullSize = m_fullSize;
    options.unityScale = m_unityScale;
    options.zoomed = screen && m_zoom.ZoomActive() && !m_period.momentary;
    options.zoomRect = m_zoom.ZoomRect();
    options.cursorX = m_cursorX;
    options.settings = m_diagramSettings;
    options.now = m_document.Context().clock.Now();
    const std::vector<std::optional<CDaten>> cursorPoints =
        DiagramScene::Paint(canvas, client, options, curves);
    if (screen && m_showSingleValues && m_cursorInside)
        for (std::size_t i = 0; i < m_windows.size(); ++i)
            m_windows[i]->ShowCursorValue(cursorPoints[i], m_period.dataMode);
}

void CWetterView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Render(painter, rect(), true);
    const QColor grid = ToQColor(m_grid);
    if (m_cursorInside) {
        painter.setPen(QPen(grid, 1));
        painter.drawLine(m_cursorX, 0, m_cursorX, height());
    } else if (m_zoom.Dragging()) {
        painter.setPen(QPen(grid, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        const CanvasPoint a = m_zoom.DragStart();
        const CanvasPoint b = m_zoom.DragEnd();
        painter.drawRect(QRect(QPoint(a.x, a.y), QPoint(b.x, b.y)).normalized());
    }
}

void CWetterView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_progress != nullptr) m_progress->setGeometry(rect());
}

void CWetterView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    SetTitle();
    for (const auto& window : m_windows) window->show();
    for (const auto& rose : m_windRoses) rose->show();
}

// ---- Mouse ---------------------------------------------------------------

bool CWetterView::TrackingCursor() const { return m_showSingleValues; }

void CWetterView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const QPoint point = event->position().toPoint();
    m_zoom.ButtonDown({point.x(), point.y()});
    update();
}

void CWetterView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (TrackingCursor()) {
        m_cursorInside = rect().contains(point) && m_ready;
        m_cursorX = point.x();
        update();
        return;
    }
    if (m_zoom.MouseMove({point.x(), point.y()}, false)) update();
}

void CWetterView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    const QPoint point = event->position().toPoint();
    if (m_zoom.Dragging()) m_zoom.MouseMove({point.x(), point.y()}, TrackingCursor());
    switch (m_zoom.ButtonUp()) {
        case DiagramZoom::TitleChange::kRestore:
            for (const auto& series : m_reader->Series()) series->ZoomPoints().clear();
            SetTitle();
            break;
        case DiagramZoom::TitleChange::kAppendZoom:
            SetTitle();
            break;
        case DiagramZoom::TitleChange::kNone:
            break;
    }
    update();
}

void CWetterView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (m_cursorInside) {
        m_cursorInside = false;
        update();
    }
}

void CWetterView::contextMenuEvent(QContextMenuEvent* event) {
    UpdateCommandStates();
    m_contextMenu->exec(event->globalPos());
}

// ---- Printing ------------------------------------------------------------

bool CWetterView::Print(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        AppContext& context = m_document.Context();
        context.ui.MessageBox("The diagram could not be printed: the printer did not start.",
                              context.paths.ProgramName(), MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    Render(painter, QRect(QPoint(0, 0), painter.viewport().size()), false);
    return painter.end();
}

void CWetterView::PrintWithDialog() {
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) Print(printer);
}

void CWetterView::PrintDirect() {
    if (QPrinterInfo::defaultPrinter().isNull()) {
        AppContext& context = m_document.Context();
        context.ui.MessageBox("No printer is installed.", context.paths.ProgramName(),
                              MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    Print(printer);
}

void CWetterView::PrintPreview() {
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { Print(*target); });
    preview.exec();
}

// ---- Table -----------------------------------------------------------------

void CWetterView::ShowTable() {
    if (m_table == nullptr) {
        AppContext& context = m_document.Context();
        m_table = std::make_unique<CDlgDataList>(context.ui, context.paths.ProgramName(), window());
    }
    m_table->SetSaveFolder(m_document.DataFolder());
    FillTable();
    m_table->show();
    m_table->raise();
}

void CWetterView::FillTable() {
    // Momentary values are kept per sensor as a history; the table takes copies.
    std::vector<std::vector<CDaten>> momentary(m_windows.size());
    std::vector<DataListWindow> columns;
    for (std::size_t i = 0; i < m_windows.size(); ++i) {
        const SensorWindowModel& model = m_windows[i]->Model();
        DataListWindow column{model.Name(), model.Unit(),
                              model.Sensor() != nullptr ? model.Sensor()->m_decimals : 0, nullptr};
        if (m_period.momentary) {
            if (const CAktuell* current = FindCurrentValue(m_document, model.Label())) {
                momentary[i].assign(current->m_history.begin(), current->m_history.end());
                column.series = &momentary[i];
            }
        } else if (const CListGraph* series = m_reader->FindSeries(model.Label())) {
            column.series = &series->Points();
        }
        columns.push_back(std::move(column));
    }
    m_table->Fill(columns);
}
