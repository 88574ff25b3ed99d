#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What the initialisation's reader, when it ends, leaves the acquisition reader
// about the current transport's bytes, so that no station line falls between
// the two. Safe from any thread.
class LineHandOver {
public:
    struct Left {
        // Complete lines the initialisation received but did not process, oldest first.
        std::vector<std::string> lines;
        // The start of the line being received (the reader stops inside its last
        // read, which usually took the first bytes of the next line); nothing when
        // the reader did not know where that line began.
        std::optional<std::string> lineStart;
    };

    void Leave(Left left) {
        std::lock_guard lock(m_mutex);
        m_left = std::move(left);
    }
    // What was left, once.
    Left Take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_left, Left{});
    }

private:
    std::mutex m_mutex;
    Left m_left;
};
