#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CAktuell;
class FailureEpisode;
class FileStore;
class ProgramPaths;
class StationView;
class Ui;

// The current-values page in the data folder, rewritten after every stored
// record: the fixed default layout, or the one HTML.ini configures (location
// text, sensors chosen by name, picture, free text). Bytes stay Windows-1252,
// line ends CR LF. Built for one page; user-interface thread only.
class CHTMLWriter {
public:
    using CurrentValues = std::vector<std::unique_ptr<CAktuell>>;

    // `initialisationRunning` is the process-wide flag of the station initialisation;
    // `pageFailure` outlives the writer and belongs to this page.
    CHTMLWriter(FileStore& files, const ProgramPaths& paths, Ui& ui,
                const std::atomic<bool>& initialisationRunning, FailureEpisode& pageFailure);
    virtual ~CHTMLWriter() = default;

    // Writes the page of `station`; true also when nothing was written because
    // the initialisation runs. A failure leaves the old page as it was, writes
    // the place and cause to the output window and shows the system's text
    // unless that message is already on screen; a page that keeps failing is
    // reported only once, until a page is written again.
    bool WritePage(const StationView& station);

    // "AktWert.Html" in the data folder, or "AktWert.<storage id>.html".
    static std::string PageFileName(const std::string& dataFolder, const std::string& storageId);
    // The page bytes without HTML.ini.
    static std::string DefaultPage(const CurrentValues& values);
    // The page bytes from HTML.ini's bytes.
    static std::string ConfiguredPage(std::string_view config, const CurrentValues& values);

private:
    void ReportPageError(int error);
    void ReportConfigError(int error);

    FileStore& m_files;
    const ProgramPaths& m_paths;
    Ui& m_ui;
    const std::atomic<bool>& m_initialisationRunning;
    FailureEpisode& m_pageFailure;
};
