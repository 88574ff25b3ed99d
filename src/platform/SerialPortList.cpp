#include "platform/SerialPortList.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// "ttyS10" after "ttyS9": the name's stem, then its number.
bool NaturalLess(const std::string& a, const std::string& b) {
    const auto split = [](const std::string& name) {
        std::size_t digits = name.size();
        while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
        const std::string number = name.substr(digits);
        return std::make_tuple(name.substr(0, digits), number.size(), number);
    };
    return split(a) < split(b);
}

// 8250 ports exist for every configured slot; "type" 0 says no UART answered there.
bool HasUart(const fs::path& entry) {
    std::ifstream typeFile(entry / "type");
    int type = 0;
    return typeFile >> type && type != 0;
}

std::vector<std::string> SortedNames(const std::string& folder, bool (*keep)(const fs::path&)) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (keep(it->path())) names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end(), NaturalLess);
    return names;
}

}  // namespace

std::vector<std::string> SerialPortCandidates(const SerialPortFolders& folders) {
    std::vector<std::string> candidates;
    const auto isSerialDevice = [](const fs::path& entry) {
        std::error_code error;
        // Pseudo-terminals and virtual consoles have no device behind them.
        if (!fs::exists(entry / "device", error)) return false;
        return !entry.filename().string().starts_with("ttyS") || HasUart(entry);
    };
    for (const std::string& name : SortedNames(folders.sysClassTty, isSerialDevice))
        candidates.push_back(folders.dev + "/" + name);
    for (const std::string& name : SortedNames(folders.byId, [](const fs::path&) { return true; }))
        candidates.push_back(folders.byId + "/" + name);
    return candidates;
}

std::vector<std::string> ListSerialPorts(SerialPort& probe, const SerialPortFolders& folders) {
    std::vector<std::string> free;
    for (const std::string& path : SerialPortCandidates(folders)) {
        if (probe.Open(path) != 0) continue;
        probe.Close();
        free.push_back(path);
    }
    return free;
}
