#pragma once

// CMainFrame is the main window.

#include <QMainWindow>
#include <memory>
#include <vector>

struct AppContext;
class CChildFrame;
class MainSwitchboard;
class StationDocuments;
class QtAcquisitionUi;
class PosixLauncher;
class CDlgOutput;
class CWetterDoc;
class CWetterView;
class QToolBar;
class QAction;
class QMdiArea;
class QMenu;

// The main window: owns the open station documents, shows their views as child
// frames, carries the application's menu commands and ends everything on close.
class CMainFrame final : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(AppContext& context);
    ~CMainFrame() override;

    // A further station document with one view ("&New"), opened as at start:
    // it connects, reads its stored data, or asks to be set up first.
    CWetterDoc& NewDocument();
    CChildFrame& NewFrame(CWetterDoc& document);
    // The first station with the views of the last run; at least one view.
    void RestoreLayout();
    void SaveLayout();

    const std::vector<std::unique_ptr<CWetterDoc>>& Documents() const;
    QList<CChildFrame*> Frames() const;

    // Shows the output window, or closes it when it is shown.
    void ToggleOutput();
    bool IsOutputShown() const { return m_outputShown; }
    CDlgOutput* OutputWindow() const { return m_output.get(); }

    // The switchboard between the station's reader and the documents.
    MainSwitchboard& Switchboard() const;
    // The document of the active frame, else the first one; null without documents.
    CWetterDoc* ActiveDocument() const;
    // The view of the active frame, else the first one; null without frames.
    CWetterView* ActiveView() const;
    // "Write / Read options" for `document`; on Accept it loads its settings again.
    void ShowStorageOptions(CWetterDoc& document);
    // First start: the storage options, then the connection settings, without waiting.
    void SetUpStation(CWetterDoc& document);

    // While the main window closes, a station's last frame may close too.
    bool IsClosingApplication() const { return m_closingApplication; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateMenus();
    CWetterDoc& AddDocument();
    bool ConfirmQuit();
    void CloseAllDocuments();
    void SetOutputShown(bool shown);
    void ShowAbout();
    void CreateToolBar();
    void ShowDiagramCommands();
    // The active station's process list and HTML page settings.
    void ShowProcessControl();
    // "Orbset" for the active station.
    void ShowSensorProperties();
    void ShowHtmlConfiguration();
    // The upload settings of the process; the AWEKAS boxes list the active station's sensors.
    void ShowHttpUpload();
    void ShowAwekasSettings();
    // The station's storage options, precipitation reset and altitude.
    void AddStationSetupCommands(QMenu& menu);

    AppContext& m_context;
    // The documents and their switchboard, shared with the service mode.
    std::unique_ptr<StationDocuments> m_stations;
    std::unique_ptr<QtAcquisitionUi> m_acquisitionUi;
    std::unique_ptr<PosixLauncher> m_launcher;
    QMdiArea* m_mdiArea;  // the central widget
    QAction* m_showOutputAction = nullptr;
    QToolBar* m_diagramBar = nullptr;
    std::unique_ptr<CDlgOutput> m_output;
    bool m_outputShown = false;
    bool m_closingApplication = false;
    bool m_askingToQuit = false;
    int m_documentsCreated = 0;
    bool m_placementRestored = false;
};
