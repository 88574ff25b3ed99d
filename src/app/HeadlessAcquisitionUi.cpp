#include "app/HeadlessAcquisitionUi.h"

#include <optional>
#include <string>

#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "app/ConnectionOptions.h"
#include "app/HeadlessUi.h"
#include "app/InitSession.h"
#include "comm/BaudRateSearch.h"
#include "comm/ProcessValues.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/Clock.h"
#include "platform/ProgramPaths.h"

namespace {
// The initialisation window's texts as progress lines. Each step is written;
// a logger read-out shows the time of every record it reads, and those are
// thinned out to one every few seconds, the last one written at the end.
class ProgressLines final : public InitView {
public:
    ProgressLines(HeadlessUi& ui, Clock& clock) : m_ui(ui), m_clock(clock) {}

    bool Ended() const { return m_ended; }

    void SetCaption(const std::string& caption) override { m_ui.Note(caption); }
    void SetStatus(const std::string& status) override {
        const std::uint64_t now = m_clock.TickMs();
        if (!IsRecordTime(status)) {
            WriteWaiting();
            m_ui.Note(status);
            return;
        }
        if (m_timeWritten && now - m_timeWrittenAt < HeadlessAcquisitionUi::kStatusEveryMs) {
            m_waiting = status;
            return;
        }
        m_ui.Note(status);
        m_timeWritten = true;
        m_timeWrittenAt = now;
        m_waiting.clear();
    }
    void SetProgressRange(int) override {}
    void SetProgress(int) override {}
    void EnableCancel(bool) override {}
    void Finished() override {
        WriteWaiting();
        m_ui.Note("Initialisation ended");
        m_ended = true;
    }

private:
    // The read-out's statuses are record times ("12:00:00  10.03.24"), the steps' are words.
    static bool IsRecordTime(const std::string& status) {
        return !status.empty() && status.front() >= '0' && status.front() <= '9';
    }
    void WriteWaiting() {
        if (m_waiting.empty()) return;
        m_ui.Note(m_waiting);
        m_waiting.clear();
    }

    HeadlessUi& m_ui;
    Clock& m_clock;
    bool m_timeWritten = false;
    std::uint64_t m_timeWrittenAt = 0;
    std::string m_waiting;
    bool m_ended = false;
};
}  // namespace

HeadlessAcquisitionUi::HeadlessAcquisitionUi(AppContext& context, HeadlessUi& ui,
                                             RunEvents runEvents,
                                             std::function<void(int code)> exitProgram)
    : m_context(context),
      m_ui(ui),
      m_runEvents(std::move(runEvents)),
      m_exitProgram(std::move(exitProgram)) {}

void HeadlessAcquisitionUi::RunInitialisation(CWetterDoc& document) {
    ProgressLines progress(m_ui, m_context.clock);
    // No clock dialog: with "-NO" nobody chooses, so neither clock is set and
    // the initialisation goes on.
    InitSession session(document, progress, nullptr);
    session.Start();
    m_runEvents([&progress] { return progress.Ended(); });
}

bool HeadlessAcquisitionUi::SearchBaudRate(CDataBase& transport, SerialLineSettings& line) {
    BaudRateSearch search(transport, line, m_context.process.BaudSearchAbortEvent,
                          m_context.events);
    std::optional<bool> found;
    m_ui.Note(BaudRateSearch::kSearchingText);
    search.Start([&found](bool answered) { found = answered; });
    m_runEvents([&found] { return found.has_value(); });
    if (!found) {
        // Asked to stop meanwhile.
        search.Cancel(m_context.clock);
        return false;
    }
    // Every rate tried is the station's, so the found one is what the connect opens with.
    line = search.Line();
    const std::string stationFile = m_context.paths.Named("station.ini");
    if (*found &&
        !ConnectionOptions::StoreFoundBaudRate(m_context.profile, stationFile, line.baudRate))
        OutputWrite("SearchBaudRate: " + stationFile + " could not be written", kColourError);
    if (*found) m_ui.Note("Baudrate " + std::to_string(line.baudRate));
    return *found;
}
