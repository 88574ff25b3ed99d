#pragma once

#include <string>

class StationView;

// The outputs that follow every stored record, after the data files and the
// current-values file, in this order. Each decides for itself whether it is
// switched on and whether it runs while the initialisation reads the logger.
// Called on the user-interface thread; they read the station, never change it.
class RecordPublisher {
public:
    virtual ~RecordPublisher() = default;
    // The HTTP upload of the record line (only called while the upload is active).
    virtual void HttpUpload(const StationView& station, const std::string& line) = 0;
    // The HTML current-values page.
    virtual void WriteHtmlPage(const StationView& station) = 0;
    // The AWEKAS upload.
    virtual void AwekasUpload(const StationView& station) = 0;
};
