#pragma once

// A year of one-minute records with twelve sensors in thirteen monthly files
// (about 44,000 lines each), generated once per benchmark run.

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "storage/RecordLine.h"

namespace bench {

constexpr const char* kIdentifiers[] = {"TE", "FE", "DR", "WG", "WR", "RE",
                                        "TI", "FI", "SO", "UV", "WS", "TB"};
constexpr int kSensors = 12;
constexpr int kReadSensors = 6;
constexpr int kStepSeconds = 60;

inline std::time_t Local(int year, int month, int day) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

inline double ProcessCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A station home with a year of data: January 2023 to January 2024.
class YearOfData {
public:
    YearOfData() {
        m_home = std::filesystem::temp_directory_path() /
                 ("wetter-reader-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_home / "Daten");
        std::ofstream define(m_home / "wetterdefine.ini", std::ios::binary);
        for (const char* id : kIdentifiers) define << "[" << id << "]\r\nFaktor=1\r\n";
        define.close();

        const std::time_t begin = Local(2023, 1, 1);
        const std::time_t end = Local(2024, 2, 1);
        std::ofstream file;
        int openMonth = -1;
        std::string line;
        for (std::time_t t = begin; t < end; t += kStepSeconds) {
            const std::tm local = LocalTime(t);
            if (local.tm_mon != openMonth) {
                file.close();
                char name[32];
                std::snprintf(name, sizeof name, "%02d_%d.orb", local.tm_mon + 1,
                              local.tm_year + 1900);
                const std::string path = (m_home / "Daten" / name).string();
                m_files.push_back(path);
                file.open(path, std::ios::binary);
                openMonth = local.tm_mon;
            }
            line = RecordLine::TimePrefix(t);
            const long minute = static_cast<long>((t - begin) / kStepSeconds);
            for (int s = 0; s < kSensors; ++s) {
                char field[32];
                const int value = static_cast<int>((minute * (s + 7) + s * 1000) % 20000);
                std::snprintf(field, sizeof field, "%s%d.%02d,", kIdentifiers[s], value / 100,
                              value % 100);
                line += field;
            }
            line += "\r\n";
            file << line;
            ++m_lines;
        }
        m_last = end - kStepSeconds;
    }
    ~YearOfData() {
        std::error_code ignored;
        std::filesystem::remove_all(m_home, ignored);
    }

    std::string Home() const { return m_home.string(); }
    std::string DataFolder() const { return (m_home / "Daten").string(); }
    const std::vector<std::string>& Files() const { return m_files; }
    std::time_t LastRecord() const { return m_last; }
    long Lines() const { return m_lines; }

private:
    std::filesystem::path m_home;
    std::vector<std::string> m_files;
    std::time_t m_last = 0;
    long m_lines = 0;
};

inline const YearOfData& Data() {
    static const YearOfData data;
    return data;
}

}  // namespace bench
