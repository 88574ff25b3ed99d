#include "sim/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <optional>

namespace orbsim {

namespace {

template <typename Number>
std::optional<Number> ParseNumber(const std::string& text) {
    Number value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc{} || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

using Handler = std::function<bool(const std::string& value, std::string& error)>;

struct Option {
    bool takesValue;
    Handler handler;
};

bool Fail(std::string& error, const std::string& text) {
    error = text;
    return false;
}

template <typename Number>
Option Value(Number& target, Number lowest, const char* what) {
    return {true, [&target, lowest, what](const std::string& value, std::string& error) {
                const auto number = ParseNumber<Number>(value);
                if (!number || !std::isfinite(static_cast<double>(*number)) || *number < lowest) {
                    return Fail(error, std::string(what) + ": bad value '" + value + "'");
                }
                target = *number;
                return true;
            }};
}

Option Flag(std::function<void()> set) {
    return {false, [set](const std::string&, std::string&) {
                set();
                return true;
            }};
}

Option Sensors(std::vector<SensorSpec>& target) {
    return {true, [&target](const std::string& value, std::string& error) {
                const auto sensors = ParseSensorList(value);
                if (!sensors) return Fail(error, "--sensors: bad list '" + value + "'");
                target = *sensors;
                return true;
            }};
}

Option Text(std::string& target) {
    return {true, [&target](const std::string& value, std::string&) {
                target = value;
                return true;
            }};
}

// One of `names`, stored as the matching entry of `values`.
template <typename Choice>
Option OneOf(Choice& target, std::vector<std::pair<std::string, Choice>> choices,
             const char* what) {
    return {true, [&target, choices, what](const std::string& value, std::string& error) {
                for (const auto& [name, choice] : choices) {
                    if (name == value) {
                        target = choice;
                        return true;
                    }
                }
                return Fail(error, std::string(what) + ": bad value '" + value + "'");
            }};
}

Option Fault(Faults& faults, CommandFaultKind kind, bool withPrefix) {
    return {withPrefix, [&faults, kind](const std::string& prefix, std::string&) {
                faults.commands.push_back({kind, prefix, 0});
                return true;
            }};
}

bool Parse(const std::vector<std::string>& arguments, std::size_t first,
           std::map<std::string, Option>& options, std::string& error) {
    for (std::size_t i = first; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const std::size_t equals = name.find('=');
            name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const auto found = options.find(name);
        if (found == options.end()) return Fail(error, "unknown option " + name);
        if (found->second.takesValue && !value) {
            if (i + 1 >= arguments.size()) return Fail(error, name + " needs a value");
            value = arguments[++i];
        } else if (!found->second.takesValue && value) {
            return Fail(error, name + " takes no value");
        }
        if (!found->second.handler(value.value_or(""), error)) return false;
    }
    return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, Invocation& invocation,
                      std::string& error) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            invocation.mode = Mode::kHelp;
            return true;
        }
        if (argument == "--version") {
            invocation.mode = Mode::kVersion;
            return true;
        }
    }

    if (!arguments.empty() && arguments[0] == "seed") {
        invocation.mode = Mode::kSeed;
        SeedOptions& seed = invocation.seed;
        std::string end;
        std::map<std::string, Option> options = {
            {"--folder", Text(seed.folder)},
            {"--days", Value(seed.days, 0, "--days")},
            {"--interval", Value(seed.interval, 1, "--interval")},
            {"--sensors", Sensors(seed.sensors)},
            {"--invalid",
             {true,
              [&seed](const std::string& id, std::string&) {
                  seed.invalidSensors.push_back(id);
                  return true;
              }}},
            {"--end", Text(end)},
            {"--extension", Text(seed.extension)},
            {"--seed", Value<std::uint64_t>(seed.seed, 0, "--seed")},
            {"--reset-hour", Value(seed.resetHour, 0, "--reset-hour")},
        };
        if (!Parse(arguments, 1, options, error)) return false;
        if (seed.folder.empty()) return Fail(error, "seed: --folder is required");
        if (seed.interval > 86400) return Fail(error, "--interval: at most 86400");
        if (seed.resetHour > 23) return Fail(error, "--reset-hour: 0..23");
        if (!end.empty()) {
            seed.end = ParseLocalDateTime(end);
            if (!seed.end) return Fail(error, "--end: expected \"YYYY-MM-DD HH:MM:SS\"");
        }
        return true;
    }

