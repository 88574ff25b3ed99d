#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <deque>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "sim/RecordLine.h"
#include "sim/StationOptions.h"
#include "sim/WeatherModel.h"

namespace orbsim {

struct LoggerRecord {
    std::time_t time = 0;
    std::vector<Reading> readings;
};

// A station on a pseudo-terminal or a TCP port on 127.0.0.1: sends a record line
// every cycle (0x1F on the first line of each storage interval), answers
// commands with their echo, keeps a data logger and replays it on "?D".
//
// Serving runs on its own thread; every public method is safe from any thread,
// except that Start and Stop belong to the one thread that owns the station.
// On a pty the station keeps the slave open, so the program may close and reopen
// it at will; bytes sent while nobody reads wait in the pty until the program
// flushes them when it opens the port. On TCP one client is served at a time and
// gets "\r\n" at once, because the program's open waits up to 2 s for a first
// byte. Live lines that fall due during a "?D" replay are held back and sent
// when the replay ends (or on "!C"), so the first line after the replay is live.
class Station {
public:
    explicit Station(StationOptions options = {});
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // Opens the pty or the listening socket, prefills the logger and starts
    // serving. False with a reason when the link cannot be opened.
    bool Start(std::string* error = nullptr);
    // Ends serving within a few milliseconds, closes everything, removes the link.
    void Stop();

    // The pty slave path (a new one after each Disconnect); empty on TCP.
    std::string DevicePath() const;
    // The bound port; 0 on a pty.
    int TcpPort() const;
    // TCP: a client is connected. Pty: the pty is open.
    bool Connected() const;
    // The rate the program set on the pty (tcgetattr of the master); 0 on TCP.
    int LineBaudRate() const;

    // Every non-empty command line received, without CR LF, oldest first.
    std::vector<std::string> ReceivedCommands() const;
    void ClearReceivedCommands();
    // True once a command starting with `prefix` has arrived (also before the call).
    bool WaitForCommand(std::string_view prefix, std::chrono::milliseconds timeout) const;
    // Record lines handed to the link (live and replayed).
    std::size_t RecordLinesSent() const;

    std::time_t StationTime() const;
    void SetStationTime(std::time_t time);  // as "!U"
    int StorageInterval() const;
    int ResetHour() const;
    int Altitude() const;
    std::vector<LoggerRecord> LoggerRecords() const;

    // With a modem on the line: its carrier-detect line, the commands it took
    // (AT commands and the station modem's "*" lines), the connection limit last
    // set (-1 before one), and the station hanging up the call.
    bool ModemCarrier() const;
    std::vector<std::string> ModemCommands() const;
    int ModemConnectionLimit() const;
    void DropCall();

    Faults GetFaults() const;
    void SetFaults(Faults faults);
    void SetSilent(bool silent);
    void AddCommandFault(CommandFault fault);
    // TCP: closes the client's connection; with `downtime` also refuses new ones
    // for that long. Pty: hangs up (closes master and slave) and opens a fresh pty
    // after `downtime`, moving the link to it.
    void Disconnect(std::chrono::milliseconds downtime = std::chrono::milliseconds{0});

private:
    void Serve(std::stop_token stop);
    void RunDueWork();
    int NextWakeMs() const;
    void HandleReadable(int fd);
    void HandleCommand(const std::string& command);
    void CarryOut(const std::string& command);
    bool MatchFault(const std::string& command, CommandFaultKind& kind);

    void Cycle(double tick);
    void SendLine(std::string bytes, bool record);
    void SendFromModem(std::string bytes);
    void Flush();
    void AddGarbage(std::string& bytes);
    void StartReplay(std::time_t after);
    void EndReplay();
    void StoreInLogger(LoggerRecord record);
    void PrefillLogger(std::time_t now);
    std::vector<Reading> ReadingsAt(std::time_t time) const;
    std::int64_t BoundaryKey(std::time_t time) const;
    void SetClock(std::time_t time);
    void SetInterval(int seconds);

    bool OpenPty(std::string& error);
    bool OpenListener(std::string& error);
    void CloseLink();
    void CloseClient();
    void HangUp();
    void Log(const std::string& text) const;
    void Wake() const;  // with m_mutex held
    double StationNowExact() const;

    const StationOptions m_options;
    const WeatherModel m_model;
    Modem m_modem;  // guarded by m_mutex; used only when m_options.modem.enabled

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_commandArrived;

    // Guarded by m_mutex; the serving thread holds it except while it polls.
    long long m_offset;
    int m_interval;
    int m_resetHour;
    int m_altitude;
    Faults m_faults;
    std::optional<std::time_t> m_manualRainReset;
    std::deque<LoggerRecord> m_logger;
    std::vector<std::string> m_received;
    std::size_t m_recordLinesSent = 0;
    std::string m_devicePath;
    int m_port = 0;
    bool m_connected = false;
    bool m_running = false;
    bool m_disconnectRequested = false;
    std::chrono::milliseconds m_requestedDowntime{0};

    std::int64_t m_lastKey = 0;
    double m_nextTick = 0.0;  // station time
    std::deque<LoggerRecord> m_replay;
    std::deque<std::string> m_heldLines;
    bool m_replaying = false;
    std::chrono::steady_clock::time_point m_nextReplay;
    std::uint64_t m_random;

    int m_master = -1;  // pty
    int m_slave = -1;
    int m_listener = -1;  // tcp
    int m_client = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::string m_input;
    std::string m_output;
    std::chrono::steady_clock::time_point m_outputBlockedSince;
    std::chrono::steady_clock::time_point m_started;
    bool m_silentAfterDone = false;
    bool m_disconnectAfterDone = false;
    bool m_down = false;
    std::chrono::steady_clock::time_point m_downUntil;

    std::jthread m_thread;
};

}  // namespace orbsim
