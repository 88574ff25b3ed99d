#pragma once

// CBaudrate ("baud rate") is the window of the baud-rate search.

#include <QDialog>
#include <memory>
#include <string>

#include "comm/BaudRateSearch.h"

class AutoResetEvent;
class CDataBase;
class Clock;
class EventQueue;
class Profile;
class QLabel;
class QPushButton;
class QTimer;

// "searching for baudrate...": shows a growing text while the station's rate
// is searched beside it, and "Cancel" to stop the search. A rate found is
// written to the serial section before the window closes.
class CBaudrate final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "searching for baudrate...";

    // `line` is the station's serial line to start from; `abort` the process's
    // BaudSearchAbortEvent; `stationFile` takes the rate found.
    CBaudrate(CDataBase& transport, SerialLineSettings line, AutoResetEvent& abort,
              EventQueue& events, Clock& clock, Profile& profile, std::string stationFile,
              QWidget* parent = nullptr);
    ~CBaudrate() override;

    // Starts the search and waits until it ends or is cancelled; true when the station answered.
    bool Run();
    // Starts the search (Run does it); the window closes when it ends.
    void Start();
    // "Cancel", Escape or closing the window: stops the search (not found).
    void reject() override;

    bool Found() const { return m_found; }
    // The line as the search left it: the rate found or the last one tried.
    SerialLineSettings Line() const { return m_search.Line(); }

    QLabel& SearchingLabel() const { return *m_text; }
    QPushButton& CancelButton() const { return *m_cancel; }

private:
    void Ended(bool found);

    BaudRateSearch m_search;
    Clock& m_clock;
    Profile& m_profile;
    std::string m_stationFile;
    bool m_found = false;
    unsigned m_step = 0;
    QLabel* m_text;
    QPushButton* m_cancel;
    QTimer* m_grow;
};
