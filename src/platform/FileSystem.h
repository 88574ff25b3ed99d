#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Plain file operations on POSIX, with errno turned into a value once here.
// Results carry the errno number (0 on success). Safe from any thread.
namespace FileSystem {

struct [[nodiscard]] Result {
    int error = 0;  // errno, 0 on success
    explicit operator bool() const { return error == 0; }
};

// The system's text for an errno number.
std::string SystemErrorText(int error);

bool FileExists(const std::string& path);
std::optional<std::uint64_t> FileSize(const std::string& path);
// Creates one folder; an existing folder is no error.
Result CreateFolder(const std::string& path);
// Reads the whole file into `bytes`.
Result ReadWholeFile(const std::string& path, std::string& bytes);
// Replaces `path` by `bytes`: a temporary file in the same folder, synced and
// renamed over the original, so readers see the old or the new file, never a mix.
Result ReplaceFile(const std::string& path, std::string_view bytes);
// Appends `bytes` with one write at the end of the file (created when missing).
Result AppendToFile(const std::string& path, std::string_view bytes);
// Makes `path` readable and writable by its owner only (0600), creating it
// empty when missing. A later ReplaceFile keeps that mode, so a file holding a
// password is never readable by others, not even as a temporary file.
Result RestrictToOwner(const std::string& path);
// Puts everything written to the file system that holds `path` onto the disk
// (syncfs), for the end of a run: records written without their own sync are kept.
Result SyncFileSystemOf(const std::string& path);

}  // namespace FileSystem
