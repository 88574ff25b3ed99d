#pragma once

#include <QMainWindow>
#include <memory>
#include <vector>

struct AppContext;
class CChildFrame;
class CDlgOutput;
class CWetterDoc;
class QAction;
class QMdiArea;

// The main window: owns the open station documents, shows their views as child
// frames, carries the application's menu commands and ends everything on close.
class CMainFrame final : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(AppContext& context);
    ~CMainFrame() override;

    // A further station document with one view ("&New").
    CWetterDoc& NewDocument();
    CChildFrame& NewFrame(CWetterDoc& document);

    const std::vector<std::unique_ptr<CWetterDoc>>& Documents() const { return m_documents; }
    QList<CChildFrame*> Frames() const;

    // Shows the output window, or closes it when it is shown.
    void ToggleOutput();
    bool IsOutputShown() const { return m_outputShown; }
    CDlgOutput* OutputWindow() const { return m_output.get(); }

    // While the main window closes, a station's last frame may close too.
    bool IsClosingApplication() const { return m_closingApplication; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenus();
    void SaveLayout();
    bool ConfirmQuit();
    void CloseAllDocuments();
    void SetOutputShown(bool shown);
    void ShowAbout();

    AppContext& m_context;
    QMdiArea* m_mdiArea;  // the central widget
    QAction* m_showOutputAction = nullptr;
    std::vector<std::unique_ptr<CWetterDoc>> m_documents;
    std::unique_ptr<CDlgOutput> m_output;
    bool m_outputShown = false;
    bool m_closingApplication = false;
    bool m_askingToQuit = false;
    int m_documentsCreated = 0;
};
