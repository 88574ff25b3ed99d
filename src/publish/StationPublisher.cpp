#include "publish/StationPublisher.h"

#include "app/AppContext.h"
#include "app/StationView.h"
#include "comm/ProcessValues.h"
#include "model/StationSettings.h"
#include "platform/CurlWebSession.h"
#include "platform/EventQueue.h"
#include "platform/ProgramPaths.h"
#include "publish/CAwekas.h"
#include "publish/CHTMLWriter.h"
#include "publish/CWebAccess.h"

StationPublisher::StationPublisher(AppContext& context)
    : m_context(context),
      m_httpUpload(context.profile, CHttpUpload::SettingsFile(context.paths)),
      m_awekas(LoadAwekasSettings(context.profile, AwekasSettingsPath(context.paths))),
      m_awekasLog(context.Files(), context.paths.InFolder("AwekasLog.txt"), context.clock,
                  context.events, context.ui, context.paths.ProgramName()),
      m_worker(std::make_unique<PublishWorker>(context.errorLog)) {
    m_httpUpload.LoadUploadSettings();
}

StationPublisher::~StationPublisher() {
    QueueHeldUploads();
    m_worker->Stop();
}

void StationPublisher::HttpUpload(const StationView&, const std::string& line) {
    std::string label = line;
    while (!label.empty() && (label.back() == '\n' || label.back() == '\r')) label.pop_back();
    // A copy: the settings dialog may change the record while the upload waits.
    m_held.emplace_back("HTTP upload " + label,
                        [settings = m_httpUpload.Settings(), line](std::stop_token stop) {
                            CurlWebSession::Options options;
                            options.stop = stop;
                            CWebAccess access(std::make_unique<CurlWebSession>(options));
                            CHttpUpload::SendRecord(settings, line, access);
                        });
}

void StationPublisher::WriteHtmlPage(const StationView& station) {
    FailureEpisode& failure = m_pageFailures[CHTMLWriter::PageFileName(
        station.DataFolder(), station.Settings().storage.storageId)];
    CHTMLWriter(m_context.Files(), m_context.paths, m_context.ui,
                m_context.process.initialisationRunning, failure)
        .WritePage(station);
    QueueHeldUploads();
}

void StationPublisher::AwekasUpload(const StationView& station) {
    // The map takes current values, and the logger's records leave them unset: sent now,
    // a record would carry missing values (or the last live ones) under an old time.
    if (m_context.process.initialisationRunning) return;
    // The record is taken now; only the sending waits for the worker.
    std::optional<CAwekas> upload = CAwekas::Prepare(m_awekas, station);
    if (!upload) return;
    m_worker->Queue("AWEKAS upload", [this, upload = std::move(*upload)](std::stop_token) {
        upload.Send({{}, m_context.clock, m_awekasLog});
    });
}

bool StationPublisher::CheckAwekasConnection(
    const StationView& station, std::function<void(const std::string& reply)> replied) {
    std::optional<CAwekas> upload = CAwekas::Prepare(
        LoadAwekasSettings(m_context.profile, AwekasSettingsPath(m_context.paths)), station);
    if (!upload) return false;
    return m_worker->Queue("AWEKAS check",
                           [this, upload = std::move(*upload),
                            replied = std::move(replied)](std::stop_token) {
                               std::string reply = upload.Send({{}, m_context.clock, m_awekasLog});
                               m_context.events.Post([replied, reply = std::move(reply)] {
                                   replied(reply);
                               });
                           });
}

void StationPublisher::QueueHeldUploads() {
    for (auto& [label, job] : m_held) m_worker->Queue(std::move(label), std::move(job));
    m_held.clear();
}
