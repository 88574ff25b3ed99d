#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/Modem.h"
#include "sim/RecordLine.h"

namespace orbsim {

enum class LinkKind { kPty, kTcp };

enum class CommandFaultKind {
    kNoEcho,     // the command gets no answer
    kWrongEcho,  // the station echoes another command
    kDenied,     // "DENIED: <command>"
};

// A fault for the commands that start with `prefix` (empty: every command).
// A command hit by a fault is not carried out.
struct CommandFault {
    CommandFaultKind kind = CommandFaultKind::kNoEcho;
    std::string prefix;
    int times = 0;  // commands it hits before it wears off; 0: no limit
};

// What the station does wrong; all of it can change while it runs.
struct Faults {
    std::vector<CommandFault> commands;  // the first rule that matches applies
    bool silent = false;                 // sends nothing; still measures, stores and listens
    bool garbage = false;                // mixes bytes the program's filter drops into lines
    bool noTrailingComma = false;        // record lines end without their last comma
};

struct StationOptions {
    LinkKind link = LinkKind::kPty;
    std::string linkPath;  // pty: symlink to the slave device, replaced on every new pty
    int tcpPort = 0;       // tcp on 127.0.0.1; 0 picks a free port

    double cycleSeconds = 10.0;  // one record line per cycle
    long long clockOffset = 0;   // station clock minus PC clock, seconds
    int storageInterval = 300;   // seconds
    int baudRate = 9600;         // "?X" is answered only at this line rate (pty)
    bool logger = true;          // false: a station without data logger
    double historyHours = 0.0;   // logger records prefilled before the start
    std::size_t loggerCapacity = 100000;
    std::vector<SensorSpec> sensors = DefaultSensors();
    std::vector<std::string> invalidSensors;  // report -999999
    std::uint64_t seed = 1;
    int replayPaceMs = 20;  // between two logger lines of a "?D" replay
    int resetHour = 0;      // precipitation reset hour
    int altitude = 0;

    Faults faults;
    double silentAfterSeconds = 0.0;      // > 0: becomes silent this long after Start
    double disconnectAfterSeconds = 0.0;  // > 0: one Disconnect this long after Start
    double disconnectDownSeconds = 0.0;   // how long that disconnect keeps the station away

    ModemOptions modem;  // enabled: the line is a modem's; the station answers after a dial

    bool verbose = false;  // received commands and link events to stderr
};

}  // namespace orbsim
