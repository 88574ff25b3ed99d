#pragma once

// CDlgForwarding sets up the forwarding of the station's lines.

#include <QDialog>

class ForwardingForm;
class QComboBox;
class QLabel;
class QPushButton;

// "Port forwarding - settings": the port and rate, "Start" and "Stop", and
// the connection while forwarding runs. The port list offers the free ports;
// a device path may also be typed. "OK" closes without changing forwarding.
class CDlgForwarding final : public QDialog {
    Q_OBJECT
public:
    explicit CDlgForwarding(ForwardingForm& form, QWidget* parent = nullptr);

    QComboBox& PortBox() const { return *m_port; }
    QComboBox& BaudBox() const { return *m_baud; }
    QPushButton& StartButton() const { return *m_start; }
    QPushButton& StopButton() const { return *m_stop; }
    QLabel& Status() const { return *m_status; }

private:
    // Lists, enabled states and the status as the form says now.
    void ShowState();
    void Start();
    void Stop();

    ForwardingForm& m_form;
    QComboBox* m_port;
    QComboBox* m_baud;
    QPushButton* m_start;
    QPushButton* m_stop;
    QLabel* m_status;
};
