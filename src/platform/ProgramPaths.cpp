#include "platform/ProgramPaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

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

std::string WithoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

// Folders that dpkg owns. Even root, who could write there, must not leave
// settings files among the installed programs.
bool IsPackageManagersFolder(const std::string& folder) {
    for (const char* programs : {"/bin", "/sbin", "/usr/bin", "/usr/sbin", "/usr/games"})
        if (folder == programs) return true;
    for (const char* below : {"/usr/lib/", "/usr/libexec/"})
        if (folder.starts_with(below)) return true;
    return false;
}

std::string PerUserFolder(const FolderEnvironment& environment) {
    // A relative XDG_DATA_HOME is ignored, as desktops do.
    const std::optional<std::string> dataHome = environment.Variable("XDG_DATA_HOME");
    if (dataHome && dataHome->starts_with('/'))
        return WithoutTrailingSlashes(*dataHome) + "/wetter";
    std::optional<std::string> home = environment.Variable("HOME");
    if (!home || home->empty()) home = environment.AccountHome();
    return WithoutTrailingSlashes(*home) + "/.local/share/wetter";
}

class SystemFolderEnvironment final : public FolderEnvironment {
public:
    std::optional<std::string> Variable(const std::string& name) const override {
        const char* value = std::getenv(name.c_str());
        if (value == nullptr) return std::nullopt;
        return std::string(value);
    }
    std::string AccountHome() const override {
        long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
            found != nullptr && found->pw_dir != nullptr)
            return found->pw_dir;
        return "/tmp";
    }
    bool Writable(const std::string& folder) const override {
        return ::access(folder.c_str(), W_OK) == 0;
    }
    bool CreateFolders(const std::string& folder) const override {
        std::error_code error;
        // Private: it will hold upload passwords.
        if (std::filesystem::create_directories(folder, error))
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
        return std::filesystem::is_directory(folder, error);
    }
};
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
    return ForExecutable(exe, System());
}

ProgramPaths ProgramPaths::ForExecutable(const std::string& executable,
                                         const FolderEnvironment& environment) {
    const std::string fileName = executable.substr(LastSlash(executable));
    if (const std::optional<std::string> home = environment.Variable("WETTER_HOME");
        home && !home->empty())
        return ProgramPaths(WithoutTrailingSlashes(*home) + "/" + fileName);

    const ProgramPaths beside(executable);
    const std::string folder = beside.Folder();
    if (environment.Writable(folder) && !IsPackageManagersFolder(folder)) return beside;

    // A failure to create it shows at the first file written there, with its reason.
    const std::string perUser = PerUserFolder(environment);
    environment.CreateFolders(perUser);
    return ProgramPaths(perUser + "/" + fileName);
}

const FolderEnvironment& ProgramPaths::System() {
    static const SystemFolderEnvironment system;
    return system;
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
