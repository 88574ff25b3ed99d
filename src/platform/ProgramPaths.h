#pragma once

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

    // The running executable (/proc/self/exe), its folder replaced by
    // $WETTER_HOME when that is set and not empty.
    static ProgramPaths ForThisProcess();

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
