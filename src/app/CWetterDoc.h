#pragma once

// CWetterDoc ("Wetter": weather) is the station document.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppContext.h"
#include "app/StationView.h"
#include "calc/CFormelParser.h"
#include "calc/CVergleichParser.h"
#include "model/StationSettings.h"
#include "storage/CEinlesen.h"
#include "storage/DataFiles.h"
#include "storage/FailureEpisode.h"
#include "storage/KeptRecords.h"
#include "storage/SensorSet.h"

class AcquisitionLoop;
class CSensoren;
class DocumentView;
class FileStore;
class ProcessControl;

// One weather station: its settings, its sensors and current values, and the
// views that show it. Lives on the user-interface thread.
class CWetterDoc final : public StationView {
public:
    explicit CWetterDoc(AppContext& context);
    ~CWetterDoc() override;
    CWetterDoc(const CWetterDoc&) = delete;
    CWetterDoc& operator=(const CWetterDoc&) = delete;

    // Reads the station settings file (writing the default one first when it
    // is missing), builds the transports and sets the process-wide values.
    void LoadSettings();
    void WriteDefaultSettings();

    // The acquisition life cycle. OnNewDocument decides at start: first-time
    // setup (no data file yet), connecting, or only the stored data.
    bool OnNewDocument();
    // Connects to the station (`automatic`: from the reconnect timer, when no
    // window may wait for a person); true when the acquisition runs.
    bool StartAcquisition(bool automatic);
    void StopAcquisition();
    bool RunInitialisation();
    void OpenStoredData();
    // "Disconnenct": only the link goes down.
    void Disconnect();
    bool PortOpen() const { return m_portOpen; }
    bool AcquisitionRunning() const { return m_acquisitionRunning; }

    // Sensors of the station, for the identifiers in SensorIdentifiers().
    void LoadSensorDefinitions();
    void LoadVirtualSensors();
    CSensoren* FindSensor(const std::string& identifier);
    bool DeleteSensor(const std::string& identifier);
    void ClearHistories();
    // Tells every view that `sensor` changed; with `reload` the views showing it read again.
    void RefreshSensorInViews(const CSensoren& sensor, bool reload);

    // Record reception: one line from the station (live, or read from its
    // logger with `force` and `logger` set) becomes current values and, when
    // due, a stored record with its outputs.
    void ProcessLine(std::string_view line, bool force, bool logger);

    // The record time of a line and where its fields start; nothing when a
    // logger station's line has no valid time. A station without logger
    // takes the PC's time.
    struct RecordTime {
        std::time_t time = 0;
        std::size_t fieldsStart = 0;
    };
    std::optional<RecordTime> ParseRecordTime(std::string_view line);
    // The first current value named `identifier` takes the value (a logger
    // record changes only the raw value); an unknown identifier is ignored.
    void UpdateCurrentValue(std::string_view identifier, float value, std::time_t time,
                            bool logger);
    // Evaluates every virtual sensor over this record's measured values; each
    // takes its result as a live value, for logger records too.
    void ComputeVirtualSensors(std::time_t recordTime);
    // Appends the record (after gap lines) to its month's data file, then
    // writes the outputs that follow a stored record. Live records are synced
    // to disk before it returns. A record the data file does not take is kept
    // and written, in order, before the next record it takes.
    void StoreRecord(std::time_t recordTime, bool logger);
    // The data file of the PC's current month.
    std::string CurrentFileName();
    // The last complete record in the data folder, searched from the PC's current month back.
    std::optional<DataFiles::LastRecord> FindLastRecord();

    // Hands `text` to the main window's command exchange; true at once.
    bool SendStationCommand(const std::string& text);
    enum class ConnectionState {
        // The station's clock is wrong: a message.
        kWrongStationClock = 1,
        // No data within the time-out: the error log, then a reconnect or a message.
        kNoData = 2,
    };
    void ReportConnectionState(ConnectionState state);
    // Tells every view, and the multi display, that new values arrived.
    void UpdateAllViews();

    // The multi display window (owned; none while it is closed). It is no view
    // of the document's: CountViews and the diagrams' lists leave it out.
    DocumentView* MultiDisplay() const { return m_multiDisplay.get(); }
    void SetMultiDisplay(std::unique_ptr<DocumentView> display);
    // Gives the window up without destroying it, for a window that closes itself.
    std::unique_ptr<DocumentView> ReleaseMultiDisplay();
    // "Multi"/"Aktiv" ("1" open, "0" closed): kept in the settings and written
    // to the station file; false when the file could not be written.
    bool SetMultiDisplayFlag(bool open);

    // Views.
    void AttachView(DocumentView* view);
    void DetachView(DocumentView* view);
    int CountViews() const;
    // A station's last window cannot be closed by itself.
    bool CanCloseFrame() const;

    // Settings files of this station.
    std::string StationFile() const;
    std::string DefineFile() const;
    std::string InternFile() const;

    // The daily precipitation reset hour; rebuilds the "!R%d" command.
    void SetResetHour(int hour);
    // The connection dialog's choice: the connection type, and the start flag
    // with it (a station reached over a link is connected at start).
    void TakeConnectionType(ConnectionType type);

    const StationSettings& Settings() const override { return m_settings; }
    const ConnectionSettings& Connection() const { return m_settings.connection; }
    const StorageSettings& Storage() const { return m_settings.storage; }
    // The storage dialogs change the additional layout at once, before any load.
    StorageSettings& Storage() { return m_settings.storage; }
    const InterpretationSettings& Interpretation() const { return m_settings.interpretation; }

