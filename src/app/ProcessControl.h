#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "app/ProcessList.h"
#include "calc/CVergleichParser.h"

struct AppContext;
class StationView;

// A station's process control: its process list, kept in process.ini, and
// the starts after each received record. A start waits 100 ms on a timer
// after the HTML page is written, so that the program finds this record's page.
// Records that come during the wait (a logger read-out brings several a
// second) queue with their own values and are judged one by one after it,
// each with its page, wait and start. Lives on the user-interface thread.
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
    // `parser` (copied when the record has to queue). A waiting process only
    // looks at its release condition; any other whose execution condition
    // holds starts after the page and the wait.
    void RunProcessControl(const CVergleichParser& parser);
    // Starts waiting for their 100 ms, or records queued behind them.
    bool StartsPending() const { return !m_pending.empty() || !m_queued.empty(); }

    // True only when `condition` is read to its end and holds.
    static bool Holds(const CVergleichParser& parser, std::string_view condition);

private:
    // Judges one record; true when it has starts waiting for the page wait.
    bool JudgeRecord(const CVergleichParser& parser);
    void StartPending();
    bool Store();

    AppContext& m_context;
    const StationView& m_station;
    ProcessList m_list;
    std::vector<CProcess*> m_pending;
    std::deque<CVergleichParser> m_queued;
};
