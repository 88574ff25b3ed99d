#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Builds station lines from received bytes, one byte at a time, keeping only
// the bytes the receive filter passes. A line ends at line feed (and, for the
// initialisation reader, at bell); carriage returns stay in the line.
//
// A line is bounded: a station that never sends a line feed must not make the
// program grow without end. Past kMaxLineLength bytes the line is dropped and
// the bytes up to the next line end are skipped.
class LineAssembler {
public:
    static constexpr std::size_t kMaxLineLength = 4096;

    // `bellEndsLine`: the initialisation reader ends lines at bell too; the
    // acquisition reader drops bell like any other control character.
    explicit LineAssembler(bool bellEndsLine) : m_bellEndsLine(bellEndsLine) {}

    // True when `byte` completed a line; Line() then holds it until Clear().
    bool Add(char byte);
    const std::string& Line() const { return m_line; }
    void Clear() { m_line.clear(); }
    // Lines dropped for their length since construction.
    std::size_t OverlongLines() const { return m_overlong; }
    // The bytes of the line still being received, when it is known to have begun
    // right after a line feed: a reader that ends passes them to the next one,
    // which then completes the line instead of dropping it. Nothing before the
    // first line feed, after a bell, or inside an over-long line.
    std::optional<std::string> UnfinishedLine() const;

private:
    bool m_bellEndsLine;
    bool m_lineStartKnown = false;
    bool m_skipping = false;
    std::size_t m_overlong = 0;
    std::string m_line;
};
