#pragma once

// What the settings-file targets share: a folder of their own for the files
// an input is written as, and a way to fail that names the target.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

// One folder per fuzzing process, on tmpfs when there is one. Files written
// through it are removed with it.
class FuzzFolder {
public:
    FuzzFolder() {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/wetter-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        m_folder = pattern;
    }
    ~FuzzFolder() {
        for (const std::string& file : m_files) ::unlink(file.c_str());
        ::rmdir(m_folder.c_str());
    }
    FuzzFolder(const FuzzFolder&) = delete;
    FuzzFolder& operator=(const FuzzFolder&) = delete;

    const std::string& Path() const { return m_folder; }

    // `bytes` as the file `name` in the folder; its full path.
    std::string Write(const std::string& name, std::string_view bytes) {
        const std::string path = m_folder + "/" + name;
        if (!FileSystem::ReplaceFile(path, bytes)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            std::abort();
        }
        Remember(path);
        return path;
    }
    // A file the code under test may create.
    std::string File(const std::string& name) {
        const std::string path = m_folder + "/" + name;
        Remember(path);
        return path;
    }

private:
    void Remember(const std::string& path) {
        for (const std::string& file : m_files)
            if (file == path) return;
        m_files.push_back(path);
    }

    std::string m_folder;
    std::vector<std::string> m_files;
};

[[noreturn]] inline void FuzzFail(const char* target, const char* what) {
    std::fprintf(stderr, "%s: %s\n", target, what);
    std::abort();
}
