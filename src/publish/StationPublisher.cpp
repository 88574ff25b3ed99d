#include "publish/StationPublisher.h"

#include "app/AppContext.h"
#include "comm/ProcessValues.h"
#include "publish/CHTMLWriter.h"

void StationPublisher::HttpUpload(const StationView&, const std::string&) {}

void StationPublisher::WriteHtmlPage(const StationView& station) {
    CHTMLWriter(m_context.Files(), m_context.paths, m_context.ui,
                m_context.process.initialisationRunning)
        .WritePage(station);
}

void StationPublisher::AwekasUpload(const StationView&) {}
