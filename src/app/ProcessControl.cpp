#include "app/ProcessControl.h"

#include <algorithm>

#include "app/AppContext.h"
#include "app/ProcessStart.h"
#include "app/RecordPublisher.h"
#include "calc/CVergleichParser.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/ProgramPaths.h"
#include "platform/Timers.h"

ProcessControl::ProcessControl(AppContext& context, const StationView& station)
    : m_context(context), m_station(station) {}

ProcessControl::~ProcessControl() { m_context.timers.StopAll(this); }

std::string ProcessControl::ProcessFile() const { return m_context.paths.Named("process.ini"); }

void ProcessControl::LoadProcesses() {
    m_list.LoadProcesses(m_context.profile, ProcessFile());
    if (m_list.Count() == ProcessList::kMaxProcesses)
        OutputWrite(ProcessFile() + ": only the first " +
                        std::to_string(ProcessList::kMaxProcesses) + " processes are read",
                    kColourError);
}

bool ProcessControl::AddProcess(const ProcessTexts& texts) {
    m_list.Append(texts);
    return Store();
}

bool ProcessControl::EditProcess(std::size_t index, const ProcessTexts& texts) {
    if (index >= m_list.Count()) return false;
    m_list.Edit(index, texts);
    return Store();
}

bool ProcessControl::DeleteProcess(std::size_t index) {
    if (index >= m_list.Count()) return false;
    std::erase(m_pending, &m_list.At(index));
    m_list.Remove(index);
    return Store();
}

bool ProcessControl::Store() {
    if (m_list.StoreProcesses(m_context.profile, ProcessFile())) return true;
    OutputWrite("ProcessControl: " + ProcessFile() + " could not be written", kColourError);
    return false;
}

bool ProcessControl::Holds(const CVergleichParser& parser, std::string_view condition) {
    bool result = false;
    return parser.ParseConditions(condition, result) == condition.size() && result;
}

void ProcessControl::RunProcessControl(const CVergleichParser& parser) {
    // Behind a wait: judged after the starts before it, which may set Waiting.
    if (!m_pending.empty()) {
        m_queued.push_back(parser);
        return;
    }
    JudgeRecord(parser);
}

bool ProcessControl::JudgeRecord(const CVergleichParser& parser) {
    for (const auto& entry : m_list.Processes()) {
        CProcess& process = *entry;
        if (process.Waiting != 0) {
            if (Holds(parser, process.ReleaseCondition)) process.Waiting = 0;
            continue;
        }
        if (Holds(parser, process.ExecCondition)) m_pending.push_back(&process);
    }
    if (m_pending.empty()) return false;
    // A queued record's page shows the values the station holds by now: the
    // document keeps no older ones.
    if (m_context.publisher != nullptr) m_context.publisher->WriteHtmlPage(m_station);
    m_context.timers.Start(this, kPageWaitTimer, kPageWaitMs, [this] { StartPending(); });
    return true;
}

void ProcessControl::StartPending() {
    m_context.timers.Stop(this, kPageWaitTimer);
    // Still in the list: a delete takes its process out of m_pending.
    const std::vector<CProcess*> due = std::move(m_pending);
    m_pending.clear();
    for (CProcess* entry : due) {
        CProcess& process = *entry;
        const bool confirmed = StartProcess(m_context.launcher, process.Program, process.Parameter);
        if (confirmed && process.NoRelease == 0) process.Waiting = 1;
    }
    while (!m_queued.empty()) {
        const CVergleichParser next = std::move(m_queued.front());
        m_queued.pop_front();
        if (JudgeRecord(next)) return;
    }
}
