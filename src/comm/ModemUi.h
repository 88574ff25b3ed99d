#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What the modem dialogue shows a person: the busy window, warnings and the
// PIN/PUK window, and how the dialogue is run so that the program keeps
// answering while it waits for the modem (a dial may take a minute).
class ModemUi {
public:
    virtual ~ModemUi() = default;
    // Runs `dialogue` to its end and returns its result. Called on the
    // user-interface thread; may run `dialogue` on another thread, from which
    // the calls below are then made. False without running it when a dialogue
    // is already running.
    virtual bool RunDialogue(const std::function<bool()>& dialogue) = 0;
    // The busy window: opened with a text, its text changed, closed. A text
    // change while it is closed shows nothing.
    virtual void ShowBusy(std::string_view text) = 0;
    virtual void SetBusyText(std::string_view text) = 0;
    virtual void EndBusy() = 0;
    // A modal box with the text and OK; returns once it is closed.
    virtual void ShowWarning(std::string_view text) = 0;
    // The PIN/PUK window with `prompt`; the entry, or nothing when cancelled.
    virtual std::optional<std::string> AskPin(std::string_view prompt) = 0;
};
