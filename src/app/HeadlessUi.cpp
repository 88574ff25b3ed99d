#include "app/HeadlessUi.h"

#include <cstdint>
#include <ostream>

#include "model/ErrorLog.h"

namespace {
// Windows-1252 0x80..0x9F; 0 where the code page has no character.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// syslog priorities, as the journal reads them at the start of a line.
const char* PriorityOf(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Error:
            return "<3>";
        case MsgIcon::Warning:
            return "<4>";
        case MsgIcon::None:
        case MsgIcon::Question:
            return "<5>";
        case MsgIcon::Information:
            return "<6>";
    }
    return "<5>";
}

// Set while this Ui writes one of its own messages into the log: the log's echo
// of it would be a second line.
thread_local bool t_loggingOwnMessage = false;

const char* NameOf(MsgAnswer answer) {
    switch (answer) {
        case MsgAnswer::Ok:
            return "OK";
        case MsgAnswer::Cancel:
            return "Cancel";
        case MsgAnswer::Yes:
            return "Yes";
        case MsgAnswer::No:
            return "No";
        case MsgAnswer::Retry:
            return "Retry";
        case MsgAnswer::Abort:
            return "Abort";
        case MsgAnswer::Ignore:
            return "Ignore";
    }
    return "";
}
}  // namespace

HeadlessUi::HeadlessUi(std::ostream& out, bool journalPrefixes)
    : m_out(out), m_journalPrefixes(journalPrefixes) {}

MsgAnswer HeadlessUi::AnswerWithoutPerson(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
        case MsgButtons::YesNoCancel:
        case MsgButtons::RetryCancel:
            return MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        case MsgButtons::AbortRetryIgnore:
            return MsgAnswer::Ignore;
    }
    return MsgAnswer::Cancel;
}

std::string HeadlessUi::OneLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    bool blank = false;  // the last character written was a blank
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r' || c == '\n' || c == '\t' || c == ' ') {
            if (!line.empty() && !blank) line += ' ';
            blank = true;
            continue;
        }
        if (byte < 0x20 || byte == 0x7F) continue;
        blank = false;
        if (byte < 0x80)
            line += c;
        else if (byte < 0xA0)
            AppendUtf8(line, kHighControls[byte - 0x80] != 0 ? kHighControls[byte - 0x80] : 0xFFFD);
        else
            AppendUtf8(line, byte);
    }
    if (blank && !line.empty()) line.pop_back();
    return line;
}

void HeadlessUi::WriteLine(MsgIcon icon, std::string_view caption, std::string_view text) {
    std::lock_guard lock(m_writing);
    if (m_journalPrefixes) m_out << PriorityOf(icon);
    const std::string head = OneLine(caption);
    if (!head.empty()) m_out << head << ": ";
    m_out << OneLine(text) << '\n' << std::flush;
}

MsgAnswer HeadlessUi::MessageBox(std::string_view text, std::string_view caption,
                                 MsgButtons buttons, MsgIcon icon) {
    const MsgAnswer answer = AnswerWithoutPerson(buttons);
    if (buttons == MsgButtons::Ok && TakeLastEchoed(text)) return answer;
    // A question is written with the answer it got, so the log tells what happened.
    std::string written(text);
    if (buttons != MsgButtons::Ok) written += std::string("\n(answered: ") + NameOf(answer) + ")";
    WriteLine(icon, caption, written);
    const bool logFailure = caption == ErrorLog::kOpenFailureCaption && icon == MsgIcon::Error;
    if (!logFailure) Log(written);
    return answer;
}

void HeadlessUi::CautionBox(std::string_view text) {
    WriteLine(MsgIcon::Warning, "", text);
    Log(text);
}

void HeadlessUi::Log(std::string_view text) {
    if (m_errorLog == nullptr) return;
    t_loggingOwnMessage = true;
    m_errorLog->WriteErrorLog(text);
    t_loggingOwnMessage = false;
}

void HeadlessUi::EchoLogEntry(std::string_view text) {
    if (t_loggingOwnMessage) return;
    WriteLine(MsgIcon::Warning, "", text);
    std::lock_guard lock(m_writing);
    m_lastEchoed = text;
}

bool HeadlessUi::TakeLastEchoed(std::string_view text) {
    std::lock_guard lock(m_writing);
    if (m_lastEchoed.empty() || m_lastEchoed != text) return false;
    m_lastEchoed.clear();
    return true;
}

void HeadlessUi::ShowBusy(std::string_view text) { Note(text); }

void HeadlessUi::Note(std::string_view text) { WriteLine(MsgIcon::Information, "", text); }
