#include "comm/InlineModemUi.h"

#include "platform/Ui.h"

InlineModemUi::InlineModemUi(Ui& ui, PinPrompt askPin) : m_ui(ui), m_askPin(std::move(askPin)) {}

bool InlineModemUi::RunDialogue(const std::function<bool()>& dialogue) {
    if (m_running) return false;
    m_running = true;
    const bool result = dialogue();
    m_running = false;
    return result;
}

void InlineModemUi::ShowBusy(std::string_view text) {
    m_busy = true;
    m_busyText = text;
    m_ui.ShowBusy(text);
}

void InlineModemUi::SetBusyText(std::string_view text) {
    if (!m_busy) return;
    m_busyText = text;
    m_ui.ShowBusy(text);
}

template <class Ask>
auto InlineModemUi::WithBusyAside(Ask ask) {
    const bool busy = m_busy;
    if (busy) m_ui.HideBusy();
    auto answer = ask();
    if (busy && m_busy) m_ui.ShowBusy(m_busyText);
    return answer;
}

void InlineModemUi::EndBusy() {
    if (!m_busy) return;
    m_busy = false;
    m_ui.HideBusy();
}

void InlineModemUi::ShowWarning(std::string_view text) {
    WithBusyAside([&] {
        m_ui.CautionBox(text);
        return true;
    });
}

std::optional<std::string> InlineModemUi::AskPin(std::string_view prompt) {
    if (!m_askPin) return std::nullopt;
    return WithBusyAside([&] { return m_askPin(prompt); });
}
