#pragma once

#include <memory>

#include "comm/InlineModemUi.h"
#include "comm/OffThreadModemUi.h"

class EventQueue;
class Ui;

// The modem dialogue in the program: it runs on a thread of its own while the
// Qt event loop goes on (the busy window moves, nothing freezes), with the
// busy window and warnings of the program's Ui and the PIN/PUK window. While
// it runs, the other windows take no input, so no second connect or a closed
// station can cut across it.
class QtModemUi final : public ModemUi {
public:
    // `events` must post to the Qt thread.
    QtModemUi(Ui& ui, EventQueue& events);

    bool RunDialogue(const std::function<bool()>& dialogue) override {
        return m_offThread.RunDialogue(dialogue);
    }
    void ShowBusy(std::string_view text) override { m_offThread.ShowBusy(text); }
    void SetBusyText(std::string_view text) override { m_offThread.SetBusyText(text); }
    void EndBusy() override { m_offThread.EndBusy(); }
    void ShowWarning(std::string_view text) override { m_offThread.ShowWarning(text); }
    std::optional<std::string> AskPin(std::string_view prompt) override {
        return m_offThread.AskPin(prompt);
    }

    // Serves Qt events, user input only to dialogs and the busy window, until `done` holds.
    static void ServeUntil(const std::function<bool()>& done);

private:
    InlineModemUi m_windows;
    OffThreadModemUi m_offThread;
};
