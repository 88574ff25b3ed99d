#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbsim {

// What the dial ends in.
enum class DialOutcome { kConnect, kNoAnswer, kNoCarrier, kError, kBusy };
// What the SIM asks for before the modem dials.
enum class SimLock { kNone, kPin, kPuk, kPin2 };

struct ModemOptions {
    bool enabled = false;  // the station sits behind a modem on the line
    DialOutcome dial = DialOutcome::kConnect;
    double connectDelaySeconds = 1.0;  // from the dial to its result
    SimLock simLock = SimLock::kNone;
    std::string simCode = "1234";  // unlocks the SIM: AT+CPIN="code" (a PUK with ,"newpin")
    double guardSeconds = 0.5;     // silence after "+++" before the modem takes commands
    bool mute = false;             // never answers anything
    bool refuseHangUp = false;     // "ath" and unknown commands get ERROR while the call is up
    bool ignoreEscape = false;     // "+++" passes as data; only "*CONNECT OFF" ends the call
    // Told of every change of the carrier-detect line (a pty has no modem lines).
    std::function<void(bool carrier)> carrierChanged;
};

// A Hayes modem with the station's modem at the other end of the call. In
// command mode it answers AT commands (without echo); after CONNECT the bytes
// pass to the station, except the station modem's own lines ("*CONNECT LIMIT
// n", "*CONNECT OFF", which ends the call, and other lines starting with '*',
// which it answers OK) and an escape "+++" followed by the guard time.
// Not thread-safe: the station calls it under its own lock.
class Modem {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit Modem(ModemOptions options);

    struct Passed {
        std::string toStation;  // whole lines for the station, with their line ends
        std::string toProgram;  // the modem's replies
    };
    // Bytes the program wrote.
    Passed Receive(std::string_view bytes, TimePoint now);
    // What falls due by `now` (a dial result, the end of an escape): replies.
    std::string Tick(TimePoint now);
    // When Tick has something to do next.
    std::optional<TimePoint> NextDue() const;
    // The station at the other end hangs up.
    std::string DropCall();
    // As after power-up (a new line): no call, command mode, the SIM locked again.
    void Reset();

    // The call is up and the modem passes data (the station's lines reach the program).
    bool DataMode() const { return m_dataMode; }
    bool Carrier() const { return m_carrier; }
    // AT commands and the station modem's lines, as received, without line ends.
    const std::vector<std::string>& Commands() const { return m_commands; }
    // The last "*CONNECT LIMIT"; -1 before one.
    int ConnectionLimit() const { return m_limit; }

private:
    std::string Command(const std::string& line, TimePoint now);
    std::string StationModemLine(const std::string& line);
    std::string LockText() const;
    void SetCarrier(bool carrier);
    void Data(char byte, TimePoint now, Passed& passed);

    const ModemOptions m_options;
    SimLock m_lock;
    bool m_dataMode = false;
    bool m_carrier = false;
    std::string m_commandLine;
    std::string m_dataLine;
    int m_plusses = 0;
    TimePoint m_lastPlus{};
    std::optional<TimePoint> m_escapeDue;
    std::optional<TimePoint> m_dialDue;
    std::vector<std::string> m_commands;
    int m_limit = -1;
};

}  // namespace orbsim
