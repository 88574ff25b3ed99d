#pragma once

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/FileStore.h"

// Files in memory, with the faults a disk shows: no space, a write-protected
// or missing folder, a failed sync, a write cut short by a crash. Each fault
// field stays in force until the test clears it, except `tornAfter`, which
// hits one append.
class FakeFileStore final : public FileStore {
public:
    struct Call {
        std::string path;
        std::string bytes;
        bool sync = false;
    };

    AppendResult Append(const std::string& path, std::string_view bytes, bool sync) override {
        appends.push_back({path, std::string(bytes), sync});
        AppendResult result;
        if (appendError != 0) {
            result.error = appendError;
            return result;
        }
        if (tornAfter) {
            // A crash in the middle of the write: part of it stays, nothing cuts it back.
            files[path].append(bytes.substr(0, std::min(*tornAfter, bytes.size())));
            tornAfter.reset();
            result.error = ENOSPC;
            return result;
        }
        files[path].append(bytes);
        result.written = true;
        if (sync) {
            ++syncs;
            result.error = syncError;
        }
        return result;
    }

    Result ReadTail(const std::string& path, std::uint64_t maxBytes, std::string& bytes) override {
        bytes.clear();
        const auto file = files.find(path);
        if (file == files.end()) return Result{ENOENT};
        const std::string& all = file->second;
        const std::size_t count =
            all.size() < maxBytes ? all.size() : static_cast<std::size_t>(maxBytes);
        bytes = all.substr(all.size() - count);
        bytesRead[path] += count;
        return {};
    }

    std::unique_ptr<Reader> OpenForReading(const std::string& path, int& error) override {
        const auto file = files.find(path);
        if (file == files.end()) {
            error = ENOENT;
            return nullptr;
        }
        error = 0;
        return std::make_unique<MemoryReader>(file->second, bytesRead[path]);
    }

    Result ReadWhole(const std::string& path, std::string& bytes) override {
        return ReadTail(path, ~std::uint64_t{0}, bytes);
    }

    Result Replace(const std::string& path, std::string_view bytes, bool sync) override {
        replaces.push_back({path, std::string(bytes), sync});
        if (replaceError != 0) return Result{replaceError};
        files[path] = std::string(bytes);
        return {};
    }

    std::optional<std::uint64_t> Size(const std::string& path) override {
        const auto file = files.find(path);
        if (file == files.end()) return std::nullopt;
        return file->second.size();
    }

    bool Exists(const std::string& path) override { return files.count(path) != 0; }

    Result CreateFolder(const std::string& path) override {
        folders.insert(path);
        return {};
    }

    // The file's bytes, or "<missing>".
    std::string Read(const std::string& path) const {
        const auto file = files.find(path);
        return file == files.end() ? "<missing>" : file->second;
    }

    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::vector<Call> appends;
    std::vector<Call> replaces;
    std::map<std::string, std::uint64_t> bytesRead;  // by every kind of read, per file
    int syncs = 0;

    int appendError = 0;                   // ENOSPC, EROFS, EACCES, ENOENT...: nothing is written
    int replaceError = 0;                  // the same for replacing a file
    int syncError = 0;                     // the bytes are written but the sync fails (EIO)
    std::optional<std::size_t> tornAfter;  // the next append stops after this many bytes

private:
    // Reads a copy, so a test may change the file while a reader holds it.
    class MemoryReader final : public Reader {
    public:
        MemoryReader(std::string bytes, std::uint64_t& counted)
            : m_bytes(std::move(bytes)), m_counted(counted) {}
        long Read(char* buffer, std::size_t size) override {
            const std::size_t count = std::min(size, m_bytes.size() - m_offset);
            std::copy_n(m_bytes.data() + m_offset, count, buffer);
            m_offset += count;
            m_counted += count;
            return static_cast<long>(count);
        }

    private:
        std::string m_bytes;
        std::size_t m_offset = 0;
        std::uint64_t& m_counted;
    };
};
