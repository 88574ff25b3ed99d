#pragma once

#include "platform/FileStore.h"

// The file store on the local file system: open/write/fdatasync/rename.
class PosixFileStore final : public FileStore {
public:
    AppendResult Append(const std::string& path, std::string_view bytes, bool sync) override;
    Result ReadTail(const std::string& path, std::uint64_t maxBytes, std::string& bytes) override;
    std::unique_ptr<Reader> OpenForReading(const std::string& path, int& error) override;
    Result ReadWhole(const std::string& path, std::string& bytes) override;
    Result Replace(const std::string& path, std::string_view bytes, bool sync) override;
    std::optional<std::uint64_t> Size(const std::string& path) override;
    bool Exists(const std::string& path) override;
    Result CreateFolder(const std::string& path) override;

    // The store of this process, for code that is handed none.
    static PosixFileStore& Process();
};
