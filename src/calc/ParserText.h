#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

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

// False for a name that a field cannot hold whole (too long, or with a NUL
// that would cut it): such a name is never stored, so no shorter name can
// alias it. The key is assembled in registers: writing it to memory in pieces
// and reading it whole would stall every lookup.
inline bool MakeKey(std::string_view name, NameKey& key) {
    if (name.size() > kMaxNameLength) return false;
    constexpr bool kLittle = std::endian::native == std::endian::little;
    std::uint64_t head = 0;
    std::uint32_t tail = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte == 0) return false;
        if (i < 8) {
            head |= std::uint64_t{byte} << (kLittle ? 8 * i : 56 - 8 * i);
        } else {
            tail |= std::uint32_t{byte} << (kLittle ? 8 * (i - 8) : 24 - 8 * (i - 8));
        }
    }
    key.head = head;
    key.tail = tail;
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

// The variable tables of both parsers: records with a Name field and a float Value.

// Appends a variable of value 0; a name that cannot be a variable is ignored.
template <typename Def>
void AddVariable(std::vector<Def>& variables, std::string_view name) {
    NameKey key;
    if (!MakeKey(name, key)) return;
    Def& def = variables.emplace_back();
    Store(key, def.Name);
    def.Value = 0.0f;
}

// The first variable of exactly this name, or nullptr.
template <typename Variables>
auto FindVariable(Variables& variables, std::string_view name) -> decltype(&*variables.begin()) {
    NameKey key;
    if (!MakeKey(name, key)) return nullptr;
    for (auto& def : variables)
        if (Matches(def.Name, key)) return &def;
    return nullptr;
}

}  // namespace ParserText
