#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Character classes and fixed-size variable names shared by the formula and
// comparison parsers. Classic-locale tests on bytes: no <cctype>, whose
// answers depend on the process locale and whose argument must not be a
// negative char.
namespace ParserText {

// A stored name holds at most this many characters plus its NUL.
inline constexpr std::size_t kMaxNameLength = 11;

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsNameChar(char c) { return (c >= 'A' && c <= 'Z') || IsDigit(c); }

// Length of the run of name characters starting at `pos` (0 when none).
inline std::size_t NameLength(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && IsNameChar(text[end])) ++end;
    return end - pos;
}

// A name as the 12 bytes of a stored-name field (NUL-padded), held in two
// registers: two names are equal exactly when their keys are. Keys are built
// and compared whole, never byte by byte, because the variable lookups run
// for every value of every record.
struct NameKey {
    std::uint64_t head = 0;
    std::uint32_t tail = 0;
};

namespace Detail {
// Copies of a size known at compile time become plain loads.
template <std::size_t N>
void LoadKey(const char* name, NameKey& key) {
    std::memcpy(&key.head, name, N < 8 ? N : 8);
    if constexpr (N > 8) std::memcpy(&key.tail, name + 8, N - 8);
}
}  // namespace Detail

// False for a name that a field cannot hold whole (too long, or with a NUL
// that would cut it): such a name is never stored, so no shorter name can
// alias it.
inline bool MakeKey(std::string_view name, NameKey& key) {
    key = NameKey{};
    const char* p = name.data();
    switch (name.size()) {
        case 0:
            return true;
        case 1:
            Detail::LoadKey<1>(p, key);
            break;
        case 2:
            Detail::LoadKey<2>(p, key);
            break;
        case 3:
            Detail::LoadKey<3>(p, key);
            break;
        case 4:
            Detail::LoadKey<4>(p, key);
            break;
        case 5:
            Detail::LoadKey<5>(p, key);
            break;
        case 6:
            Detail::LoadKey<6>(p, key);
            break;
        case 7:
            Detail::LoadKey<7>(p, key);
            break;
        case 8:
            Detail::LoadKey<8>(p, key);
            break;
        case 9:
            Detail::LoadKey<9>(p, key);
            break;
        case 10:
            Detail::LoadKey<10>(p, key);
            break;
        case 11:
            Detail::LoadKey<11>(p, key);
            break;
        default:
            return false;
    }
    static_assert(kMaxNameLength == 11);
    for (const char c : name) {
        if (c == '\0') return false;
    }
    return true;
}

inline void Store(const NameKey& key, char (&field)[kMaxNameLength + 1]) {
    std::memcpy(field, &key.head, sizeof key.head);
    std::memcpy(field + 8, &key.tail, sizeof key.tail);
}

inline bool Matches(const char (&field)[kMaxNameLength + 1], const NameKey& key) {
    std::uint64_t head = 0;
    std::uint32_t tail = 0;
    std::memcpy(&head, field, sizeof head);
    std::memcpy(&tail, field + 8, sizeof tail);
    return head == key.head && tail == key.tail;
}

}  // namespace ParserText