    invocation.mode = Mode::kServe;
    StationOptions& station = invocation.station;
    int tcpPort = -1;
    std::map<std::string, Option> options = {
        {"--tcp", Value(tcpPort, 0, "--tcp")},
        {"--link", Text(station.linkPath)},
        {"--cycle", Value(station.cycleSeconds, 0.01, "--cycle")},
        {"--interval", Value(station.storageInterval, 1, "--interval")},
        {"--offset", Value(station.clockOffset, static_cast<long long>(-4e9), "--offset")},
        {"--baud", Value(station.baudRate, 1, "--baud")},
        {"--logger", Flag([&] { station.logger = true; })},
        {"--no-logger", Flag([&] { station.logger = false; })},
        {"--history", Value(station.historyHours, 0.0, "--history")},
        {"--sensors", Sensors(station.sensors)},
        {"--invalid",
         {true,
          [&station](const std::string& id, std::string&) {
              station.invalidSensors.push_back(id);
              return true;
          }}},
        {"--seed", Value<std::uint64_t>(station.seed, 0, "--seed")},
        {"--replay-pace", Value(station.replayPaceMs, 0, "--replay-pace")},
        {"--reset-hour", Value(station.resetHour, 0, "--reset-hour")},
        {"--altitude", Value(station.altitude, -1000, "--altitude")},
        {"--no-echo", Fault(station.faults, CommandFaultKind::kNoEcho, false)},
        {"--no-echo-for", Fault(station.faults, CommandFaultKind::kNoEcho, true)},
        {"--wrong-echo", Fault(station.faults, CommandFaultKind::kWrongEcho, false)},
        {"--wrong-echo-for", Fault(station.faults, CommandFaultKind::kWrongEcho, true)},
        {"--deny", Fault(station.faults, CommandFaultKind::kDenied, false)},
        {"--deny-for", Fault(station.faults, CommandFaultKind::kDenied, true)},
        {"--silent", Flag([&] { station.faults.silent = true; })},
        {"--silent-after", Value(station.silentAfterSeconds, 0.0, "--silent-after")},
        {"--disconnect-after", Value(station.disconnectAfterSeconds, 0.0, "--disconnect-after")},
        {"--down-for", Value(station.disconnectDownSeconds, 0.0, "--down-for")},
        {"--garbage", Flag([&] { station.faults.garbage = true; })},
        {"--no-trailing-comma", Flag([&] { station.faults.noTrailingComma = true; })},
        {"--verbose", Flag([&] { station.verbose = true; })},
        {"--modem", Flag([&] { station.modem.enabled = true; })},
        {"--modem-dial", OneOf(station.modem.dial,
                               {{"connect", DialOutcome::kConnect},
                                {"no-answer", DialOutcome::kNoAnswer},
                                {"no-carrier", DialOutcome::kNoCarrier},
                                {"error", DialOutcome::kError},
                                {"busy", DialOutcome::kBusy}},
                               "--modem-dial")},
        {"--modem-connect-delay",
         Value(station.modem.connectDelaySeconds, 0.0, "--modem-connect-delay")},
        {"--modem-sim",
         OneOf(station.modem.simLock,
               {{"pin", SimLock::kPin}, {"puk", SimLock::kPuk}, {"pin2", SimLock::kPin2}},
               "--modem-sim")},
        {"--modem-sim-code", Text(station.modem.simCode)},
        {"--modem-guard", Value(station.modem.guardSeconds, 0.0, "--modem-guard")},
        {"--modem-mute", Flag([&] { station.modem.mute = true; })},
        {"--modem-no-hangup", Flag([&] { station.modem.refuseHangUp = true; })},
        {"--modem-no-escape", Flag([&] { station.modem.ignoreEscape = true; })},
    };
    if (!Parse(arguments, 0, options, error)) return false;
    if (tcpPort > 65535) return Fail(error, "--tcp: port 0..65535");
    if (tcpPort >= 0) {
        station.link = LinkKind::kTcp;
        station.tcpPort = tcpPort;
    }
    if (station.resetHour > 23) return Fail(error, "--reset-hour: 0..23");
    const bool modemOption =
        std::any_of(arguments.begin(), arguments.end(),
                    [](const std::string& a) { return a.starts_with("--modem-"); });
    if (modemOption && !station.modem.enabled) return Fail(error, "--modem-* options need --modem");
    if (station.modem.enabled && station.link == LinkKind::kTcp)
        return Fail(error, "--modem: the modem sits on a pty, not on --tcp");
    return true;
}

