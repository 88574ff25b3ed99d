#include "app/ProcessList.h"

#include <algorithm>
#include <optional>

#include "platform/Profile.h"

namespace {
constexpr std::string_view kCountSection = "Process";
constexpr std::string_view kCountKey = "Count";
constexpr std::string_view kProgramKey = "Process";
constexpr std::string_view kParameterKey = "Parameter";
constexpr std::string_view kExecKey = "Ausfuehrbedingung";
constexpr std::string_view kReleaseKey = "Resetbedingung";

// "1", "2", ...: the names process sections are written with.
bool IsProcessNumber(std::string_view name) {
    if (name.empty() || name.front() == '0') return false;
    return std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string> SectionNames(Profile& profile, const std::string& file) {
    std::vector<char> buffer(4096);
    for (;;) {
        const std::size_t length =
            profile.GetString(file, std::nullopt, std::nullopt, "", buffer.data(), buffer.size());
        // A list that does not fit comes back cut at size-2.
        if (length + 2 >= buffer.size() && buffer.size() < (std::size_t{1} << 26)) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        std::vector<std::string> names;
        for (std::size_t pos = 0; pos < length;) {
            const std::string name(buffer.data() + pos);
            pos += name.size() + 1;
            names.push_back(name);
        }
        return names;
    }
}
}  // namespace

void ProcessList::LoadProcesses(Profile& profile, const std::string& file) {
    const int count = profile.ReadInt(file, kCountSection, kCountKey, 0);
    const std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
    for (std::size_t number = 1; number <= std::min(wanted, kMaxProcesses); ++number) {
        const std::string section = std::to_string(number);
        ProcessTexts texts;
        texts.program = profile.ReadText(file, section, kProgramKey, "", kMaxTextLength);
        texts.parameter = profile.ReadText(file, section, kParameterKey, "", kMaxTextLength);
        texts.execCondition = profile.ReadText(file, section, kExecKey, "", kMaxTextLength);
        texts.releaseCondition = profile.ReadText(file, section, kReleaseKey, "", kMaxTextLength);
        Append(texts);
    }
}

bool ProcessList::StoreProcesses(Profile& profile, const std::string& file) const {
    bool written = true;
    // Every old section goes, also those a hand edit left past "Count".
    for (const std::string& name : SectionNames(profile, file))
        if (IsProcessNumber(name))
            written = profile.WriteString(file, name, std::nullopt, std::nullopt) && written;
    written = profile.WriteText(file, kCountSection, kCountKey, std::to_string(Count())) && written;
    for (std::size_t i = 0; i < m_processes.size(); ++i) {
        const CProcess& process = *m_processes[i];
        // One change of the file per process: key by key, a list near the
        // limit replaced the file four thousand times.
        const std::vector<std::pair<std::string, std::string>> keys = {
            {std::string(kProgramKey), ProfileValue(process.Program)},
            {std::string(kParameterKey), ProfileValue(process.Parameter)},
            {std::string(kExecKey), ProfileValue(process.ExecCondition)},
            {std::string(kReleaseKey), ProfileValue(process.ReleaseCondition)}};
        written = profile.WriteKeys(file, std::to_string(i + 1), keys) && written;
    }
    return written;
}

CProcess& ProcessList::Append(const ProcessTexts& texts) {
    auto process = std::make_unique<CProcess>();
    TakeTexts(*process, texts);
    m_processes.push_back(std::move(process));
    return *m_processes.back();
}

void ProcessList::Edit(std::size_t index, const ProcessTexts& texts) {
    TakeTexts(At(index), texts);
}

std::unique_ptr<CProcess> ProcessList::Remove(std::size_t index) {
    if (index >= m_processes.size()) return nullptr;
    std::unique_ptr<CProcess> removed = std::move(m_processes[index]);
    m_processes.erase(m_processes.begin() + static_cast<std::ptrdiff_t>(index));
    return removed;
}

ProcessTexts ProcessList::TextsOf(const CProcess& process) {
    return {process.Program, process.Parameter, process.ExecCondition, process.ReleaseCondition};
}

std::string ProcessList::CleanText(std::string_view text) {
    std::string clean(text.substr(0, kMaxTextLength));
    std::replace_if(
        clean.begin(), clean.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; },
        ' ');
    return clean;
}

std::string ProcessList::ProfileValue(std::string_view text) { return ::ProfileValue(text); }

void ProcessList::TakeTexts(CProcess& process, const ProcessTexts& texts) {
    process.Program = CleanText(texts.program);
    process.Parameter = CleanText(texts.parameter);
    process.ExecCondition = CleanText(texts.execCondition);
    process.ReleaseCondition = CleanText(texts.releaseCondition);
    process.NoRelease = process.ReleaseCondition.empty() ? 1 : 0;
}
