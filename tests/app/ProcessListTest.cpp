#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "TempFolder.h"
#include "app/ProcessList.h"
#include "platform/IniProfile.h"

namespace {

// The real profile, counting the changes of a file (each replaces all of it).
class CountingProfile final : public Profile {
public:
    FileState StateOf(const std::string& file) override { return m_profile.StateOf(file); }
    std::size_t GetString(const std::string& file, std::optional<std::string_view> section,
                          std::optional<std::string_view> key, std::string_view defaultValue,
                          char* buffer, std::size_t size) override {
        return m_profile.GetString(file, section, key, defaultValue, buffer, size);
    }
    std::uint32_t GetInt(const std::string& file, std::string_view section, std::string_view key,
                         int defaultValue) override {
        return m_profile.GetInt(file, section, key, defaultValue);
    }
    bool WriteString(const std::string& file, std::optional<std::string_view> section,
                     std::optional<std::string_view> key,
                     std::optional<std::string_view> value) override {
        ++changes;
        return m_profile.WriteString(file, section, key, value);
    }
    bool WriteKeys(const std::string& file, std::string_view section,
                   const std::vector<std::pair<std::string, std::string>>& keys) override {
        ++changes;
        return m_profile.WriteKeys(file, section, keys);
    }
    bool GetStruct(const std::string& file, std::string_view section, std::string_view key,
                   void* data, std::size_t size) override {
        return m_profile.GetStruct(file, section, key, data, size);
    }
    bool WriteStruct(const std::string& file, std::string_view section, std::string_view key,
                     const void* data, std::size_t size) override {
        ++changes;
        return m_profile.WriteStruct(file, section, key, data, size);
    }

    int changes = 0;

private:
    IniProfile m_profile;
};

// A damaged "Count" loads as the most processes there may be; storing them
// must not replace the file once per key, which took seconds.
TEST(ProcessListStore, EachProcessIsOneChangeOfTheFile) {
    TempFolder folder;
    CountingProfile profile;
    const std::string file = folder.File("process.ini");
    folder.Write("process.ini", "[Process]\r\nCount=100000000\r\n[1]\r\nProcess=p\r\n");
    ProcessList list;
    list.LoadProcesses(profile, file);
    ASSERT_EQ(list.Count(), ProcessList::kMaxProcesses);

    ASSERT_TRUE(list.StoreProcesses(profile, file));
    // The old section, "Count", then one per process.
    EXPECT_EQ(profile.changes, 2 + static_cast<int>(ProcessList::kMaxProcesses));
    const std::string text = folder.Read("process.ini");
    EXPECT_EQ(text.rfind("[Process]\r\nCount=1000\r\n[1]\r\nProcess=p\r\nParameter=\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\n[1000]\r\nProcess=\r\n"), std::string::npos);
}

}  // namespace
