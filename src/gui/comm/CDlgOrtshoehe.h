#pragma once

// CDlgOrtshoehe ("altitude of the location") sets the station's altitude.

#include <QDialog>
#include <QString>
#include <string>

class CWetterDoc;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTimer;
class Ui;

// "Altitude": the altitude in metres, sent to the station with "SET" (the
// dialog stays open) and, with "Set altitude at startup", at every connect.
// Without a station link "SET" is disabled and what is typed is stored at
// once, for the next initialisation.
class CDlgOrtshoehe final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Altitude";

    CDlgOrtshoehe(CWetterDoc& document, Ui& ui, std::string caption, QWidget* parent = nullptr);

    QLineEdit& AltitudeField() const { return *m_altitude; }
    QCheckBox& AtStartupBox() const { return *m_atStartup; }
    QPushButton& SetButton() const { return *m_set; }

private:
    void TakeEdit(const QString& text);
    void Set();
    void SetAtStartup(bool on);
    void ShowLinkState();

    CWetterDoc& m_document;
    Ui& m_ui;
    std::string m_caption;
    QString m_accepted;  // the field's last text that was an altitude
    QLineEdit* m_altitude;
    QCheckBox* m_atStartup;
    QPushButton* m_set;
    QTimer* m_linkCheck;
};
