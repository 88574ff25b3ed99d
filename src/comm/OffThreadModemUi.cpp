#include "comm/OffThreadModemUi.h"

#include <future>
#include <string>
#include <type_traits>

#include "platform/EventQueue.h"

OffThreadModemUi::OffThreadModemUi(ModemUi& windows, EventQueue& events, ServeUntil serveUntil)
    : m_windows(windows), m_events(events), m_serveUntil(std::move(serveUntil)) {}

template <class Call>
auto OffThreadModemUi::OnUiThread(Call call) {
    using Result = std::invoke_result_t<Call>;
    if (std::this_thread::get_id() != m_dialogueThread.load()) return call();
    std::promise<Result> done;
    std::future<Result> result = done.get_future();
    m_events.Post([&call, &done] {
        if constexpr (std::is_void_v<Result>) {
            call();
            done.set_value();
        } else {
            done.set_value(call());
        }
    });
    return result.get();
}

bool OffThreadModemUi::RunDialogue(const std::function<bool()>& dialogue) {
    // The dialogue's own calls (a hang-up inside a failed dial) run where they are.
    if (std::this_thread::get_id() == m_dialogueThread.load()) return dialogue();
    // A second connect or disconnect while one waits would share the port with it.
    if (m_running.exchange(true)) return false;
    std::atomic<bool> finished{false};
    bool result = false;
    std::thread worker([&] {
        m_dialogueThread.store(std::this_thread::get_id());
        result = dialogue();
        m_dialogueThread.store(std::thread::id{});
        finished.store(true);
        // Wakes an event loop that sleeps until something arrives.
        m_events.Post([] {});
    });
    m_serveUntil([&finished] { return finished.load(); });
    worker.join();
    m_running.store(false);
    return result;
}

void OffThreadModemUi::ShowBusy(std::string_view text) {
    OnUiThread([&] { m_windows.ShowBusy(text); });
}

void OffThreadModemUi::SetBusyText(std::string_view text) {
    OnUiThread([&] { m_windows.SetBusyText(text); });
}

void OffThreadModemUi::EndBusy() {
    OnUiThread([&] { m_windows.EndBusy(); });
}

void OffThreadModemUi::ShowWarning(std::string_view text) {
    OnUiThread([&] { m_windows.ShowWarning(text); });
}

std::optional<std::string> OffThreadModemUi::AskPin(std::string_view prompt) {
    return OnUiThread([&] { return m_windows.AskPin(prompt); });
}
