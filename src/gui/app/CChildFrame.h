#pragma once

// CChildFrame is a station's window inside the main window.

#include <QMdiSubWindow>

#include "app/LayoutStore.h"

class CMainFrame;
class CWetterDoc;
class CWetterView;

// The frame of one diagram view inside the main window. It deletes itself
// (and so its view) when it closes.
class CChildFrame final : public QMdiSubWindow {
    Q_OBJECT
public:
    CChildFrame(CMainFrame& mainFrame, CWetterDoc& document);
    ~CChildFrame() override;

    CWetterDoc& Document() const { return m_document; }
    CWetterView& View() const { return *m_view; }
    // The view's stored values, kept from start to exit until the view itself uses them.
    LayoutStore::ViewLayout& Layout() { return m_layout; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CMainFrame& m_mainFrame;
    CWetterDoc& m_document;
    CWetterView* m_view;  // owned through the Qt parent (the frame)
    LayoutStore::ViewLayout m_layout;
};
