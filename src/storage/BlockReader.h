#pragma once

// BlockReader cuts a data file into blocks of whole lines.

#include <cstddef>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>

#include "platform/FileStore.h"

// Reads a file in large blocks that end on a line end, so that the lines of a
// block can be decoded apart from the rest of the file (on another thread).
// A line longer than kMaxLineLength is garbage: it is left out without ever
// being held whole. Used by one thread at a time.
class BlockReader {
public:
    // No record comes near this.
    static constexpr std::size_t kMaxLineLength = 1 << 20;
    // About this much is read into a block before it is cut at its last line
    // end. Small enough that the thread finishing a file's last block keeps
    // the other one waiting only briefly.
    static constexpr std::size_t kBlockSize = 1 << 16;

    // Bytes owned by the caller and reused from block to block, so that the
    // reader allocates nothing once the buffers have grown.
    struct Block {
        std::unique_ptr<char[]> data;
        std::size_t capacity = 0;
        std::size_t size = 0;
        std::string_view View() const { return {data.get(), size}; }
    };

    enum class Result { kBlock, kEnd, kError, kStopped };

    explicit BlockReader(FileStore::Reader& file) : m_file(file) {}

    // The next lines, each ending with LF but the file's last one, which may
    // lack it. A failed read first hands over the whole lines before it, then
    // kError with Error(). A stop is seen between reads, also inside a line
    // that never ends.
    Result Next(Block& block, const std::stop_token& stop);

    int Error() const { return m_error; }

private:
    // Makes room for one more read after block.size bytes.
    static void Reserve(Block& block, std::size_t size);

    FileStore::Reader& m_file;
    std::string m_carry;      // the start of a line that the last block cut off
    bool m_skipping = false;  // inside an overlong line, up to its LF
    bool m_eof = false;
    int m_error = 0;
};
