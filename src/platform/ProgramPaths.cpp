#include "platform/ProgramPaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace {
std::size_t LastSlash(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// The extension is cut only in the last path component: a "." in a folder name is no extension.
std::string WithoutExtension(const std::string& path) {
    const std::size_t nameStart = LastSlash(path);
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return path;
    return path.substr(0, dot);
}
}  // namespace

ProgramPaths::ProgramPaths(std::string programPath) : m_programPath(std::move(programPath)) {}

std::optional<std::string> ProgramPaths::InvokedPath(std::string_view invokedAs,
                                                     const std::string& workingFolder,
                                                     std::string_view searchPath) {
    if (invokedAs.empty()) return std::nullopt;
    const auto absolute = [&](std::string_view path) {
        std::filesystem::path full(path);
        if (full.is_relative()) full = std::filesystem::path(workingFolder) / full;
        // Lexical only: resolving would follow the very link that names the station.
        return full.lexically_normal().string();
    };
    // A starter may pass any text as argv[0]; only a program that is there counts.
    const auto runnable = [](const std::string& path) {
        struct stat status {};
        return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
               ::access(path.c_str(), X_OK) == 0;
    };
    if (invokedAs.find('/') != std::string_view::npos) {
        std::string path = absolute(invokedAs);
        if (!runnable(path)) return std::nullopt;
        return path;
    }

    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string_view::npos) end = searchPath.size();
        const std::string_view folder = searchPath.substr(start, end - start);
        std::string candidate = folder.empty() ? std::string(".") : std::string(folder);
        candidate += "/";
        candidate += invokedAs;
        if (std::string path = absolute(candidate); runnable(path)) return path;
        start = end + 1;
    }
    return std::nullopt;
}

ProgramPaths ProgramPaths::ForThisProcess(std::string_view invokedAs) {
    std::string exe = "wetter";
    std::optional<std::string> invoked;
    if (!invokedAs.empty()) {
        std::error_code error;
        const std::filesystem::path working = std::filesystem::current_path(error);
        const char* searchPath = std::getenv("PATH");
        if (!error)
            invoked = InvokedPath(invokedAs, working.string(), searchPath ? searchPath : "");
    }
    if (invoked) {
        exe = std::move(*invoked);
    } else {
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n > 0) exe.assign(buffer, static_cast<std::size_t>(n));
    }
    const char* home = std::getenv("WETTER_HOME");
    if (home != nullptr && *home != '\0') {
        std::string folder = home;
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        exe = folder + "/" + exe.substr(LastSlash(exe));
    }
    return ProgramPaths(exe);
}

std::string ProgramPaths::Folder() const {
    const std::size_t nameStart = LastSlash(m_programPath);
    if (nameStart == 0) return ".";
    if (nameStart == 1) return "/";
    return m_programPath.substr(0, nameStart - 1);
}

std::string ProgramPaths::ProgramName() const {
    const std::string stem = WithoutExtension(m_programPath);
    return stem.substr(LastSlash(stem));
}

std::string ProgramPaths::Named(std::string_view suffix) const {
    return WithoutExtension(m_programPath) + std::string(suffix);
}

std::string ProgramPaths::InFolder(std::string_view fileName) const {
    const std::string folder = Folder();
    return folder == "/" ? "/" + std::string(fileName) : folder + "/" + std::string(fileName);
}

std::string ProgramPaths::DefaultDataFolder() const { return InFolder("Daten"); }
