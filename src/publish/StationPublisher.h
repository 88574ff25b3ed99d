#pragma once

// StationPublisher carries out the outputs that follow a stored record.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/RecordPublisher.h"
#include "publish/AwekasLog.h"
#include "publish/AwekasSettings.h"
#include "publish/CHttpUpload.h"
#include "publish/PublishWorker.h"
#include "storage/FailureEpisode.h"

struct AppContext;

// The program's outputs after each stored record: the HTML current-values page
// on the calling thread, the uploads on a worker thread of their own, in record
// order, once the record's page has been written. Like the page, the AWEKAS
// upload waits for live records: none while the initialisation runs. Reads the
// upload settings when it is made (at program start).
class StationPublisher final : public RecordPublisher {
public:
    explicit StationPublisher(AppContext& context);
    // Gives the waiting uploads a few seconds, then drops the rest with a note.
    ~StationPublisher() override;
    StationPublisher(const StationPublisher&) = delete;
    StationPublisher& operator=(const StationPublisher&) = delete;

    void HttpUpload(const StationView& station, const std::string& line) override;
    void WriteHtmlPage(const StationView& station) override;
    void AwekasUpload(const StationView& station) override;

    // The HTTP upload settings record of the process (user-interface thread).
    CHttpUpload& HttpUploadRecord() { return m_httpUpload; }
    // The AWEKAS settings of the process (user-interface thread).
    AwekasSettings& AwekasSettingsRecord() { return m_awekas; }
    PublishWorker& Worker() { return *m_worker; }

    // The AWEKAS dialog's "Check connection": an upload of `station` with the
    // settings saved in awekas.ini, sent on the worker after what waits there;
    // `replied` gets the reply (empty when none came) on the user-interface
    // thread. False when the saved settings have the upload switched off.
    bool CheckAwekasConnection(const StationView& station,
                               std::function<void(const std::string& reply)> replied);

private:
    // Hands the uploads held back for the record to the worker.
    void QueueHeldUploads();

    AppContext& m_context;
    CHttpUpload m_httpUpload;
    AwekasSettings m_awekas;
    AwekasLog m_awekasLog;
    std::vector<std::pair<std::string, PublishWorker::Job>> m_held;
    // By page file: each station's page is reported on its own.
    std::map<std::string, FailureEpisode> m_pageFailures;
    std::unique_ptr<PublishWorker> m_worker;
};
