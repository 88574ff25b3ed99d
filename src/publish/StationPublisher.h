#pragma once

// StationPublisher carries out the outputs that follow a stored record.

#include "app/RecordPublisher.h"

struct AppContext;

// The program's outputs after each stored record: the HTML current-values
// page now; the uploads arrive with their own classes.
class StationPublisher final : public RecordPublisher {
public:
    explicit StationPublisher(AppContext& context) : m_context(context) {}

    void HttpUpload(const StationView& station, const std::string& line) override;
    void WriteHtmlPage(const StationView& station) override;
    void AwekasUpload(const StationView& station) override;

private:
    AppContext& m_context;
};
