#pragma once

#include <string>

// A fresh folder under the system's temporary directory, removed with its content afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    // Writes `bytes` to a file in the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    // The file's bytes, or "<missing>" when it cannot be read.
    std::string Read(const std::string& name) const;

private:
    std::string m_path;
};
