#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileStore.h"

class CAktuell;
class ProgramPaths;

// What HTML.ini configures for the current-values page: a location text, the
// chosen sensor names, a picture path and a free text. Multi-line texts keep
// CR LF between their lines. The configuration dialog fills these fields and
// saves them; the page itself reads HTML.ini line by line (CHTMLWriter), so a
// file edited by hand reads the same way it did under the Windows program.
struct HtmlSettings {
    std::string location;
    std::vector<std::string> sensors;  // in the order of the dialog's selected list
    std::string picture;               // a ".jpg" path, or empty
    std::string text;

    bool operator==(const HtmlSettings&) const = default;
};

// Files beyond this size are refused: the page copies HTML.ini into memory.
inline constexpr std::size_t kMaxHtmlIniBytes = 4 * 1024 * 1024;

// The lines of HTML.ini as the Windows program read them through a text-mode
// stream: split at LF, one CR in front of the LF dropped (CR CR LF leaves a CR);
// a last line without LF counts when it is not empty.
std::vector<std::string_view> HtmlIniLines(std::string_view bytes);

// HTML.ini in the program folder.
std::string HtmlSettingsPath(const ProgramPaths& paths);

// The fields the dialog offers when there is no HTML.ini (empty selection and picture).
HtmlSettings DefaultHtmlSettings();

// The fields of HTML.ini's bytes. Each section starts after the first line that
// holds its marker and ends at the next line holding "[Section" (text in front
// of that marker still belongs to it) or at the end of the file; lines lose
// their line ends, including the extra CR that a text-mode write leaves.
// Missing sections give empty fields; empty sensor lines are skipped.
HtmlSettings ParseHtmlSettings(std::string_view bytes);

// The bytes of HTML.ini: each marker on a line of its own, CR LF line ends
// (lone LFs of the texts become CR LF), the location closed by a line end so
// that the next marker never shares its last line.
std::string HtmlSettingsBytes(const HtmlSettings& settings);

// The names the dialog offers for a station's current values: each sensor's
// name, since that is what the page looks for in HTML.ini (an identifier like
// "TE" would select nothing), in sensor order and once; a sensor without a
// name cannot be chosen.
std::vector<std::string> HtmlSensorNames(const std::vector<std::unique_ptr<CAktuell>>& values);

// `offered` without the names already chosen, so that a name is never in both lists.
std::vector<std::string> AvailableHtmlSensors(const std::vector<std::string>& offered,
                                              const std::vector<std::string>& chosen);

// The bytes of HTML.ini as read from `path`, at most kMaxHtmlIniBytes.
struct HtmlIniBytes {
    int error = 0;  // errno; ENOENT or ENOTDIR when there is no HTML.ini, EFBIG when too large
    bool missing = false;  // the file does not exist (the default page applies)
    std::string bytes;
    explicit operator bool() const { return error == 0; }
};
HtmlIniBytes ReadHtmlIni(FileStore& files, const std::string& path);

// Reads `path` into `settings`; the defaults when the file does not exist (no
// error then) or cannot be read (its errno is returned).
FileStore::Result LoadHtmlSettings(FileStore& files, const std::string& path,
                                   HtmlSettings& settings);

// Replaces `path` by the bytes of `settings` atomically and synced; on failure
// the old file stays as it was.
FileStore::Result SaveHtmlSettings(FileStore& files, const std::string& path,
                                   const HtmlSettings& settings);
