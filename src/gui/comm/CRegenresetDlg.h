#pragma once

// CRegenresetDlg ("rain reset") sets the hour of the daily precipitation reset.

#include <QDialog>
#include <string>

class CWetterDoc;
class QPushButton;
class QSpinBox;

// "Reset for precipitation": the hour 0 to 23. "Accept" stores it for the next
// connect; "Set" stores it and sends it to the station now.
class CRegenresetDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Reset for precipitation";

    explicit CRegenresetDlg(CWetterDoc& document, QWidget* parent = nullptr);

    QSpinBox& HourField() const { return *m_hour; }
    QPushButton& SetButton() const { return *m_set; }
    QPushButton& AcceptButton() const { return *m_accept; }

private:
    CWetterDoc& m_document;
    QSpinBox* m_hour;
    QPushButton* m_set;
    QPushButton* m_accept;
};
