#pragma once

#include <functional>
#include <string>

#include "comm/ModemUi.h"

class Ui;

// The modem's windows through the program's Ui, with the dialogue run on the
// calling thread. The PIN/PUK window is whatever `askPin` shows; without one
// a SIM lock cannot be answered.
class InlineModemUi final : public ModemUi {
public:
    using PinPrompt = std::function<std::optional<std::string>(std::string_view prompt)>;

    explicit InlineModemUi(Ui& ui, PinPrompt askPin = {});

    bool RunDialogue(const std::function<bool()>& dialogue) override;
    void ShowBusy(std::string_view text) override;
    void SetBusyText(std::string_view text) override;
    void EndBusy() override;
    void ShowWarning(std::string_view text) override;
    std::optional<std::string> AskPin(std::string_view prompt) override;

private:
    // A window that waits for a person comes first: the busy window, which stays
    // on top, would cover it. It comes back with its text afterwards.
    template <class Ask>
    auto WithBusyAside(Ask ask);

    Ui& m_ui;
    PinPrompt m_askPin;
    bool m_busy = false;
    std::string m_busyText;
    bool m_running = false;
};