    std::vector<std::string>& SensorIdentifiers() { return m_sensorIdentifiers; }
    const std::vector<std::string>& SensorIdentifiers() const override {
        return m_sensorIdentifiers;
    }
    std::vector<std::string>& InitIdentifiers() { return m_initIdentifiers; }
    SensorSet& Sensors() { return m_sensors; }
    const SensorSet& Sensors() const override { return m_sensors; }
    const std::string& DataFolder() const override { return m_settings.storage.dataFolder; }
    const std::string& DataFileExtension() const override {
        return m_settings.processWide.dataFileExtension;
    }
    const std::vector<DocumentView*>& Views() const { return m_views; }
    std::optional<std::int32_t> SunshineSeconds(const std::string& identifier) const override;

    std::time_t LastStoredTime() const override { return m_lastStoredTime; }
    // The last record found in the data folder: the next stored record continues from it.
    void SetLastStoredTime(std::time_t time) {
        m_lastStoredTime = time;
        m_lastStoredKnown = true;
    }
    std::time_t LastReceivedTime() const override { return m_lastReceivedTime; }
    void SetLastReceivedTime(std::time_t time) { m_lastReceivedTime = time; }
    // At least one record stored since start: later records continue from the last stored time.
    bool RecordStoredSinceStart() const { return m_recordStored; }
    void SetRecordStoredSinceStart(bool stored) { m_recordStored = stored; }
    bool ClockWarningShown() const { return m_clockWarningShown; }
    // Set while an automatic reconnect waits for the station's first line.
    bool Reconnecting() const { return m_reconnecting; }
    void SetReconnecting(bool reconnecting) { m_reconnecting = reconnecting; }
    int LastResetDay() const { return m_lastResetDay; }

    // Variables: the sensor identifiers of the latest line with their values.
    CFormelParser& FormelParser() { return m_formelParser; }
    CVergleichParser& VergleichParser() { return m_vergleichParser; }

    // The station's processes, loaded with the document.
    ProcessControl& Processes() { return *m_processControl; }
    // Process control over the comparison variables of the oldest record whose
    // call is still posted (the current ones when none is).
    void RunProcessControl();

    AppContext& Context() { return m_context; }
    FileStore& Files();
    // What a data-file reader of this station reads with.
    CEinlesen::Sources ReadingSources();

private:
    StationSettingsFiles SettingsFiles() const;
    void BuildTransports();
    // False when the record must not be processed because its time is too far from the PC's.
    bool CheckRecordClock(std::string_view line, std::time_t recordTime, bool logger);
    std::string BuildRecordLine(std::time_t recordTime);
    // The newest record taken for storing: stored, or kept for the data file.
    std::time_t LastTakenTime() const;
    // The records kept back first, then this one; a record the file does not take is
    // kept. False when a write failed.
    bool StoreInDataFile(std::time_t recordTime, const std::string& line, bool sync);
    // Appends one record, after the gap lines from the last stored record when that is
    // known; `path` tells the file.
    FileStore::AppendResult AppendRecord(std::time_t recordTime, const std::string& line, bool sync,
                                         std::string& path);
    void WriteKeptRecords();
    void KeepRecord(std::time_t recordTime, const std::string& line, bool sync);
    // Notes a failed write of the file that `file` watches: the output window and the
    // error log hear of it (with `note`) when the file starts failing; the message box
    // comes once until every file is written again.
    void NoteStorageError(FailureEpisode& file, const char* place, const std::string& path,
                          int error, const std::string& note = {});
    void ShowStorageError();
    std::string MessageCaption() const;
    // A connect failure: a box for a person, or, during an automatic reconnect,
    // the output window and the error log so that nothing waits.
    void ReportConnectFailure(const std::string& text);

    AppContext& m_context;
    StationSettings m_settings;
    std::vector<std::string> m_sensorIdentifiers;
    std::vector<std::string> m_initIdentifiers;
    SensorSet m_sensors;
    std::vector<DocumentView*> m_views;
    CFormelParser m_formelParser;
    CVergleichParser m_vergleichParser;
    std::unique_ptr<ProcessControl> m_processControl;
    // The condition values of each record whose process control is still posted.
    std::deque<CVergleichParser> m_processValues;
    std::unique_ptr<DocumentView> m_multiDisplay;

    // Acquisition state.
    std::unique_ptr<AcquisitionLoop> m_acquisition;
    bool m_portOpen = false;
    bool m_acquisitionRunning = false;
    bool m_recordStored = false;
    bool m_reconnecting = false;
    bool m_clockWarningShown = false;
    bool m_viewsInitialised = false;
    std::time_t m_lastStoredTime = 0;
    std::time_t m_lastReceivedTime = 0;
    int m_lastResetDay = 0;

    // A last stored record is known (found in the data folder or stored since start):
    // the next record continues from it, after gap lines.
    bool m_lastStoredKnown = false;
    KeptRecords m_keptRecords;
    std::size_t m_givenUp = 0;  // kept records given up for room in this episode
    // The additional folder's own storing state: its gap lines stand for rows it missed.
    std::time_t m_additionalLastTime = 0;
    bool m_additionalStored = false;

    // Write failures: each file reported once until it is written again; the message
    // box once until every file is.
    FailureEpisode m_dataFileFailure;
    FailureEpisode m_currentFileFailure;
    FailureEpisode m_storageFailure;
    std::string m_storageMessage;  // waiting to be shown at the end of StoreRecord
    bool m_storageMessageShowing = false;
};
