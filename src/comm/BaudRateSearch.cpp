#include "comm/BaudRateSearch.h"

#include "comm/CDataBase.h"
#include "platform/AutoResetEvent.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"

namespace {
constexpr unsigned kCancelPollMs = 10;
}  // namespace

BaudRateSearch::BaudRateSearch(CDataBase& transport, SerialLineSettings line, AutoResetEvent& abort,
                               EventQueue& events)
    : m_transport(transport),
      m_abort(abort),
      m_events(events),
      m_shared(std::make_shared<Shared>()) {
    m_shared->line = std::move(line);
}

BaudRateSearch::~BaudRateSearch() {
    m_shared->cancelled = true;
    if (!m_worker.joinable()) return;
    if (!m_shared->done) m_abort.Set();
    m_worker.join();
    // Nothing may be left set for the next search.
    m_abort.Reset();
}

void BaudRateSearch::Start(std::function<void(bool found)> ended) {
    if (m_worker.joinable()) return;
    // A cancel that came after the last search had ended would stop this one at once.
    m_abort.Reset();
    m_worker = std::jthread([this, shared = m_shared, ended = std::move(ended)] {
        SerialLineSettings line;
        {
            const std::lock_guard lock(shared->mutex);
            line = shared->line;
        }
        const bool found = m_transport.SearchBaudRate(line);
        {
            const std::lock_guard lock(shared->mutex);
            shared->line = line;
        }
        shared->done = true;
        m_events.Post([shared, ended, found] {
            if (!shared->cancelled) ended(found);
        });
    });
}

bool BaudRateSearch::Cancel(Clock& clock) {
    m_shared->cancelled = true;
    if (!m_worker.joinable()) return true;
    m_abort.Set();
    const std::uint64_t start = clock.TickMs();
    while (!m_shared->done && clock.TickMs() - start < kCancelWaitMs) clock.SleepMs(kCancelPollMs);
    return m_shared->done;
}

bool BaudRateSearch::Running() const { return m_worker.joinable() && !m_shared->done; }

SerialLineSettings BaudRateSearch::Line() const {
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->line;
}

std::string BaudRateSearch::SearchingText(unsigned step) {
    return std::string(kSearchingText.substr(0, step % kSearchingText.size() + 1));
}
