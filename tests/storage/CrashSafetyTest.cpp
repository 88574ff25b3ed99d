// A writer process killed while it stores records: every record it reported as
// stored is in the data file byte for byte, the file stays readable, and the
// next writer goes on cleanly after a torn last line.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "UtcTime.h"
#include "crash/RecordWriterLines.h"
#include "platform/PosixFileStore.h"
#include "storage/DataFiles.h"

extern char** environ;

namespace {

using RecordWriterLines::kInterval;
using RecordWriterLines::kStart;

class Writer {
public:
    Writer(const std::string& home, std::time_t first, long count) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const std::string firstText = std::to_string(first);
        const std::string countText = std::to_string(count);
        char* argv[] = {const_cast<char*>(RECORD_WRITER), const_cast<char*>(home.c_str()),
                        const_cast<char*>(firstText.c_str()), const_cast<char*>(countText.c_str()),
                        nullptr};
        if (posix_spawn(&m_pid, RECORD_WRITER, &actions, nullptr, argv, environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        m_out = fds[0];
    }
    ~Writer() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            Wait();
        }
        if (m_out >= 0) ::close(m_out);
    }

    bool Started() const { return m_pid > 0; }

    // The next time the writer reported, or -1 at its end.
    std::time_t NextReported() {
        for (;;) {
            const std::size_t lf = m_buffer.find('\n');
            if (lf != std::string::npos) {
                const std::time_t time = std::strtoll(m_buffer.substr(0, lf).c_str(), nullptr, 10);
                m_buffer.erase(0, lf + 1);
                return time;
            }
            char chunk[4096];
            const ssize_t n = ::read(m_out, chunk, sizeof chunk);
            if (n <= 0) return -1;
            m_buffer.append(chunk, static_cast<std::size_t>(n));
        }
    }

    void Kill() { ::kill(m_pid, SIGKILL); }

    int Wait() {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return status;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_buffer;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CrashSafety, KilledWriterLosesNoReportedRecordAndTheNextOneStartsOnAFreshLine) {
    UseUtcZone();
    TempFolder home;
    std::time_t lastReported = -1;
    int reported = 0;
    {
        Writer writer(home.Path(), kStart, 20000);
        ASSERT_TRUE(writer.Started());
        while (reported < 300) {
            const std::time_t time = writer.NextReported();
            ASSERT_EQ(time, kStart + reported * kInterval) << "the writer ended early";
            lastReported = time;
            ++reported;
        }
        writer.Kill();
        EXPECT_TRUE(WIFSIGNALED(writer.Wait()));
    }

    // Whole records in order, the reported ones first; at most the last one cut.
    const std::string file = home.File("Daten/03_2024.orb");
    const std::string bytes = ReadFile(file);
    std::size_t at = 0;
    std::time_t time = kStart;
    for (; at < bytes.size(); time += kInterval) {
        const std::string expected = RecordWriterLines::Line(time);
        if (bytes.compare(at, expected.size(), expected) != 0) break;
        at += expected.size();
    }
    const std::time_t lastWhole = time - kInterval;
    EXPECT_GE(lastWhole, lastReported) << "a reported record is missing";
    const std::string rest = bytes.substr(at);
    EXPECT_EQ(RecordWriterLines::Line(time).compare(0, rest.size(), rest), 0)
        << "only the record being written may be cut: " << rest;

    PosixFileStore store;
    DataFiles files(store);
    auto last = files.FindLastRecord(home.File("Daten"), ".orb", kStart);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->time, lastWhole);

    // A crash in the middle of the next record, as a power cut can leave it.
    const std::string torn = RecordWriterLines::Line(lastWhole + kInterval).substr(0, 40);
    if (rest.empty()) {
        ASSERT_TRUE(store.Append(file, torn, true));
    }
    last = files.FindLastRecord(home.File("Daten"), ".orb", kStart);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->time, lastWhole) << "the torn line is skipped";

    const std::time_t next = lastWhole + 2 * kInterval;
    {
        Writer writer(home.Path(), next, 1);
        ASSERT_TRUE(writer.Started());
        EXPECT_EQ(writer.NextReported(), next);
        EXPECT_EQ(writer.Wait(), 0);
    }
    const std::string after = ReadFile(file);
    const std::string cut = rest.empty() ? torn : rest;
    const std::string tail =
        cut + (cut.back() == '\r' ? "\n" : "\r\n") + RecordWriterLines::Line(next);
    ASSERT_GE(after.size(), tail.size());
    EXPECT_EQ(after.substr(after.size() - tail.size()), tail);
    EXPECT_EQ(after.substr(0, at), bytes.substr(0, at)) << "earlier records untouched";
    last = files.FindLastRecord(home.File("Daten"), ".orb", kStart);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->time, next);
}

}  // namespace
