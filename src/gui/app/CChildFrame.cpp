#include "gui/app/CChildFrame.h"

#include <QCloseEvent>

#include "app/CWetterDoc.h"
#include "gui/app/CMainFrame.h"
#include "gui/display/CWetterView.h"

CChildFrame::CChildFrame(CMainFrame& mainFrame, CWetterDoc& document)
    : m_mainFrame(mainFrame), m_document(document), m_view(new CWetterView(document)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(m_view);
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!m_mainFrame.IsClosingApplication() && !m_document.CanCloseFrame()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
