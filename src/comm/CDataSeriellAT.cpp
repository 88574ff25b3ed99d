#include "comm/CDataSeriellAT.h"

#include <algorithm>
#include <array>
#include <utility>

#include "comm/InlineModemUi.h"
#include "comm/ReceiveFilter.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/AutoResetEvent.h"
#include "platform/Clock.h"

namespace {

constexpr int kCommandReplySeconds = 20;
constexpr int kDialReplySeconds = 60;
constexpr int kEscapeReplySeconds = 3;
constexpr int kConnectOffReplySeconds = 30;
constexpr int kLastHangUpReplySeconds = 30;
constexpr unsigned kLinePauseMs = 10;
constexpr unsigned kEscapePauseMs = 50;
constexpr unsigned kConnectSettleMs = 5000;
// A reply is found when its last byte arrives, so only the newest bytes can
// hold a new one; keeping them all would make a flooding modem quadratic.
constexpr std::size_t kKeptReplyBytes = 32;
// "SIM PIN" may be the start of "SIM PIN2": how long its next byte is awaited.
constexpr unsigned kPin2LookAheadMs = 200;

struct ReplyText {
    std::string_view text;
    int reply;
};
// The modem's order: "SIM PIN2" before "SIM PIN", "CONNECT" before "OK".
constexpr std::array<ReplyText, 9> kReplies = {{
    {"SIM PUK", CDataSeriellAT::kSimPuk},
    {"SIM PIN2", CDataSeriellAT::kSimPin2},
    {"SIM PIN", CDataSeriellAT::kSimPin},
    {"NO ANSWER", CDataSeriellAT::kNoAnswer},
    {"BUSY", CDataSeriellAT::kBusy},
    {"CONNECT", CDataSeriellAT::kConnect},
    {"OK", CDataSeriellAT::kOk},
    {"ERROR", CDataSeriellAT::kError},
    {"CARRIER", CDataSeriellAT::kNoCarrier},
}};

// What a reply is called in the reasons given for a failed attempt.
std::string ReplyName(int reply) {
    if (reply == CDataSeriellAT::kTimedOut) return "no answer";
    for (const ReplyText& candidate : kReplies)
        if (candidate.reply == reply)
            return candidate.reply == CDataSeriellAT::kNoCarrier ? "NO CARRIER"
                                                                 : std::string(candidate.text);
    return "OK";
}

// The modem's word for a call that ended, as it arrives among the station's data.
constexpr std::string_view kCallDropped = "NO CARRIER";

std::string TryText(std::string_view what, int attempt, int of) {
    return std::string(what) + std::to_string(attempt) + " of " + std::to_string(of);
}

bool IsSimLock(int reply) {
    return reply == CDataSeriellAT::kSimPin || reply == CDataSeriellAT::kSimPuk ||
           reply == CDataSeriellAT::kSimPin2;
}

// Codes go into an AT command between quotes: digits only, so an entry can
// never end the command and add one of its own.
bool IsSimCode(std::string_view code) {
    return !code.empty() && code.size() <= 16 &&
           std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

CDataSeriellAT::CDataSeriellAT(ModemSettings modem, TransportServices& services,
                               std::unique_ptr<SerialPort> port)
    : CDataSeriell(modem.line, services, std::move(port)),
      m_modem(std::move(modem)),
      m_ownUi(services.modemUi == nullptr ? std::make_unique<InlineModemUi>(services.ui) : nullptr),
      m_ui(services.modemUi != nullptr ? *services.modemUi : *m_ownUi),
      m_log(services.modemLogPath, services.clock, services.events, services.ui) {}

// Going away only closes the port: no windows and no dialogue from wherever the
// last owner lets go. The document hangs up before that.
CDataSeriellAT::~CDataSeriellAT() = default;

int CDataSeriellAT::ClassifyReply(std::string_view text) {
    for (const ReplyText& candidate : kReplies)
        if (text.find(candidate.text) != std::string_view::npos) return candidate.reply;
    return 0;
}

int CDataSeriellAT::WaitForReply(int seconds) {
    if (m_modemLost) return kTimedOut;
    Clock& clock = Services().clock;
    const std::uint64_t limit = static_cast<std::uint64_t>(std::max(0, seconds)) * 1000;
    const std::uint64_t start = clock.TickMs();
    std::string text;
    for (;;) {
        const std::uint64_t elapsed = clock.TickMs() - start;
        if (elapsed > limit) return kTimedOut;
        const auto wait =
            static_cast<unsigned>(std::min<std::uint64_t>(kFirstByteWaitMs, limit + 1 - elapsed));
        char byte = 0;
        const ReadResult got = ReadWaiting(&byte, 1, wait);
        if (got == ReadResult::Lost) {
            ReportLostModem();
            return kTimedOut;
        }
        if (got != ReadResult::Received || !PassesReceiveFilter(byte)) continue;
        text += byte;
        if (text.size() > kKeptReplyBytes) text.erase(0, text.size() - kKeptReplyBytes);
        int reply = ClassifyReply(text);
        if (reply == 0) continue;
        if (reply == kSimPin && text.ends_with("SIM PIN") &&
            ReadWaiting(&byte, 1, kPin2LookAheadMs) == ReadResult::Received &&
            PassesReceiveFilter(byte)) {
            text += byte;
            reply = ClassifyReply(text);
        }
        switch (reply) {
            case kSimPuk:
                Output("PUK is needed", kColourError);
                break;
            case kNoAnswer:
                Output("No answer", kColourError);
                break;
            case kBusy:
                Output("BUSY", kColourError);
                break;
            case kConnect:
                Output("CONNECT", kColourSuccess);
                break;
            case kOk:
                Output("OK", kColourSuccess);
                break;
            case kError:
                Output("Error", kColourError);
                break;
            case kNoCarrier:
                Output("NO CARRIER", kColourError);
                break;
            default:
                break;
        }
        return reply;
    }
}

bool CDataSeriellAT::Open() {
    return m_ui.RunDialogue([this] { return Dial(); });
}

bool CDataSeriellAT::Dial() {
    m_modemLost = false;
    // A failed dial closes the port; a connected one keeps it, and opening it again would fail.
    const bool portOpen = Port().IsOpen() || CDataSeriell::Open();
    Output("Establishing serial connection!");
    if (m_connected) return true;
    m_ui.ShowBusy("Connecting to GSM!");
    Output("Establishing GSM connection!");
    if (!portOpen) {
        m_ui.EndBusy();
        return false;
    }
    Port().Lines().Set(ModemLines::Line::Rts, true);
    Pause(kLinePauseMs);
    Output("setting RTS");
    Port().Lines().Set(ModemLines::Line::Dtr, true);
    Pause(kLinePauseMs);
    Output("DTR wird gesetzt");

    for (int attempt = 1; attempt <= kDialAttempts && !m_modemLost; ++attempt) {
        std::string command = "at";
        Write(command + "\r\n");
        int result = WaitForReply(kCommandReplySeconds);
        if (!m_modem.commandBefore.empty()) {
            m_ui.SetBusyText("Sending command for initialisation");
            Output("Sending command for initialisation");
            command = m_modem.commandBefore;
            Write(command + "\r\n");
            result = WaitForReply(kCommandReplySeconds);
            if (result != kOk) {
                Log("Error while initialisation\r\n");
                Output("Error while initialisation");
            }
        }
        if (result == kOk) {
            Write("at&c1\r\n");
            if (const int reply = WaitForReply(kCommandReplySeconds); reply != kOk) {
                ReportFailedAttempt("at&c1", reply);
                continue;
            }
            m_ui.SetBusyText("Establishing GSM connection! \r\nNeeds app. 30 sec.");
            Output("Establishing GSM connection!");
            const std::string dial =
                m_modem.dialCommand + m_modem.phoneNumber + m_modem.dialTerminator;
            Write(dial + "\r\n");
            const int dialed = WaitForReply(kDialReplySeconds);
            if (dialed == kConnect) return ConnectAfterDial();
            const std::string failed =
                TryText("Connection couldn't be established! Try ", attempt, kDialAttempts);
            Output(failed, kColourError);
            m_ui.SetBusyText(failed);
            ReportFailedAttempt(dial, dialed);
            if (dialed == kNoAnswer || dialed == kBusy) {
                Warn("Could not connect to dialed number");
                const std::string text = "Could not connect to (" + m_modem.phoneNumber + ") ";
                Log(text);
                Output(text, kColourError);
            } else if (IsSimLock(dialed)) {
                // Many modems report a locked SIM only when asked to dial.
                UnlockSim(dialed);
            }
            Close();
        } else {
            ReportFailedAttempt(command, result);
            if (IsSimLock(result)) {
                UnlockSim(result);
            } else if (result == kError) {
                Warn("Failed to connect!");
                Output("Failed to connect!", kColourError);
            }
        }
    }
    m_ui.EndBusy();
    // Nobody else could use the modem while the port stayed open, and the next dial opens it anew.
    if (!m_connected) CDataSeriell::Close();
    return m_connected;
}

bool CDataSeriellAT::ConnectAfterDial() {
    Output("Connection is established!", kColourSuccess);
    Log("Connecting to number " + m_modem.phoneNumber);
    m_ui.SetBusyText("Connection established!");
    m_ui.EndBusy();
    if (!m_modem.commandAfter.empty()) {
        m_ui.SetBusyText("Command for shutdown is sent");
        Output("Sending finish command!");
        Write(m_modem.commandAfter + "\r\n");
        if (WaitForReply(kCommandReplySeconds) != kOk) {
            Log("Error shutting down\r\n");
            Output("Error shutting down!", kColourError);
        }
    }
    Output("Setting connection limit");
    m_ui.ShowBusy("waiting 5 seconds...");
    Pause(kConnectSettleMs);
    m_ui.EndBusy();
    Write("*CONNECT LIMIT " + std::to_string(m_modem.timeout) + "\r\n");
    if (m_modemLost) {
        CDataSeriell::Close();
        return false;
    }
    m_connected = true;
    return true;
}

void CDataSeriellAT::ReportFailedAttempt(const std::string& command, int reply) {
    // A vanished modem has said so already.
    if (m_modemLost) return;
    const std::string text =
        "Dialling " + m_modem.phoneNumber + " failed at \"" + command + "\": " + ReplyName(reply);
    Output(text, kColourError);
    Log(text);
}

CDataBase::ReadResult CDataSeriellAT::Read(char* buffer, int count) {
    const ReadResult got = CDataSeriell::Read(buffer, count);
    if (got == ReadResult::Received && m_connected)
        for (int i = 0; i < count; ++i) WatchForDroppedCall(buffer[i]);
    return got;
}

void CDataSeriellAT::WatchForDroppedCall(char byte) {
    if (!PassesReceiveFilter(byte)) return;
    m_dataTail += byte;
    if (m_dataTail.size() > kCallDropped.size()) m_dataTail.erase(0, 1);
    if (m_dataTail != kCallDropped) return;
    m_dataTail.clear();
    // The call is gone: nothing more comes, and there is nothing to hang up. The
    // port stays open (a reader may be inside a read); the next connect dials anew.
    m_connected = false;
    const std::string text = "The call to " + m_modem.phoneNumber + " dropped: NO CARRIER";
    Output(text, kColourError);
    Log(text);
}

void CDataSeriellAT::UnlockSim(int lock) {
    const char* prompt = lock == kSimPuk    ? "Please insert PUK!"
                         : lock == kSimPin2 ? "Please insert PIN2!"
                                            : "Please insert PIN!";
    const std::optional<std::string> code = m_ui.AskPin(prompt);
    if (!code || code->empty()) return;
    std::string command = "AT+CPIN=\"" + *code + "\"";
    bool valid = IsSimCode(*code);
    if (valid && lock == kSimPuk) {
        // A PUK unlocks the SIM only together with the new PIN.
        const std::optional<std::string> pin = m_ui.AskPin("Please insert PIN!");
        if (!pin || pin->empty()) return;
        valid = IsSimCode(*pin);
        command += ",\"" + *pin + "\"";
    }
    if (!valid) {
        Output("A PIN or PUK consists of digits only.", kColourError);
        return;
    }
    // Straight to the port: the traced Write would show the code in the output window.
    Port().Write(command + "\r\n");
    Output("Sending the code to the SIM");
    if (WaitForReply(kCommandReplySeconds) == kOk) {
        Output("The SIM is unlocked.", kColourSuccess);
    } else {
        Output("The SIM did not take the code.", kColourError);
    }
}

int CDataSeriellAT::Close() {
    if (!m_connected) return 1;
    return m_ui.RunDialogue([this] { return HangUp(); }) ? 1 : 0;
}

bool CDataSeriellAT::HangUp() {
    m_modemLost = false;
    // No reader may take the modem's replies away from the hang-up.
    if (Services().acquisitionStop != nullptr) Services().acquisitionStop->Set();
    m_ui.ShowBusy("Disconnecting from GSM!");
    Output("Disconnecting from GSM!");
    const std::string disconnected = "Disonnected from " + m_modem.phoneNumber;

    for (int attempt = 1; attempt <= kEscapeAttempts; ++attempt) {
        const std::string trying =
            TryText("Disconnecting from GSM!!\r\nTry ", attempt, kEscapeAttempts);
        m_ui.SetBusyText(trying);
        Output(trying, kColourAction);
        for (int plus = 0; plus < 3; ++plus) {
            Write("+");
            Pause(kEscapePauseMs);
        }
        Output("+++ sent");
        bool hungUp = false;
        if (WaitForReply(kEscapeReplySeconds) == kOk) {
            for (int command = 0; command < kHangUpCommands && !hungUp && !m_modemLost; ++command) {
                m_ui.SetBusyText("Disconnecting from GSM!\r\nATH");
                Output("Closing GSM connection!\r\nATH");
                Write("ath\r\n");
                hungUp = WaitForReply(kCommandReplySeconds) == kOk;
            }
        }
        if (m_modemLost) break;
        if (hungUp || !Port().Lines().Carrier()) {
            Output(disconnected, kColourSuccess);
            return FinishHangUp(disconnected);
        }
    }
    for (int attempt = 1; attempt <= kConnectOffAttempts && !m_modemLost; ++attempt) {
        const std::string trying =
            TryText("Disconnecting from GSM!!\r\nCONNECT OFF Try ", attempt, kConnectOffAttempts);
        m_ui.SetBusyText(trying);
        Output(trying);
        Write("*CONNECT OFF\r\n");
        Output("*CONNECT OFF", kColourAction);
        if (WaitForReply(kConnectOffReplySeconds) == kNoCarrier) {
            Output(disconnected, kColourSuccess);
            return FinishHangUp(disconnected);
        }
    }
    if (!m_modemLost) {
        Write("ath\r\n");
        m_ui.SetBusyText("Checking disconnect (\"ATH\")");
        if (WaitForReply(kLastHangUpReplySeconds) == kOk)
            return FinishHangUp("Disconnected from " + m_modem.phoneNumber);
    }
    if (m_modemLost) {
        // The call cannot outlast its modem's line; the next connect dials anew.
        m_ui.EndBusy();
        m_connected = false;
        return false;
    }
    CDataSeriell::Close();
    m_ui.SetBusyText("Could not disconnect!!");
    m_ui.EndBusy();
    Warn("Disconnecting failed (\"Please disconnect mobile manually\")");
    Warn("Connection to mobile couldn't be closed(\"Please disconnect manually\")");
    Log("Could not disconnect from " + m_modem.phoneNumber);
    return false;
}

bool CDataSeriellAT::FinishHangUp(const std::string& logText) {
    Log(logText);
    CDataSeriell::Close();
    m_ui.SetBusyText("Disconnection was successful!!");
    m_ui.EndBusy();
    m_connected = false;
    return true;
}

void CDataSeriellAT::ReportLostModem() {
    if (m_modemLost) return;
    m_modemLost = true;
    const std::string text = "The modem on " + m_modem.line.port + " is gone!";
    Output(text, kColourError);
    Log(text);
    CDataSeriell::Close();
}

void CDataSeriellAT::Output(std::string_view text, std::uint32_t colour) {
    OutputWrite(text, colour);
}

void CDataSeriellAT::Warn(std::string_view text) {
    OutputWrite(text, kColourCaution);
    m_ui.ShowWarning(text);
}

void CDataSeriellAT::Pause(unsigned ms) { Services().clock.SleepMs(ms); }
