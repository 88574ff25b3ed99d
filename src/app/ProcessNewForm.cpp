#include "app/ProcessNewForm.h"

#include <algorithm>

#include "app/ProcessStart.h"
#include "app/StationView.h"
#include "platform/Ui.h"
#include "storage/CAktuell.h"
#include "storage/SensorSet.h"

namespace {
std::string WithoutSpaces(std::string text) {
    std::erase(text, ' ');
    return text;
}
}  // namespace

ProcessNewForm::ProcessNewForm(const StationView& station, Ui& ui, std::string caption,
                               const ProcessTexts& initial)
    : texts(initial), m_ui(ui), m_caption(std::move(caption)) {
    for (const auto& current : station.Sensors().CurrentValues())
        m_parser.AddVariable(current->m_identifier);
}

std::string ProcessNewForm::ConditionInput(std::string_view typed) {
    std::string upper(typed);
    for (char& c : upper) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7))
            c = static_cast<char>(byte - 0x20);
        else if (byte == 0x9A || byte == 0x9C || byte == 0x9E)  // š œ ž
            c = static_cast<char>(byte - 0x10);
        else if (byte == 0xFF)  // ÿ
            c = static_cast<char>(0x9F);
    }
    return upper;
}

void ProcessNewForm::CheckProcess(Launcher* launcher) {
    if (texts.program.empty()) return;
    if (!StartProcess(launcher, texts.program, texts.parameter))
        m_ui.MessageBox(kNotExecuted, m_caption, MsgButtons::Ok, MsgIcon::Error);
}

bool ProcessNewForm::CheckSyntax() { return SyntaxCheck(false); }

bool ProcessNewForm::Accept() {
    if (texts.program.empty()) {
        m_ui.MessageBox(kNoProgram, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    if (!SyntaxCheck(true)) {
        m_ui.MessageBox(kControlConditions, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    return m_acceptable;
}

std::optional<std::size_t> ProcessNewForm::ErrorPosition(std::string_view condition) const {
    bool holds = false;
    const std::size_t read = m_parser.ParseConditions(condition, holds);
    if (read == condition.size()) return std::nullopt;
    return read;
}

bool ProcessNewForm::SyntaxCheck(bool forAccept) {
    m_focus.reset();
    texts.execCondition = WithoutSpaces(texts.execCondition);
    texts.releaseCondition = WithoutSpaces(texts.releaseCondition);

    if (texts.execCondition.empty()) {
        m_ui.MessageBox(kNoExecCondition, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        return true;
    }
    if (const auto error = ErrorPosition(texts.execCondition)) {
        m_execStatus = std::string(kErrorFrom) + " " + std::to_string(*error) + " ";
        m_focus = Focus{Field::kExecCondition, *error};
        return false;
    }
    m_execStatus = kCorrect;
    m_acceptable = true;

    if (texts.releaseCondition.empty()) {
        if (forAccept)
            m_acceptable = m_ui.MessageBox(kNoReleaseQuestion, m_caption, MsgButtons::YesNo,
                                           MsgIcon::Question) == MsgAnswer::Yes;
        return true;
    }
    if (const auto error = ErrorPosition(texts.releaseCondition)) {
        m_releaseStatus = std::string(kErrorFrom) + " " + std::to_string(*error) + ".";
        m_focus = Focus{Field::kReleaseCondition, *error};
        return false;
    }
    m_releaseStatus = kCorrect;
    m_acceptable = true;
    return true;
}
