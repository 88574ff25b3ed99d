#pragma once

// CDlgMultiAnzeige ("multi display dialog") is a station's multi display window.

#include <QDockWidget>
#include <memory>
#include <string>

#include "app/DocumentView.h"
#include "display/MultiDisplaySettings.h"
#include "display/MultiDisplayValues.h"

class CMultianzeigeCtrl;
class CWetterDoc;
class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QTimer;

// The wind situation and five chosen sensors of one station at a glance, for
// a wall screen: a dock window of the main window (floating when first
// opened) with its menus, the colour and sensor menus on a right click, the
// opacity menu and full screen (F11). Its choices live in multi.ini; the
// station document owns it and refreshes it with its views. The rules are
// MultiDisplayValues', MultiDisplaySettings' and the Multianzeige painter's.
class CDlgMultiAnzeige final : public QDockWidget, public DocumentView {
    Q_OBJECT
public:
    static constexpr int kDataNoticeMs = 100;
    static constexpr int kMargin = 10;

    // "Show multiple display": opens the document's multi display, or closes it when open.
    static void Toggle(CWetterDoc& document, QMainWindow& mainWindow);
    // A document starting with "Multi"/"Aktiv" = 1 opens its display again.
    static void OpenIfActive(CWetterDoc& document, QMainWindow& mainWindow);
    // The document's open multi display, or null.
    static CDlgMultiAnzeige* Of(const CWetterDoc& document);

    CDlgMultiAnzeige(CWetterDoc& document, QMainWindow& mainWindow);
    ~CDlgMultiAnzeige() override;

    // DocumentView: new values arrived. Refreshes are merged: a logger
    // read-out calls this for every line.
    void UpdateView() override;
    void ReloadData() override { UpdateValues(); }
    void DropSensor(const std::string&) override { UpdateValues(); }

    // Collects the values from the document and repaints.
    void UpdateValues();
    // "Data..." for kDataNoticeMs.
    void ShowDataNotice();

    // Menu commands.
    void CloseDisplay();   // "&Close multiple display", also the close box
    void CloseSoftware();  // "Close &Software"
    void SetDirectionSteps(DirectionSteps steps);
    void SetDirectionMaster(int master);
    void SetTileSensor(int tile, const std::string& identifier);
    enum class ColourChoice { kBackground, kTiles, kText };
    void ChooseColour(ColourChoice choice);
    void SetOpacity(int percent);
    void SetFullScreen(bool fullScreen);
    bool IsFullScreen() const { return m_fullScreen; }

    // The right-click menus as they are shown (tile 1 to 5).
    std::unique_ptr<QMenu> SensorMenu(int tile);
    std::unique_ptr<QMenu> ColourMenu();

    const MultiDisplaySettings& Settings() const { return m_settings; }
    DirectionSteps Steps() const { return m_steps; }
    int Opacity() const { return m_opacity; }
    CMultianzeigeCtrl& Control() const { return *m_control; }
    QMenuBar& MenuBar() const { return *m_menuBar; }
    // Writes multi.ini as it would be written on closing.
    bool SaveSettings();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateMenus();
    void Open();
    void RestorePlacement();
    MultiWindowPlacement CurrentPlacement() const;
    void ApplyColours();
    void ApplyOpacity();
    void UpdateMenuChecks();
    void ReportWriteFailure(const char* place, const std::string& file) const;

    CWetterDoc& m_document;
    QMainWindow& m_mainWindow;
    std::string m_file;  // multi.ini
    MultiDisplaySettings m_settings;
    DirectionSteps m_steps = DirectionSteps::kNormal;
    int m_opacity = 100;
    int m_raisesLeft = 4;
    bool m_closed = false;
    bool m_fullScreen = false;
    int m_dockAreaBeforeFullScreen = 0;
    QRect m_floatingGeometry;  // the last geometry while floating, kept for docking and full screen
    CMultianzeigeCtrl* m_control;
    QMenuBar* m_menuBar;
    QTimer* m_refreshTimer;
    QTimer* m_noticeTimer;
    QAction* m_steps5 = nullptr;
    QAction* m_steps10 = nullptr;
    QAction* m_wrMaster = nullptr;
    QAction* m_wvMaster = nullptr;
    QAction* m_fullScreenAction = nullptr;
};