std::string UsageText() {
    return R"(orbsim - a weather station on a pseudo-terminal or a local TCP port

Usage:
  orbsim [OPTIONS]                 serve until interrupted (Ctrl-C)
  orbsim seed --folder DIR --days N [SEED OPTIONS]
  orbsim --help | --version

The station prints where it serves on standard output: the pty slave path
(again after every reconnect), or the TCP port.

Link:
  --tcp PORT             serve on 127.0.0.1:PORT instead of a pty; 0 picks a free
                         port. One client at a time; it gets "\r\n" on connect.
  --link PATH            pty: keep a symlink PATH to the slave device

Station:
  --cycle SECONDS        measuring cycle, one record line each (default 10; 0.2 is fine)
  --interval SECONDS     storage interval (default 300); records on the first line of
                         each interval carry 0x1F before CR LF
  --offset SECONDS       station clock minus PC clock (default 0); "!U" changes it
  --baud RATE            the only rate at which "?X" is answered on a pty (default 9600)
  --logger               station with data logger (default)
  --no-logger            station without data logger ("?D" replays nothing)
  --history HOURS        prefill the logger with that many hours of records
  --sensors LIST         sensors in line order (default TE,FE,DR,RE,WG,WR,WS,SO);
                         ID:N gives N decimals (default 1)
  --invalid ID           that sensor reports -999999 (repeatable)
  --seed N               seed of the values (default 1)
  --replay-pace MS       time between logger lines of a "?D" replay (default 20)
  --reset-hour H         precipitation reset hour (default 0); "!R%d" changes it
  --altitude M           altitude (default 0); "!O%d" changes it

Faults (a command hit by a fault is not carried out):
  --no-echo              no command is answered
  --no-echo-for PREFIX   commands starting with PREFIX are not answered (repeatable)
  --wrong-echo           every command is answered with <!Q>
  --wrong-echo-for PREFIX
  --deny                 every command is answered with "DENIED: <command>"
  --deny-for PREFIX
  --silent               send nothing at all from the start
  --silent-after SECONDS send nothing after that many seconds
  --disconnect-after SECONDS
                         hang up once: TCP closes the client's connection, a pty
                         closes and opens a fresh pty (new path, link moved)
  --down-for SECONDS     how long that hang-up lasts (default 0)
  --garbage              mix bytes the program must drop (controls, > 0x7F) into lines
  --no-trailing-comma    record lines lack their last comma
  --verbose              print received commands and link events to stderr

Modem (the station behind a dial-up or GSM modem; pty only):
  --modem                the line is a modem's: it answers AT commands without echo
                         ("at", "at&c1", any other AT command with OK, AT+CPIN?,
                         AT+CPIN="code", ATD..., ath, ato); after CONNECT the station's
                         lines pass. "+++" followed by the guard time of silence goes
                         back to commands (OK). Lines starting with '*' are the station
                         modem's: "*CONNECT LIMIT n" is noted, "*CONNECT OFF" ends the
                         call (NO CARRIER), others are answered OK.
  --modem-dial RESULT    what a dial ends in: connect (default), no-answer, no-carrier,
                         error, busy
  --modem-connect-delay SECONDS
                         from the dial to its result (default 1)
  --modem-sim LOCK       the SIM is locked (pin, puk, pin2) until AT+CPIN="code"
                         (a PUK: AT+CPIN="code","newpin"); AT+CPIN? and the dial
                         answer "+CPIN: SIM PIN" (PUK, PIN2) meanwhile
  --modem-sim-code CODE  the code that unlocks it (default 1234)
  --modem-guard SECONDS  escape guard time (default 0.5)
  --modem-mute           fault: the modem never answers
  --modem-no-hangup      fault: the modem takes "+++" but answers ERROR to "ath" (and
                         to anything unknown) while the call is up; the carrier stays
  --modem-no-escape      fault: "+++" passes as data; only "*CONNECT OFF" ends the call
  A pty has no modem lines: the program sees no carrier unless it shares the
  simulated lines (the tests do).

Commands understood: !U<HHMMSSDDMMYY> set clock, !Z<n> interval n*10 s, !ZS<n> n s,
!ZD<n> 2n s, !R<h> reset hour, !R reset rain, !P, !O<m> altitude, !N clear logger,
?D<HHMMSSDDMMYY> replay logger records after that time, !C end the replay, ?X.
Every command is echoed as <command>. Live lines due during a replay follow it.

Seed options (write monthly data files MM_YYYY.orb with CR LF lines):
  --folder DIR           target folder (created)
  --days N               days of records (default 3)
  --interval SECONDS     record interval (default 300)
  --sensors LIST         as above
  --invalid ID           as above
  --end "YYYY-MM-DD HH:MM:SS"
                         last record (local time; default the last whole interval)
  --extension EXT        file extension (default .orb)
  --seed N               seed of the values (default 1)
  --reset-hour H         precipitation reset hour (default 0)
)";
}

}  // namespace orbsim
