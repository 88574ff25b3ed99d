#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ManualEventQueue.h"
#include "ScriptedUi.h"
#include "comm/InlineModemUi.h"
#include "comm/OffThreadModemUi.h"

namespace {

// Windows that note the thread each call came on.
struct ThreadNotingWindows final : ModemUi {
    bool RunDialogue(const std::function<bool()>& dialogue) override { return dialogue(); }
    void ShowBusy(std::string_view text) override { Note("busy " + std::string(text)); }
    void SetBusyText(std::string_view text) override { Note("text " + std::string(text)); }
    void EndBusy() override { Note("end"); }
    void ShowWarning(std::string_view text) override { Note("warning " + std::string(text)); }
    std::optional<std::string> AskPin(std::string_view prompt) override {
        Note("pin " + std::string(prompt));
        return "1234";
    }
    void Note(std::string call) {
        calls.push_back(std::move(call));
        threads.push_back(std::this_thread::get_id());
    }
    std::vector<std::string> calls;
    std::vector<std::thread::id> threads;
};

TEST(OffThreadModemUi, DialogueRunsOffTheUiThreadWhichShowsItsWindows) {
    ThreadNotingWindows windows;
    ManualEventQueue events;
    int served = 0;
    OffThreadModemUi ui(windows, events, [&](const std::function<bool()>& done) {
        while (!done()) served += static_cast<int>(events.RunPending());
    });
    std::thread::id dialogueThread;
    const bool result = ui.RunDialogue([&] {
        dialogueThread = std::this_thread::get_id();
        ui.ShowBusy("Connecting to GSM!");
        ui.ShowWarning("Failed to connect!");
        const bool unlocked = ui.AskPin("Please insert PIN!") == std::optional<std::string>("1234");
        ui.EndBusy();
        // A hang-up the dialogue starts itself runs at once, where it is.
        return unlocked && ui.RunDialogue([] { return true; });
    });
    EXPECT_TRUE(result);
    EXPECT_NE(dialogueThread, std::this_thread::get_id());
    EXPECT_EQ(windows.calls,
              (std::vector<std::string>{"busy Connecting to GSM!", "warning Failed to connect!",
                                        "pin Please insert PIN!", "end"}));
    for (const auto id : windows.threads) EXPECT_EQ(id, std::this_thread::get_id());
    EXPECT_GE(served, 4);
}

TEST(OffThreadModemUi, SecondDialogueWhileOneRunsIsRefused) {
    ThreadNotingWindows windows;
    ManualEventQueue events;
    OffThreadModemUi* self = nullptr;
    bool nested = true;
    OffThreadModemUi ui(windows, events, [&](const std::function<bool()>& done) {
        // Another connect arrives through the served events while the first one waits.
        nested = self->RunDialogue([] { return true; });
        while (!done()) events.RunPending();
    });
    self = &ui;
    EXPECT_TRUE(ui.RunDialogue([] { return true; }));
    EXPECT_FALSE(nested);
}

TEST(InlineModemUi, BusyWindowStepsAsideForTheWindowsThatWaitForAPerson) {
    ScriptedUi ui;
    bool busyWhileAsked = true;
    InlineModemUi windows(ui, [&](std::string_view) {
        busyWhileAsked = ui.busy;
        return std::optional<std::string>("1234");
    });
    windows.ShowBusy("Connecting to GSM!");
    windows.SetBusyText("Establishing GSM connection!");
    EXPECT_EQ(windows.AskPin("Please insert PIN!"), std::optional<std::string>("1234"));
    EXPECT_FALSE(busyWhileAsked);
    EXPECT_TRUE(ui.busy);
    EXPECT_EQ(ui.shown.back().text, "Establishing GSM connection!") << "back with its text";

    windows.ShowWarning("Could not connect to dialed number");
    ASSERT_GE(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[ui.shown.size() - 2].kind, "caution");
    EXPECT_EQ(ui.shown.back().kind, "busy");

    windows.EndBusy();
    windows.ShowWarning("Failed to connect!");
    EXPECT_FALSE(ui.busy) << "an ended busy window stays closed";
}

}  // namespace
