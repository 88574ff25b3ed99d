#include "storage/BlockReader.h"

#include <cstring>

namespace {

constexpr std::size_t kReadSize = 1 << 16;

const char* FindLastLf(const char* begin, const char* end) {
    while (end != begin) {
        if (*--end == '\n') return end;
    }
    return nullptr;
}

}  // namespace

void BlockReader::Reserve(Block& block, std::size_t size) {
    if (block.capacity >= size) return;
    std::size_t capacity = block.capacity == 0 ? kBlockSize + kReadSize : block.capacity;
    while (capacity < size) capacity *= 2;
    auto data = std::make_unique<char[]>(capacity);
    if (block.size != 0) std::memcpy(data.get(), block.data.get(), block.size);
    block.data = std::move(data);
    block.capacity = capacity;
}

BlockReader::Result BlockReader::Next(Block& block, const std::stop_token& stop) {
    block.size = 0;
    if (m_error != 0) return Result::kError;
    Reserve(block, m_carry.size() + kReadSize);
    std::memcpy(block.data.get(), m_carry.data(), m_carry.size());
    block.size = m_carry.size();
    m_carry.clear();
    // Where the line that is not yet ended starts.
    std::size_t lineStart = 0;
    if (const char* lf = FindLastLf(block.data.get(), block.data.get() + block.size))
        lineStart = static_cast<std::size_t>(lf - block.data.get()) + 1;

    while (!m_eof && m_error == 0 && (block.size < kBlockSize || lineStart == 0)) {
        if (stop.stop_requested()) return Result::kStopped;
        Reserve(block, block.size + kReadSize);
        char* at = block.data.get() + block.size;
        const long got = m_file.Read(at, kReadSize);
        if (got < 0) {
            m_error = static_cast<int>(-got);
            break;
        }
        if (got == 0) {
            m_eof = true;
            break;
        }
        const auto count = static_cast<std::size_t>(got);
        char* data = block.data.get();
        block.size += count;
        if (const void* found = std::memchr(at, '\n', count)) {
            // The line begun before this read ends here: drop it when it is
            // the overlong one, or has just grown too long.
            const auto lf = static_cast<std::size_t>(static_cast<const char*>(found) - data);
            if (m_skipping || lf - lineStart > kMaxLineLength) {
                std::memmove(data + lineStart, data + lf + 1, block.size - lf - 1);
                block.size -= lf + 1 - lineStart;
                m_skipping = false;
            }
            if (const char* last = FindLastLf(data + lineStart, data + block.size))
                lineStart = static_cast<std::size_t>(last - data) + 1;
        } else if (m_skipping) {
            block.size = lineStart;
        }
        if (block.size - lineStart > kMaxLineLength) {
            block.size = lineStart;
            m_skipping = true;
        }
    }

    if (m_error != 0) {
        // The unfinished line is lost with the failed read.
        block.size = lineStart;
    } else if (!m_eof) {
        m_carry.assign(block.data.get() + lineStart, block.size - lineStart);
        block.size = lineStart;
    } else if (m_skipping) {
        block.size = lineStart;
    }
    if (block.size != 0) return Result::kBlock;
    if (m_error != 0) return Result::kError;
    return m_eof ? Result::kEnd : Result::kBlock;
}
