#pragma once

// CKonfigurationComDlg ("configuration of the COM port") sets a serial line.

#include <QDialog>
#include <string>

#include "app/ConnectionOptions.h"

class Profile;
class QComboBox;
class QPushButton;
class Ui;

// "Configure COM-Port": rate, data bits, parity and stop bits of the station's
// serial port or of its modem port, chosen from lists. "Accept" writes them.
class CKonfigurationComDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Configure COM-Port";

    // `caption` titles the messages.
    CKonfigurationComDlg(Profile& profile, std::string stationFile,
                         ConnectionOptions::LineSection section, Ui& ui, std::string caption,
                         QWidget* parent = nullptr);

    // "Accept": writes the four keys; a failure is shown and the dialog stays open.
    void accept() override;

    ConnectionOptions::LineChoice Choice() const;

    QComboBox& BaudBox() const { return *m_baud; }
    QComboBox& DataBitsBox() const { return *m_dataBits; }
    QComboBox& ParityBox() const { return *m_parity; }
    QComboBox& StopBitsBox() const { return *m_stopBits; }
    QPushButton& AcceptButton() const { return *m_accept; }
    QPushButton& CancelButton() const { return *m_cancel; }

private:
    Profile& m_profile;
    std::string m_stationFile;
    ConnectionOptions::LineSection m_section;
    Ui& m_ui;
    std::string m_caption;
    QComboBox* m_baud;
    QComboBox* m_dataBits;
    QComboBox* m_parity;
    QComboBox* m_stopBits;
    QPushButton* m_accept;
    QPushButton* m_cancel;
};
