#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/ProcessList.h"

struct AppContext;
class CVergleichParser;
class StationView;

// A station's process control: its process list, kept in process.ini, and
// the starts after each received record. A start waits 100 ms on a timer
// after the HTML page is written, so that the program finds this record's page.
// Lives on the user-interface thread.
class ProcessControl {
public:
    static constexpr int kPageWaitTimer = 1030;
    static constexpr unsigned kPageWaitMs = 100;

    ProcessControl(AppContext& context, const StationView& station);
    ~ProcessControl();
    ProcessControl(const ProcessControl&) = delete;
    ProcessControl& operator=(const ProcessControl&) = delete;

    std::string ProcessFile() const;
    void LoadProcesses();
    const ProcessList& List() const { return m_list; }

    // The dialogs' changes. Each takes effect at once and stores the whole
    // list; false (with a line in the output window) when the file refused.
    bool AddProcess(const ProcessTexts& texts);
    bool EditProcess(std::size_t index, const ProcessTexts& texts);
    bool DeleteProcess(std::size_t index);

    // After a record: every process in list order against the variables of
    // `parser`. A waiting process only looks at its release condition; any
    // other whose execution condition holds starts after the page and the wait.
    void RunProcessControl(const CVergleichParser& parser);
    // Processes whose condition held and which wait for the 100 ms to pass.
    bool StartsPending() const { return !m_pending.empty(); }

    // True only when `condition` is read to its end and holds.
    static bool Holds(const CVergleichParser& parser, std::string_view condition);

private:
    void StartPending();
    bool Store();

    AppContext& m_context;
    const StationView& m_station;
    ProcessList m_list;
    std::vector<CProcess*> m_pending;
};
