#pragma once

// Every reader of station bytes keeps only printable ASCII (31..127), line
// feed, carriage return and bell; bytes above 0x7F and other control
// characters are dropped before they reach a line.
constexpr bool PassesReceiveFilter(char byte) {
    // Read as a signed character, 31..127 is everything from 31 up.
    const signed char c = static_cast<signed char>(byte);
    return c >= 31 || c == '\n' || c == '\r' || c == '\a';
}
