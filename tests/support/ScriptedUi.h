#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Ui.h"

// Records what the program showed and answers with scripted replies (OK, or
// the first button of the box, when the script runs out).
class ScriptedUi final : public Ui {
public:
    struct Shown {
        std::string kind;  // "message", "caution", "busy"
        std::string text;
        std::string caption;
        MsgButtons buttons = MsgButtons::Ok;
    };

    MsgAnswer MessageBox(std::string_view text, std::string_view caption, MsgButtons buttons,
                         MsgIcon) override {
        shown.push_back({"message", std::string(text), std::string(caption), buttons});
        if (!answers.empty()) {
            const MsgAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        switch (buttons) {
            case MsgButtons::YesNo:
            case MsgButtons::YesNoCancel: return MsgAnswer::Yes;
            case MsgButtons::RetryCancel: return MsgAnswer::Retry;
            case MsgButtons::AbortRetryIgnore: return MsgAnswer::Abort;
            default: return MsgAnswer::Ok;
        }
    }
    void CautionBox(std::string_view text) override { shown.push_back({"caution", std::string(text), {}}); }
    void ShowBusy(std::string_view text) override {
        busy = true;
        shown.push_back({"busy", std::string(text), {}});
    }
    void HideBusy() override { busy = false; }
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override { return colour; }
    std::optional<std::string> ChooseFile(std::string_view, std::string_view, bool) override {
        return file;
    }
    std::optional<std::string> ChooseFolder(std::string_view, std::string_view) override {
        return folder;
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& s : shown)
            if (s.kind == "message") texts.push_back(s.text);
        return texts;
    }

    std::vector<Shown> shown;
    std::deque<MsgAnswer> answers;
    std::optional<std::uint32_t> colour;
    std::optional<std::string> file;
    std::optional<std::string> folder;
    bool busy = false;
};
