#include "sim/Modem.h"

#include <algorithm>
#include <cctype>

namespace orbsim {

namespace {

constexpr std::size_t kMaxLine = 1024;
const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::chrono::steady_clock::duration Seconds(double seconds) {
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(std::max(0.0, seconds)));
}

// The first argument of AT+CPIN="a","b" without its quotes.
std::string FirstCode(std::string_view arguments) {
    std::string code;
    for (const char c : arguments) {
        if (c == ',') break;
        if (c != '"') code += c;
    }
    return code;
}

}  // namespace

Modem::Modem(ModemOptions options) : m_options(std::move(options)), m_lock(m_options.simLock) {}

Modem::Passed Modem::Receive(std::string_view bytes, TimePoint now) {
    Passed passed;
    for (const char byte : bytes) {
        if (m_dataMode) {
            Data(byte, now, passed);
            continue;
        }
        if (byte == '\r') {
            const std::string line = std::move(m_commandLine);
            m_commandLine.clear();
            if (!m_options.mute) passed.toProgram += Command(line, now);
        } else if (byte != '\n' && m_commandLine.size() < kMaxLine) {
            m_commandLine += byte;
        }
    }
    return passed;
}

void Modem::Data(char byte, TimePoint now, Passed& passed) {
    if (byte == '+' && !m_options.ignoreEscape) {
        const bool inRow = m_plusses > 0 && now - m_lastPlus <= Seconds(m_options.guardSeconds);
        m_plusses = inRow ? m_plusses + 1 : 1;
        m_lastPlus = now;
        if (m_plusses == 3) {
            m_escapeDue = now + Seconds(m_options.guardSeconds);
        } else {
            m_escapeDue.reset();
        }
    } else {
        m_plusses = 0;
        m_escapeDue.reset();
    }
    if (byte == '\r' || byte == '\n') {
        std::string line = std::move(m_dataLine);
        m_dataLine.clear();
        // An escape the modem let through reaches the station's modem ahead of its line.
        const std::size_t start = std::min(line.find_first_not_of('+'), line.size());
        if (line.compare(start, 1, "*") == 0) {
            line.erase(0, start);
            m_commands.push_back(line);
            passed.toProgram += StationModemLine(line);
        } else {
            passed.toStation += line;
            passed.toStation += byte;
        }
    } else if (m_dataLine.size() < kMaxLine) {
        m_dataLine += byte;
    }
}

std::string Modem::StationModemLine(const std::string& line) {
    const std::string upper = Upper(line);
    if (upper.starts_with("*CONNECT LIMIT")) {
        m_limit = std::atoi(line.c_str() + 14);
        return {};
    }
    if (upper.starts_with("*CONNECT OFF")) return DropCall();
    return kOk;
}

std::string Modem::Command(const std::string& line, TimePoint now) {
    const std::string upper = Upper(line);
    // Bytes before "AT" (the "+++" of an escape the modem did not take) are noise.
    const std::size_t at = upper.find("AT");
    if (at == std::string::npos) return line.empty() ? std::string() : kError;
    m_commands.push_back(line.substr(at));
    const std::string command = upper.substr(at + 2);
    if (command.starts_with("D")) {
        if (m_lock != SimLock::kNone) return "\r\n+CPIN: " + LockText() + "\r\n";
        m_dialDue = now + Seconds(m_options.connectDelaySeconds);
        return {};
    }
    if (command == "H" || command == "H0") {
        if (m_options.refuseHangUp && m_carrier) return kError;
        SetCarrier(false);
        return kOk;
    }
    if (command == "+CPIN?") {
        return "\r\n+CPIN: " + (m_lock == SimLock::kNone ? std::string("READY") : LockText()) +
               "\r\n" + kOk;
    }
    if (command.starts_with("+CPIN=")) {
        if (m_lock == SimLock::kNone) return kOk;
        if (FirstCode(line.substr(at + 8)) != m_options.simCode)
            return "\r\n+CME ERROR: incorrect password\r\n";
        m_lock = SimLock::kNone;
        return kOk;
    }
    if (command == "O" || command == "O0") {
        if (!m_carrier) return "\r\nNO CARRIER\r\n";
        m_dataMode = true;
        return "\r\nCONNECT 9600\r\n";
    }
    if (m_options.refuseHangUp && m_carrier && !command.empty()) return kError;
    return kOk;
}

std::string Modem::LockText() const {
    switch (m_lock) {
        case SimLock::kPuk:
            return "SIM PUK";
        case SimLock::kPin2:
            return "SIM PIN2";
        default:
            return "SIM PIN";
    }
}

std::string Modem::Tick(TimePoint now) {
    std::string replies;
    if (m_dialDue && now >= *m_dialDue) {
        m_dialDue.reset();
        switch (m_options.dial) {
            case DialOutcome::kConnect:
                SetCarrier(true);
                m_dataMode = true;
                m_dataLine.clear();
                replies += "\r\nCONNECT 9600\r\n";
                break;
            case DialOutcome::kNoAnswer:
                replies += "\r\nNO ANSWER\r\n";
                break;
            case DialOutcome::kNoCarrier:
                replies += "\r\nNO CARRIER\r\n";
                break;
            case DialOutcome::kError:
                replies += kError;
                break;
            case DialOutcome::kBusy:
                replies += "\r\nBUSY\r\n";
                break;
        }
    }
    if (m_escapeDue && now >= *m_escapeDue) {
        m_escapeDue.reset();
        m_plusses = 0;
        m_dataMode = false;
        m_dataLine.clear();
        m_commandLine.clear();
        replies += kOk;
    }
    return replies;
}

std::optional<Modem::TimePoint> Modem::NextDue() const {
    if (m_dialDue && m_escapeDue) return std::min(*m_dialDue, *m_escapeDue);
    return m_dialDue ? m_dialDue : m_escapeDue;
}

std::string Modem::DropCall() {
    if (!m_carrier) return {};
    SetCarrier(false);
    m_dataMode = false;
    m_escapeDue.reset();
    m_dataLine.clear();
    return "\r\nNO CARRIER\r\n";
}

void Modem::Reset() {
    SetCarrier(false);
    m_lock = m_options.simLock;
    m_dataMode = false;
    m_commandLine.clear();
    m_dataLine.clear();
    m_plusses = 0;
    m_escapeDue.reset();
    m_dialDue.reset();
}

void Modem::SetCarrier(bool carrier) {
    if (carrier == m_carrier) return;
    m_carrier = carrier;
    if (m_options.carrierChanged) m_options.carrierChanged(carrier);
}

}  // namespace orbsim
