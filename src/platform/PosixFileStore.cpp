#include "platform/PosixFileStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

int LastError() { return errno != 0 ? errno : EIO; }

// Writes everything, going on after a signal or a partial write; the errno of the failure.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        if (n == 0) return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

int ReadAt(int fd, std::uint64_t offset, std::uint64_t count, std::string& bytes) {
    bytes.resize(count);
    std::uint64_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::pread(fd, bytes.data() + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        if (n == 0) break;  // the file shrank meanwhile
        done += static_cast<std::uint64_t>(n);
    }
    bytes.resize(done);
    return 0;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }
    // Closes now and reports the result (a delayed write error shows up here on some file systems).
    int Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : LastError();
    }

private:
    int m_fd;
};

class PosixReader final : public FileStore::Reader {
public:
    explicit PosixReader(int fd) : m_fd(fd) {}
    long Read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t n = ::read(m_fd.Get(), buffer, size);
            if (n >= 0) return static_cast<long>(n);
            if (errno != EINTR) return -LastError();
        }
    }

private:
    Descriptor m_fd;
};

}  // namespace

FileStore::AppendResult PosixFileStore::Append(const std::string& path, std::string_view bytes,
                                               bool sync) {
    AppendResult result;
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
    if (fd.Get() < 0) {
        result.error = LastError();
        return result;
    }
    struct stat st {};
    const bool sized = ::fstat(fd.Get(), &st) == 0;
    if (const int error = WriteAll(fd.Get(), bytes); error != 0) {
        // A half record would be read as a record of its own: take it back. Should
        // that fail too, the next append starts on a fresh line and readers skip it.
        if (sized && ::ftruncate(fd.Get(), st.st_size) != 0) result.error = error;
        result.error = error;
        return result;
    }
    result.written = true;
    if (sync && ::fdatasync(fd.Get()) != 0) result.error = LastError();
    if (const int error = fd.Close(); error != 0 && result.error == 0) result.error = error;
    return result;
}

FileStore::Result PosixFileStore::ReadTail(const std::string& path, std::uint64_t maxBytes,
                                           std::string& bytes) {
    bytes.clear();
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) return Result{LastError()};
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) return Result{LastError()};
    if (!S_ISREG(st.st_mode)) return Result{EISDIR};
    const auto size = static_cast<std::uint64_t>(st.st_size);
    const std::uint64_t count = size < maxBytes ? size : maxBytes;
    return Result{ReadAt(fd.Get(), size - count, count, bytes)};
}

std::unique_ptr<FileStore::Reader> PosixFileStore::OpenForReading(const std::string& path,
                                                                  int& error) {
    // Without O_NONBLOCK a pipe put in place of a data file would block the
    // open for good; a regular file reads the same either way.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = LastError();
        return nullptr;
    }
    error = 0;
    return std::make_unique<PosixReader>(fd);
}

FileStore::Result PosixFileStore::ReadWhole(const std::string& path, std::string& bytes) {
    return FileSystem::ReadWholeFile(path, bytes);
}

FileStore::Result PosixFileStore::Replace(const std::string& path, std::string_view bytes,
                                          bool sync) {
    std::string temp = path + ".XXXXXX";
    Descriptor fd(::mkstemp(temp.data()));
    if (fd.Get() < 0) return Result{LastError()};
    // Keep the permissions of the file replaced, or those a new file would get (not mkstemp's
    // 0600).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ::fchmod(fd.Get(), ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~mask));
    int error = WriteAll(fd.Get(), bytes);
    if (error == 0 && sync && ::fdatasync(fd.Get()) != 0) error = LastError();
    if (const int closeError = fd.Close(); error == 0) error = closeError;
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = LastError();
    if (error != 0) ::unlink(temp.c_str());
    return Result{error};
}

std::optional<std::uint64_t> PosixFileStore::Size(const std::string& path) {
    return FileSystem::FileSize(path);
}

bool PosixFileStore::Exists(const std::string& path) { return FileSystem::FileExists(path); }

FileStore::Result PosixFileStore::CreateFolder(const std::string& path) {
    return FileSystem::CreateFolder(path);
}

PosixFileStore& PosixFileStore::Process() {
    static PosixFileStore store;
    return store;
}
