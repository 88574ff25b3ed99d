#include "platform/ProgramPaths.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
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

ProgramPaths ProgramPaths::ForThisProcess() {
    std::string exe = "wetter";
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) exe.assign(buffer, static_cast<std::size_t>(n));
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
