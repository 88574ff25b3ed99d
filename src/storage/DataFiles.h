#pragma once

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileStore.h"

// The monthly data files of a folder: their names, the gap lines that fill
// missing storage intervals, appending a record safely, and finding the last
// stored record again. Works for any folder and file-name suffix, so the data
// folder (suffix ".orb" or ".A1.orb") and the additional folder (suffix
// ".orb.csv") share it. Holds no state besides the file store.
class DataFiles {
public:
    // The first read of a file's tail; it grows until a whole line is found.
    static constexpr std::size_t kTailBuffer = 4096;

    explicit DataFiles(FileStore& files) : m_files(files) {}

    // folder + "/" + "MM_YYYY" + suffix.
    static std::string FileName(const std::string& folder, int month, int year,
                                std::string_view suffix);
    // The name older versions wrote: folder + "/" + "MM_YY" + suffix.
    static std::string TwoDigitYearFileName(const std::string& folder, int month, int year,
                                            std::string_view suffix);
    // FileName of the month (local time) that `time` falls into.
    static std::string MonthFileName(const std::string& folder, std::time_t time,
                                     std::string_view suffix);

    // "TE" + value with `decimals` decimals + "," ("%s%.*f,"), appended to `line`,
    // independent of the process locale.
    static void AppendField(std::string& line, std::string_view identifier, float value,
                            int decimals);
    // A gap line: the time prefix of `time`, `gapFields` ("TE-99999,FE-99999,"), CR LF.
    static std::string GapLine(std::time_t time, std::string_view gapFields);
    // The bytes a text-mode stream writes for `text`: every LF becomes CR LF.
    static std::string TextModeBytes(std::string_view text);

    // The outcome of FillGap: where the record goes and which gap lines precede it there.
    struct Gap {
        FileStore::Result result;  // the first failure (EINVAL: the record is older than `last`)
        std::string path;          // the file the record is to be appended to
        std::string pending;  // gap lines for `path`, to be written with the record in one append
        explicit operator bool() const { return static_cast<bool>(result); }
    };

    // Gap lines at whole `interval`s after `last` up to (not including) the
    // last interval before `next`. A record within one interval of `last`
    // goes into `last`'s month file, even across a month change. Gap lines of
    // months before the record's file are appended to their files here;
    // those of the record's file come back in `pending`. `gapFields` is the
    // sensor part of a gap line. Fails when `next` is earlier than `last` or a
    // month's gap lines cannot be written. An interval of 0 or less fills nothing.
    Gap FillGap(const std::string& folder, std::string_view suffix, std::time_t last,
                std::time_t next, int interval, std::string_view gapFields, bool sync);

    // Appends `lines` to `path` in one write. When the file ends in a torn
    // line (no LF at its end) the write starts with CR LF, so the new record
    // begins on a line of its own.
    FileStore::AppendResult AppendLines(const std::string& path, std::string_view lines, bool sync);

    struct LastRecord {
        std::time_t time = 0;
        std::string line;  // without its line end
        std::string path;  // the file it was found in
    };

    // The last complete record in `folder`: from the month of `now` back month
    // by month (the four-digit-year name, then the two-digit one) until 1990.
    // A file without a complete record (empty, or only a torn line) counts as
    // missing. Two-digit years up to 90 are 2000 + year.
    std::optional<LastRecord> FindLastRecord(const std::string& folder, std::string_view suffix,
                                             std::time_t now);
    // The newest month file of `folder` under the names FindLastRecord looks
    // for, whether or not it holds a record.
    std::optional<std::string> NewestFile(const std::string& folder, std::string_view suffix,
                                          std::time_t now);

    // The last complete record among the lines of `tail`, the end of a file.
    // A last line without LF is torn and skipped, as is every line whose time
    // does not parse or that does not end with ",". Without `wholeFile` the
    // first line of `tail` may be cut and is not used; `needMore` then tells
    // that no line was found in the rest.
    struct TailLine {
        std::time_t time = 0;
        std::string line;
    };
    static std::optional<TailLine> LastCompleteLine(std::string_view tail, bool wholeFile,
                                                    bool& needMore);

    FileStore& Files() { return m_files; }

private:
    std::optional<TailLine> LastLineOfFile(const std::string& path);

    FileStore& m_files;
};
