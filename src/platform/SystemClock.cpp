#include "platform/SystemClock.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

std::tm LocalTime(std::time_t time) {
    std::tm fields{};
    localtime_r(&time, &fields);
    return fields;
}

std::string FormatLocalTime(std::time_t time, const char* format) {
    const std::tm fields = LocalTime(time);
    char buffer[256];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format, &fields);
    return std::string(buffer, n);
}

SystemClock::SystemClock() {
    // Without TZ the C library re-reads the zone on every mktime; naming the
    // default zone once makes every later call reuse it, on every thread.
    if (std::getenv("TZ") == nullptr) {
        setenv("TZ", ":/etc/localtime", 0);
        tzset();
    }
}

std::time_t SystemClock::Now() { return std::time(nullptr); }

std::uint64_t SystemClock::TickMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
           static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

void SystemClock::SleepMs(unsigned ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool SystemClock::SetPcClock(std::time_t time, std::string& error) {
    const timespec ts{time, 0};
    if (clock_settime(CLOCK_REALTIME, &ts) == 0) return true;
    error = std::strerror(errno);
    return false;
}
