// Any bytes as a settings file: reads must stay inside their buffers and end
// them as promised, and a value written must read back, whatever the file held.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/IniProfile.h"

namespace {

// One folder per fuzzing process, on tmpfs when there is one: each input is
// written as a file and the profile syncs what it writes.
class Files {
public:
    Files() {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/wetter-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        m_folder = pattern;
        m_input = m_folder + "/input.ini";
        m_copy = m_folder + "/copy.ini";
    }
    ~Files() {
        ::unlink(m_input.c_str());
        ::unlink(m_copy.c_str());
        ::rmdir(m_folder.c_str());
    }
    const std::string& Input() const { return m_input; }
    const std::string& Copy() const { return m_copy; }

private:
    std::string m_folder;
    std::string m_input;
    std::string m_copy;
};

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "IniProfileFuzz: %s\n", what);
    std::abort();
}

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
    static Files files;
    IniProfile profile;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!FileSystem::ReplaceFile(files.Input(), bytes)) Fail("cannot write the input file");

    // Small buffers from the input itself, so cut lists and values are reached.
    const std::size_t small = size == 0 ? 0 : data[0] % 24;
    constexpr std::size_t kLarge = 4096;

    const std::string sections = Read(profile, files.Input(), std::nullopt, std::nullopt, kLarge);
    Read(profile, files.Input(), std::nullopt, std::nullopt, small);
    std::string section = FirstName(sections);
    if (section.empty() || sections == "def") section = "s";

    const std::string keys = Read(profile, files.Input(), section, std::nullopt, kLarge);
    Read(profile, files.Input(), section, std::nullopt, small);
    std::string key = FirstName(keys);
    if (key.empty() || keys == "def") key = "k";

    for (const std::string_view name :
         {std::string_view(key), std::string_view("k"), std::string_view("")}) {
        Read(profile, files.Input(), section, name, kLarge);
        Read(profile, files.Input(), section, name, small);
        profile.GetInt(files.Input(), section, name, -7);
        unsigned char record[8];
        profile.GetStruct(files.Input(), section, name, record, small % sizeof record);
    }

    // Writing edits a copy: the written value must be what reading then finds.
    if (!FileSystem::ReplaceFile(files.Copy(), bytes)) Fail("cannot write the copy");
    if (!profile.WriteString(files.Copy(), section, key, "fuzz value")) Fail("write failed");
    if (Read(profile, files.Copy(), section, key, kLarge) != "fuzz value") {
        Fail("written value does not read back");
    }
    if (!profile.WriteString(files.Copy(), section, "k2", " v ")) Fail("second write failed");
    if (Read(profile, files.Copy(), section, "k2", kLarge) != "v") {
        Fail("second value does not read back");
    }
    if (!profile.WriteString(files.Copy(), section, key, std::nullopt)) Fail("delete failed");
    if (!profile.WriteString(files.Copy(), section, std::nullopt, std::nullopt)) {
        Fail("section delete failed");
    }
    return 0;
}
