#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/CProcess.h"

class Profile;

// The four texts of a process as the dialogs edit them.
struct ProcessTexts {
    std::string program;
    std::string parameter;
    std::string execCondition;
    std::string releaseCondition;

    bool operator==(const ProcessTexts&) const = default;
};

// A station's processes in process-number order (number 1 first) and their
// settings file: "Process"/"Count", then sections "1".."Count" with the keys
// "Process", "Parameter", "Ausfuehrbedingung" and "Resetbedingung".
class ProcessList {
public:
    // The longest text a process keeps (and reads back from the file).
    static constexpr std::size_t kMaxTextLength = 999;
    // A damaged "Count" must not make loading run for hours.
    static constexpr std::size_t kMaxProcesses = 1000;

    // Appends a process for each section 1..Count of `file`; a missing file has none.
    void LoadProcesses(Profile& profile, const std::string& file);
    // Removes every process section of `file`, then writes "Count" and each
    // process under its number. False when the file could not be written.
    bool StoreProcesses(Profile& profile, const std::string& file) const;

    // A new process at the end; it is ready (not waiting).
    CProcess& Append(const ProcessTexts& texts);
    // Takes over the texts and recomputes NoRelease; Waiting is kept.
    void Edit(std::size_t index, const ProcessTexts& texts);
    // Nothing when `index` is past the end.
    std::unique_ptr<CProcess> Remove(std::size_t index);

    std::size_t Count() const { return m_processes.size(); }
    CProcess& At(std::size_t index) const { return *m_processes.at(index); }
    const std::vector<std::unique_ptr<CProcess>>& Processes() const { return m_processes; }

    static ProcessTexts TextsOf(const CProcess& process);
    // What a process keeps of a typed text: line breaks (which would end the
    // settings line) become spaces, and it is cut to kMaxTextLength.
    static std::string CleanText(std::string_view text);
    // The value to write so that the profile reads `text` back unchanged:
    // outer blanks or an outer pair of quotes get one more pair of quotes.
    static std::string ProfileValue(std::string_view text);

private:
    static void TakeTexts(CProcess& process, const ProcessTexts& texts);

    std::vector<std::unique_ptr<CProcess>> m_processes;
};
