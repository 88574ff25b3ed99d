#pragma once

// CDlgOutput is the output window.

#include <QDialog>

class QListWidget;
class QPushButton;

// The output window: the lines of the output list in their colours, as they
// were when last filled, with "Update" and "Copy to clipboard".
class CDlgOutput final : public QDialog {
    Q_OBJECT
public:
    explicit CDlgOutput(QWidget* parent = nullptr);
    ~CDlgOutput() override;

    // Shows the output list as it is now.
    void Fill();
    void CopyToClipboard();

    QListWidget& List() const { return *m_list; }

private:
    QListWidget* m_list;
};
