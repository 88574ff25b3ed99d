#pragma once

#include <optional>
#include <string>
#include <string_view>

// What the choice of the program's folder asks of the system. The real one
// (ProgramPaths::System) reads this process's environment and the file system;
// a test fakes a folder that may not be written. Safe from any thread.
class FolderEnvironment {
public:
    virtual ~FolderEnvironment() = default;
    // The value of an environment variable; nothing when it is unset.
    virtual std::optional<std::string> Variable(const std::string& name) const = 0;
    // The user's home folder from the account database, for a process without HOME.
    virtual std::string AccountHome() const = 0;
    // True when this process may create files in `folder`.
    virtual bool Writable(const std::string& folder) const = 0;
    // Creates `folder` and the folders above it; true when it is there afterwards.
    virtual bool CreateFolders(const std::string& folder) const = 0;
};

// Where the program's files lie. Every settings file is named after the
// executable (its path without extension + a suffix), the shared files lie in
// its folder. WETTER_HOME=DIR moves that folder, so a test or a demo gets a
// station setup of its own without copying the executable. An installed
// program, whose folder is not the user's to write, keeps its files in the
// per-user data folder instead.
class ProgramPaths {
public:
    // `programPath` is the executable's full path ("/opt/ws/wetter").
    explicit ProgramPaths(std::string programPath);

    // The program as it was started: `invokedAs` (argv[0]) made absolute, with
    // links left as they are, because a link under a second name is a second
    // station. Without a usable `invokedAs` the running executable
    // (/proc/self/exe). Its folder is then chosen by ForExecutable.
    static ProgramPaths ForThisProcess(std::string_view invokedAs = {});

    // The files of the program `executable` (an absolute path; its name stays):
    // - $WETTER_HOME when that is set and not empty;
    // - otherwise the executable's folder when this user may write it and it is
    //   no folder of the package manager (/usr/bin...);
    // - otherwise the per-user data folder $XDG_DATA_HOME/wetter (by default
    //   ~/.local/share/wetter), created here when it is missing.
    static ProgramPaths ForExecutable(const std::string& executable,
                                      const FolderEnvironment& environment);
    // The environment of this process.
    static const FolderEnvironment& System();

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
