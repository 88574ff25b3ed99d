#pragma once

#include <optional>
#include <string>
#include <string_view>

// Where the program's files lie. Every settings file is named after the
// executable (its path without extension + a suffix), the shared files lie in
// its folder. WETTER_HOME=DIR moves that folder, so a test or a demo gets a
// station setup of its own without copying the executable.
class ProgramPaths {
public:
    // `programPath` is the executable's full path ("/opt/ws/wetter").
    explicit ProgramPaths(std::string programPath);

    // The program as it was started: `invokedAs` (argv[0]) made absolute, with
    // links left as they are, because a link under a second name is a second
    // station. Without a usable `invokedAs` the running executable
    // (/proc/self/exe). The folder is replaced by $WETTER_HOME when that is set
    // and not empty; the name stays.
    static ProgramPaths ForThisProcess(std::string_view invokedAs = {});

    // The absolute path of `invokedAs` the way a shell found it: with a "/"
    // relative to `workingFolder`, a bare name through the folders of
    // `searchPath` (PATH: ":"-separated, an empty entry is the working folder).
    // "." and ".." are taken by their text. Nothing when it cannot be found.
    static std::optional<std::string> InvokedPath(std::string_view invokedAs,
                                                  const std::string& workingFolder,
                                                  std::string_view searchPath);

    const std::string& ProgramPath() const { return m_programPath; }
    // The executable's folder, without a trailing "/".
    std::string Folder() const;
    // The executable's name without folder and extension ("wetter").
    std::string ProgramName() const;
    // Path without extension followed by `suffix`: "station.ini" gives ".../wetterstation.ini".
    std::string Named(std::string_view suffix) const;
    // A file in the executable's folder: "ErrLog.txt" gives ".../ErrLog.txt".
    std::string InFolder(std::string_view fileName) const;
    // Folder + "/Daten".
    std::string DefaultDataFolder() const;

private:
    std::string m_programPath;
};
