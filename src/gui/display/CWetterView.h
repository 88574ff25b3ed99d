#pragma once

// CWetterView is a station's diagram view.

#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/DocumentView.h"
#include "app/LayoutStore.h"
#include "display/CDiagramm.h"
#include "display/DiagramPeriod.h"
#include "display/DiagramZoom.h"
#include "storage/ReaderView.h"

class CDlgDataList;
class CDlgWindRose;
class CEinlesen;
class CSensorDialog;
class CWetterDoc;
class QAction;
class QMenu;
class QPrinter;
class QProgressBar;
class QTimer;

// The time-series diagram of a station's sensors: a period read from the data
// files, or the momentary values as they arrive; with a single-value window
// per sensor, navigation, zoom, cursor values, colours and printing. The rules
// are DiagramPeriod's, DiagramZoom's, SensorWindowModel's and the painter's.
class CWetterView final : public QWidget, public DocumentView, public ReaderView {
    Q_OBJECT
public:
    explicit CWetterView(CWetterDoc& document, QWidget* parent = nullptr);
    ~CWetterView() override;

    CWetterDoc& Document() const { return m_document; }

    // Takes the stored values of the view (and of its single-value windows).
    void ApplyLayout(const LayoutStore::ViewLayout& layout);
    // The view's values to store, on top of what `stored` holds.
    LayoutStore::ViewLayout Layout(const LayoutStore::ViewLayout& stored) const;

    // DocumentView.
    void ReloadData() override;  // Refresh
    void DropSensor(const std::string& identifier) override;
    void SensorsReplaced() override;
    void SensorChanged(const std::string& identifier, bool reload) override;
    void UpdateView() override;
    const CEinlesen* Reader() const override { return m_reader.get(); }
    bool ShowsMomentaryValues() const override { return m_period.momentary; }

    // ReaderView.
    void OnReadProgress(int count) override;
    void OnReadFinished(bool keep) override;
    void OnNothingRead() override;

    // Commands.
    enum class Command {
        kPeriod,
        kWholeForwards,
        kWholeBack,
        kHalfForwards,
        kHalfBack,
        kStartingTime,
        kAutoUpdate,
        kShowSingleValues,
        kFullSize,
        kUnityScale,
        kBackground,
        kGrid,
        kPrint,
        kPrintDirect,
        kPrintPreview,
        kShowTable,
        kCsvConverter,
        kCsvStatistics,
    };
    QAction& Action(Command command) const;
    // Enabling and checking from the view's state.
    void UpdateCommandStates();
    QMenu& ContextMenu() const { return *m_contextMenu; }

    // The period dialog; true when accepted.
    bool ChoosePeriod();
    // Applies an accepted choice as "Get data" does.
    void ApplyPeriodChoice(const PeriodChoice& choice, const PeriodAcceptance& acceptance);
    void Navigate(DiagramPeriod::Step step);
    void RestoreStartingTime();
    // Reads the period again when new data arrived (types 1 and 3, automatic update on).
    void AutoRead(std::time_t lastDataTime);

    // The diagram on a printer page (or a PDF file); false with a message when it fails.
    bool Print(QPrinter& printer);
    // The diagram on an image of the view's size, as the screen shows it.
    void Render(QPainter& painter, const QRect& rect, bool screen);

    bool IsReady() const { return m_ready; }
    const DiagramPeriod& Period() const { return m_period; }
    const DiagramZoom& Zoom() const { return m_zoom; }
    const std::vector<std::string>& SensorIdentifiers() const { return m_identifiers; }
    const std::vector<std::unique_ptr<CSensorDialog>>& SensorWindows() const { return m_windows; }
    const std::vector<std::unique_ptr<CDlgWindRose>>& WindRoseWindows() const {
        return m_windRoses;
    }
    // "Show table": the table window, made when first asked for; null before.
    void ShowTable();
    CDlgDataList* Table() const { return m_table.get(); }
    bool ProgressShown() const { return m_progress != nullptr; }
    QString Title() const;

    // Single-value window requests.
    void RemoveWindow(int key);
    void PromoteWindow(int key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreateActions();
    void StartRead(bool keep);
    void FinishReading(bool rebuild);
    void CreateWindows();
    void CloseWindows();
    void RefreshWindows();
    void SetTitle();
    void ShowProgress();
    void HideProgress();
    void SwitchZoomOff();
    void ReadDiagramSettings();
    void PlaceNewWindow(CSensorDialog& window, int index);
    bool TrackingCursor() const;
    void ChooseColour(std::uint32_t& colour);
    void PrintWithDialog();
    void PrintDirect();
    void PrintPreview();
    void FillTable();

    CWetterDoc& m_document;
    std::unique_ptr<CEinlesen> m_reader;
    DiagramPeriod m_period;
    DiagramZoom m_zoom;
    DiagramSettings m_diagramSettings;
    std::vector<std::string> m_identifiers;
    std::vector<std::unique_ptr<CSensorDialog>> m_windows;
    std::vector<std::unique_ptr<CDlgWindRose>> m_windRoses;
    std::unique_ptr<CDlgDataList> m_table;
    std::vector<LayoutStore::SensorWindowLayout> m_storedWindows;
    int m_windowCounter = 1;
    bool m_ready = true;
    bool m_connectingDocument = false;
    std::uint32_t m_background = 0xFFFFFF;
    std::uint32_t m_grid = 0;
    bool m_fullSize = false;
    bool m_unityScale = true;
    bool m_showSingleValues = false;
    bool m_cursorInside = false;
    int m_cursorX = 0;
    std::time_t m_lastReadTime = 0;
    QProgressBar* m_progress = nullptr;
    QTimer* m_updateTimer;
    QMenu* m_contextMenu;
    std::vector<QAction*> m_actions;
};
