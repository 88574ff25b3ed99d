// Any bytes as a settings file: reads must stay inside their buffers and end
// them as promised, and a value written must read back, whatever the file held.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzFiles.h"
#include "platform/IniProfile.h"

namespace {

[[noreturn]] void Fail(const char* what) { FuzzFail("IniProfileFuzz", what); }

// Reads into a heap block of exactly `size` bytes, so AddressSanitizer sees any
// byte written past it.
std::string Read(IniProfile& profile, const std::string& file,
                 std::optional<std::string_view> section, std::optional<std::string_view> key,
                 std::size_t size) {
    const auto buffer = std::make_unique<char[]>(size);
    const std::size_t n = profile.GetString(file, section, key, "def  ", buffer.get(), size);
    if (size == 0) {
        if (n != 0) Fail("size 0 gave characters");
        return {};
    }
    if (n >= size || buffer[n] != '\0') Fail("result not terminated inside the buffer");
    return std::string(buffer.get(), n);
}

// The first name of a NUL-separated list. A name holding a NUL comes back cut
// there, maybe with a blank at its new end that a file name could not have.
std::string FirstName(const std::string& list) {
    std::string name(list.c_str());
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '\v')) {
        name.pop_back();
    }
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFolder folder;
    IniProfile profile;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string input = folder.Write("input.ini", bytes);

    // Small buffers from the input itself, so cut lists and values are reached.
    const std::size_t small = size == 0 ? 0 : data[0] % 24;
    constexpr std::size_t kLarge = 4096;

    const std::string sections = Read(profile, input, std::nullopt, std::nullopt, kLarge);
    Read(profile, input, std::nullopt, std::nullopt, small);
    std::string section = FirstName(sections);
    if (section.empty() || sections == "def") section = "s";

    const std::string keys = Read(profile, input, section, std::nullopt, kLarge);
    Read(profile, input, section, std::nullopt, small);
    std::string key = FirstName(keys);
    if (key.empty() || keys == "def") key = "k";

    for (const std::string_view name :
         {std::string_view(key), std::string_view("k"), std::string_view("")}) {
        Read(profile, input, section, name, kLarge);
        Read(profile, input, section, name, small);
        profile.GetInt(input, section, name, -7);
        unsigned char record[8];
        profile.GetStruct(input, section, name, record, small % sizeof record);
    }

    // Writing edits a copy: the written value must be what reading then finds.
    const std::string copy = folder.Write("copy.ini", bytes);
    if (!profile.WriteString(copy, section, key, "fuzz value")) Fail("write failed");
    if (Read(profile, copy, section, key, kLarge) != "fuzz value") {
        Fail("written value does not read back");
    }
    if (!profile.WriteString(copy, section, "k2", " v ")) Fail("second write failed");
    if (Read(profile, copy, section, "k2", kLarge) != "v") {
        Fail("second value does not read back");
    }
    if (!profile.WriteString(copy, section, key, std::nullopt)) Fail("delete failed");
    if (!profile.WriteString(copy, section, std::nullopt, std::nullopt)) {
        Fail("section delete failed");
    }
    return 0;
}
