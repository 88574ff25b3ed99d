#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ProcessList.h"
#include "calc/CVergleichParser.h"

class Launcher;
class StationView;
class Ui;

// The rules and texts of the dialog "Process" (CProcessNewDlg): the checks of
// "Check process", "Check syntax " and "Accept" with their messages, status
// texts and where the caret goes. The dialog shows `texts` and the statuses
// and forwards its buttons here.
class ProcessNewForm {
public:
    static constexpr std::string_view kTitle = "Process";
    static constexpr std::string_view kProgramLabel = "Launch programm / file:";
    static constexpr std::string_view kChooseFileButton = "...";
    static constexpr std::string_view kParameterLabel = "Parameter(s):";
    static constexpr std::string_view kExecLabel = "Launch condition(s) (i.e. TE < 5;WG > 5):";
    static constexpr std::string_view kReleaseLabel =
        "Release condition(s) (i.e. TE > 10; WG = 0):";
    static constexpr std::string_view kCheckProcessButton = "Check process";
    static constexpr std::string_view kCheckSyntaxButton = "Check syntax ";
    static constexpr std::string_view kAcceptButton = "Accept";
    static constexpr std::string_view kCancelButton = "Cancel";

    static constexpr std::string_view kNotExecuted = "Program / file couldn't be executed!";
    static constexpr std::string_view kNoExecCondition =
        "No execution conditions have been entered!";
    static constexpr std::string_view kNoReleaseQuestion =
        "No release conditions has been entered!\n Program / file will be executed each time the "
        "rerlease conditions are true.\n Do you really want to do that?";
    static constexpr std::string_view kNoProgram =
        "No executable program / file has been selected.";
    static constexpr std::string_view kControlConditions = "Control your conditions!";
    static constexpr std::string_view kErrorFrom = "Error from character";
    static constexpr std::string_view kCorrect = "Comparison conditions are correct..";

    enum class Field { kProgram, kParameter, kExecCondition, kReleaseCondition };
    // Where the dialog puts the focus and the caret after a failed check.
    struct Focus {
        Field field;
        std::size_t caret;
        bool operator==(const Focus&) const = default;
    };

    // A new process (`initial` empty) or one to edit. The conditions are
    // checked against every sensor of `station` (measured and virtual) at 0,
    // so whether they hold now does not matter. `caption` titles the messages.
    ProcessNewForm(const StationView& station, Ui& ui, std::string caption,
                   const ProcessTexts& initial = {});

    // What the condition fields keep of typed text: upper case (Windows-1252).
    static std::string ConditionInput(std::string_view typed);

    // "Check process": starts the program as process control would.
    void CheckProcess(Launcher* launcher);
    // "Check syntax ": false when a condition does not read to its end.
    bool CheckSyntax();
    // "Accept": true when the dialog closes with OK and `texts` is the process.
    bool Accept();

    ProcessTexts texts;
    const std::string& ExecStatus() const { return m_execStatus; }
    const std::string& ReleaseStatus() const { return m_releaseStatus; }
    bool Acceptable() const { return m_acceptable; }
    // Set by a failed check until the next check.
    const std::optional<Focus>& FocusRequest() const { return m_focus; }

private:
    bool SyntaxCheck(bool forAccept);
    // The first character not read, or nothing when `condition` reads to its end.
    std::optional<std::size_t> ErrorPosition(std::string_view condition) const;

    Ui& m_ui;
    std::string m_caption;
    CVergleichParser m_parser;
    std::string m_execStatus;
    std::string m_releaseStatus;
    bool m_acceptable = false;
    std::optional<Focus> m_focus;
};
