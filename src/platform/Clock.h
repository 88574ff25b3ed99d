#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// Local time with one-second resolution, a millisecond tick and the PC clock.
// Every method may be called from any thread.
class Clock {
public:
    virtual ~Clock() = default;
    // The current time (seconds since the epoch; shown as local time).
    virtual std::time_t Now() = 0;
    // A monotonic millisecond count (GetTickCount).
    virtual std::uint64_t TickMs() = 0;
    // Blocks the calling thread for `ms` milliseconds (a manual clock advances instead).
    virtual void SleepMs(unsigned ms) = 0;
    // Sets the PC clock. False with `error` filled when the system refuses
    // (usually for lack of the right to do so).
    virtual bool SetPcClock(std::time_t time, std::string& error) = 0;
};

// Local date-time fields of `time` (localtime_r).
std::tm LocalTime(std::time_t time);
// strftime over the local time of `time`.
std::string FormatLocalTime(std::time_t time, const char* format);
