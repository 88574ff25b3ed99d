#pragma once

#include <functional>

#include "app/AcquisitionUi.h"

struct AppContext;
class HeadlessUi;

// The connect's windows when there are none (the service mode): the
// initialisation and the baud-rate search run as they would in their windows,
// their steps written as progress lines; nobody is asked to set the clock; the
// end of a silent run ends the program.
class HeadlessAcquisitionUi final : public AcquisitionUi {
public:
    // Runs the user-interface thread's events until `done` holds, or until
    // the program is asked to stop (then `done` may still be false).
    using RunEvents = std::function<void(const std::function<bool()>& done)>;
    // A logger read-out's record time shown sooner than this after the last
    // written one waits for the next.
    static constexpr unsigned kStatusEveryMs = 5000;

    HeadlessAcquisitionUi(AppContext& context, HeadlessUi& ui, RunEvents runEvents,
                          std::function<void(int code)> exitProgram);

    void RunInitialisation(CWetterDoc& document) override;
    bool SearchBaudRate(CDataBase& transport, SerialLineSettings& line) override;
    void ExitProcess(int code) override { m_exitProgram(code); }

private:
    AppContext& m_context;
    HeadlessUi& m_ui;
    RunEvents m_runEvents;
    std::function<void(int)> m_exitProgram;
};
