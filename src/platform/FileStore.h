#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

// The file operations behind the data files: appending a record, reading a
// file back, replacing a small file. Results carry errno (0 on success), so a
// full disk or a write-protected folder is a value, never an exception. Every
// method may be called from any thread; calls on different files do not
// interfere, calls on the same file are the caller's to order.
class FileStore {
public:
    using Result = FileSystem::Result;

    // What became of an append.
    struct [[nodiscard]] AppendResult {
        int error = 0;  // errno of the first failure, 0 when everything succeeded
        bool written =
            false;  // all bytes are in the file (a failed sync or close may still be reported)
        explicit operator bool() const { return error == 0 && written; }
    };

    // A file open for reading from its start, one chunk at a time. Used by
    // one thread at a time.
    class Reader {
    public:
        virtual ~Reader() = default;
        // Reads up to `size` bytes: the count read, 0 at the end, -errno on failure.
        virtual long Read(char* buffer, std::size_t size) = 0;
    };

    virtual ~FileStore() = default;

    // Appends `bytes` at the end of `path` (created when missing) with one
    // write. With `sync` the data reaches the disk (fdatasync) before the call
    // returns. When the bytes could not all be written, the file is cut back
    // to its old length where the system allows it.
    virtual AppendResult Append(const std::string& path, std::string_view bytes, bool sync) = 0;

    // The last `maxBytes` bytes of the file (all of it when it is shorter).
    virtual Result ReadTail(const std::string& path, std::uint64_t maxBytes,
                            std::string& bytes) = 0;

    // Opens `path` for reading; nothing, with `error` set, when it cannot be opened.
    virtual std::unique_ptr<Reader> OpenForReading(const std::string& path, int& error) = 0;

    // The whole file.
    virtual Result ReadWhole(const std::string& path, std::string& bytes) = 0;

    // Replaces `path` by `bytes` so that readers see the old or the new file,
    // never a mix. With `sync` the new file is on disk before the call returns.
    virtual Result Replace(const std::string& path, std::string_view bytes, bool sync) = 0;

    // The size of a regular file; nothing when it does not exist or is no file.
    virtual std::optional<std::uint64_t> Size(const std::string& path) = 0;

    // True for an existing regular file.
    virtual bool Exists(const std::string& path) = 0;

    // Creates one folder level; an existing folder is no error.
    virtual Result CreateFolder(const std::string& path) = 0;
};
