#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace FileSystem {
namespace {
Result Error() { return Result{errno != 0 ? errno : EIO}; }

Result WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return Error();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}
}  // namespace

std::string SystemErrorText(int error) { return std::strerror(error); }

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

Result CreateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) return {};
    if (errno == EEXIST) return {};
    return Error();
}

Result ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Error();
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            const Result failed = Error();
            ::close(fd);
            return failed;
        }
        if (n == 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return {};
}

Result ReplaceFile(const std::string& path, std::string_view bytes) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return Error();
    // Keep the permissions a new file would get, not mkstemp's 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ::fchmod(fd, ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~mask));
    Result result = WriteAll(fd, bytes);
    if (result && ::fsync(fd) != 0) result = Error();
    if (::close(fd) != 0 && result) result = Error();
    if (result && ::rename(temp.c_str(), path.c_str()) != 0) result = Error();
    if (!result) ::unlink(temp.c_str());
    return result;
}

Result AppendToFile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) return Error();
    Result result = WriteAll(fd, bytes);
    if (::close(fd) != 0 && result) result = Error();
    return result;
}

Result RestrictToOwner(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return Error();
    Result result;
    if (::fchmod(fd, 0600) != 0) result = Error();
    if (::close(fd) != 0 && result) result = Error();
    return result;
}

Result SyncFileSystemOf(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Error();
    const Result result = ::syncfs(fd) == 0 ? Result{} : Error();
    ::close(fd);
    return result;
}

}  // namespace FileSystem
