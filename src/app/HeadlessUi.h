#pragma once

#include <iosfwd>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/Ui.h"

class ErrorLog;

// The person at the screen when there is no screen (the service mode): every
// message goes to standard error and into ErrLog.txt, and every question gets
// the answer that keeps the program running without losing data. Only the
// user-interface thread may call it, as any Ui.
//
// The questions the program can ask, and the answer given here:
//
// | buttons            | answer | the questions, and why this answer                         |
// |--------------------|--------|------------------------------------------------------------|
// | OK                 | OK     | every message: it is written down, nothing waits           |
// | OK, Cancel         | Cancel | "Do you really want to quit?": the program keeps running;  |
// |                    |        | "No data exist!": the shown data are kept; the same data   |
// |                    |        | and additional folder: the settings stay as they were      |
// | Yes, No            | No     | "...Are you shure you want to cancel?" (initialisation):   |
// |                    |        | the logger read-out goes on; deleting a sensor or a        |
// |                    |        | process: nothing is deleted; creating a folder: nothing    |
// |                    |        | is created behind the owner's back                         |
// | Yes, No, Cancel    | Cancel | nothing is changed                                         |
// | Retry, Cancel      | Cancel | a retry that nobody can mend would repeat for ever         |
// | Abort, Retry,      | Ignore | "... could not be opened!" (a month file): the month is    |
// | Ignore             |        | skipped and reading goes on                                |
//
// Colour, file and folder choices are cancelled: nothing changes. What other
// parts write into the error log without showing it (EchoLogEntry) goes to
// standard error as well.
class HeadlessUi final : public Ui {
public:
    // Messages go to `out` (standard error). With `journalPrefixes` each line
    // starts with its syslog priority ("<3>" for errors), which the systemd
    // journal takes as the line's level.
    explicit HeadlessUi(std::ostream& out, bool journalPrefixes = false);

    // Where messages are kept as well; none before the log exists.
    void SetErrorLog(ErrorLog* errorLog) { m_errorLog = errorLog; }

    MsgAnswer MessageBox(std::string_view text, std::string_view caption,
                         MsgButtons buttons = MsgButtons::Ok,
                         MsgIcon icon = MsgIcon::None) override;
    void CautionBox(std::string_view text) override;
    void ShowBusy(std::string_view text) override;
    void HideBusy() override {}
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override { return std::nullopt; }
    std::optional<std::string> ChooseFile(std::string_view, std::string_view, bool) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseFileOfType(std::string_view, std::string_view,
                                                std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFileOfType(std::string_view, std::string_view,
                                                    std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseFolder(std::string_view, std::string_view) override {
        return std::nullopt;
    }

    // A progress line (the initialisation's steps): standard error only.
    void Note(std::string_view text);
    // An entry that some part of the program wrote into the error log ("Receive
    // no data!" before a reconnect): on standard error too, unless it is one of
    // this Ui's own messages, which are there already. A message box that then
    // shows the same text is neither written nor logged again. Any thread.
    void EchoLogEntry(std::string_view text);

    // The answer to a question with `buttons` when nobody is there (the table above).
    static MsgAnswer AnswerWithoutPerson(MsgButtons buttons);
    // `text` (Windows-1252) as one line of UTF-8: line breaks and tabs become
    // single blanks, other control characters are left out.
    static std::string OneLine(std::string_view text);

private:
    void Log(std::string_view text);
    // Whether `text` is the entry another part just logged (and forgets it).
    bool TakeLastEchoed(std::string_view text);
    void WriteLine(MsgIcon icon, std::string_view caption, std::string_view text);

    std::mutex m_writing;  // log entries may come from worker threads
    std::ostream& m_out;
    bool m_journalPrefixes;
    ErrorLog* m_errorLog = nullptr;
    std::string m_lastEchoed;  // guarded by m_writing
};
