#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "comm/ModemUi.h"

class EventQueue;

// Runs the modem dialogue on a thread of its own while the user-interface
// thread goes on serving its events, so the busy window keeps moving during a
// long dial. The windows' calls the dialogue makes are carried over to the
// user-interface thread and waited for there.
class OffThreadModemUi final : public ModemUi {
public:
    // Keeps the user-interface thread serving events until `done` holds.
    using ServeUntil = std::function<void(const std::function<bool()>& done)>;

    // `windows` shows everything on the user-interface thread, reached through
    // `events`; `serveUntil` is that thread's event loop. All must outlive this.
    OffThreadModemUi(ModemUi& windows, EventQueue& events, ServeUntil serveUntil);

    bool RunDialogue(const std::function<bool()>& dialogue) override;
    void ShowBusy(std::string_view text) override;
    void SetBusyText(std::string_view text) override;
    void EndBusy() override;
    void ShowWarning(std::string_view text) override;
    std::optional<std::string> AskPin(std::string_view prompt) override;

private:
    // Runs `call` on the user-interface thread and returns its result.
    template <class Call>
    auto OnUiThread(Call call);

    ModemUi& m_windows;
    EventQueue& m_events;
    ServeUntil m_serveUntil;
    std::atomic<std::thread::id> m_dialogueThread{};
    std::atomic<bool> m_running{false};
};
