#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "storage/BlockReader.h"

namespace {

constexpr std::size_t kMax = BlockReader::kMaxLineLength;

// Hands out the bytes in reads of at most `chunk`, then fails with `error` (0: ends).
class ChunkedReader final : public FileStore::Reader {
public:
    ChunkedReader(std::string bytes, std::size_t chunk, int error = 0)
        : m_bytes(std::move(bytes)), m_chunk(chunk), m_error(error) {}
    long Read(char* buffer, std::size_t size) override {
        const std::size_t count = std::min({size, m_chunk, m_bytes.size() - m_at});
        if (count == 0 && m_error != 0) return -m_error;
        std::memcpy(buffer, m_bytes.data() + m_at, count);
        m_at += count;
        return static_cast<long>(count);
    }

private:
    std::string m_bytes;
    std::size_t m_chunk;
    std::size_t m_at = 0;
    int m_error;
};

// The lines of `bytes` as a line-by-line reader sees them: split at LF, a
// line longer than the limit left out.
std::vector<std::string> ReferenceLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t end = bytes.find('\n', begin);
        if (end == std::string::npos) end = bytes.size();
        if (end - begin <= kMax) lines.push_back(bytes.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

std::vector<std::string> BlockLines(BlockReader& reader, BlockReader::Result& last) {
    std::vector<std::string> lines;
    BlockReader::Block block;
    std::stop_source stop;
    while ((last = reader.Next(block, stop.get_token())) == BlockReader::Result::kBlock) {
        const std::string_view bytes = block.View();
        EXPECT_FALSE(bytes.empty());
        std::size_t begin = 0;
        while (begin < bytes.size()) {
            std::size_t end = bytes.find('\n', begin);
            if (end == std::string_view::npos) end = bytes.size();
            lines.emplace_back(bytes.substr(begin, end - begin));
            begin = end + 1;
        }
    }
    return lines;
}

struct SplitCase {
    const char* name;
    std::string bytes;
};
void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

std::string Records(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "12:00:00,01.01.24,TE" + std::to_string(i) + ",\r\n";
    return text;
}

class BlockReaderSplit : public ::testing::TestWithParam<SplitCase> {};

// Every line arrives whole and in order, whatever the reads deliver.
TEST_P(BlockReaderSplit, GivesTheLinesOfALineByLineReader) {
    for (const std::size_t chunk : {std::size_t{1} << 16, std::size_t{4093}, std::size_t{7}}) {
        if (chunk == 7 && GetParam().bytes.size() > (1u << 16)) continue;  // too slow, nothing new
        ChunkedReader file(GetParam().bytes, chunk);
        BlockReader reader(file);
        BlockReader::Result last{};
        EXPECT_EQ(BlockLines(reader, last), ReferenceLines(GetParam().bytes)) << chunk;
        EXPECT_EQ(last, BlockReader::Result::kEnd);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BlockReaderSplit,
    ::testing::Values(SplitCase{"Empty", ""}, SplitCase{"ManyBlocks", Records(20000)},
                      SplitCase{"LastLineWithoutLf", Records(3) + "12:00:00,01.01.24,TE9,"},
                      SplitCase{"EmptyLines", "\n\n" + Records(2) + "\n"},
                      SplitCase{"LongestLineKept",
                                Records(2) + std::string(kMax, 'x') + "\n" + Records(2)},
                      SplitCase{"OneByteLongerDropped",
                                Records(2) + std::string(kMax + 1, 'x') + "\n" + Records(2)},
                      SplitCase{"OverlongLastLineDropped", Records(2) + std::string(3 * kMax, 'x')},
                      SplitCase{"OverlongLinesInARow", std::string(kMax + 5, 'a') + "\n" +
                                                           std::string(2 * kMax, 'b') + "\nok\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BlockReader, FailedReadHandsOverTheWholeLinesBeforeIt) {
    ChunkedReader file(Records(3) + "12:00:00,01.01.24,TE", 1 << 16, EIO);
    BlockReader reader(file);
    BlockReader::Result last{};

    const std::vector<std::string> lines = BlockLines(reader, last);

    EXPECT_EQ(lines, ReferenceLines(Records(3)));
    EXPECT_EQ(last, BlockReader::Result::kError);
    EXPECT_EQ(reader.Error(), EIO);
}

}  // namespace
