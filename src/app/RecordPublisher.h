#pragma once

#include <string>

class CWetterDoc;

// The outputs that follow every stored record, after the data files and the
// current-values file, in this order. Each decides for itself whether it is
// switched on and whether it runs while the initialisation reads the logger.
// Called on the user-interface thread.
class RecordPublisher {
public:
    virtual ~RecordPublisher() = default;
    // The HTTP upload of the record line (only called while the upload is active).
    virtual void HttpUpload(CWetterDoc& document, const std::string& line) = 0;
    // The HTML current-values page.
    virtual void WriteHtmlPage(CWetterDoc& document) = 0;
    // The AWEKAS upload.
    virtual void AwekasUpload(CWetterDoc& document) = 0;
};
