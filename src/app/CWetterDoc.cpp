#include "app/CWetterDoc.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "app/AcquisitionUi.h"
#include "app/DocumentHost.h"
#include "app/DocumentView.h"
#include "app/Forwarding.h"
#include "app/ProcessControl.h"
#include "app/RecordPublisher.h"
#include "calc/UnitFile.h"
#include "calc/VirtualSensors.h"
#include "comm/AcquisitionLoop.h"
#include "comm/ProcessValues.h"
#include "comm/StationProtocol.h"
#include "comm/TransportFactory.h"
#include "model/CSumHour.h"
#include "model/Colours.h"
#include "model/ErrorLog.h"
#include "model/OutputList.h"
#include "model/ShowWarning.h"
#include "platform/Clock.h"
#include "platform/EventQueue.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/ProgramPaths.h"
#include "platform/Timers.h"
#include "platform/Ui.h"
#include "storage/AdditionalStorage.h"
#include "storage/RecordLine.h"

namespace {
constexpr std::string_view kWrongTimeText =
    "Error! \nWeatherstation has wrong time. Please restart the software to set the clock to the "
    "correct time.";
constexpr std::string_view kNoDataText =
    "Receive no data!\n\nAction:\n- Is the selected port OK?\n- Is the connection to the "
    "weatherstation OK?";
// "Eroor" as owners know the message; kept on purpose.
constexpr std::string_view kWriteErrorText =
    "Eroor writing to the data folder! \r\nPlease ensure that the folder exists and it isn't "
    "write protcted!!\r\n";
constexpr std::uint32_t kColourInvalidData = Rgb(0x32, 0x96, 0xD2);
constexpr const char* kRecordTimeFormat = "%H:%M:%S,%d.%m.%y";

// The last received time before any record: 1 January 1970, 01:01:01 local time.
std::time_t InitialReceivedTime() {
    std::tm fields{};
    fields.tm_year = 70;
    fields.tm_mon = 0;
    fields.tm_mday = 1;
    fields.tm_hour = 1;
    fields.tm_min = 1;
    fields.tm_sec = 1;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}
}  // namespace

CWetterDoc::CWetterDoc(AppContext& context)
    : m_context(context),
      m_processControl(std::make_unique<ProcessControl>(context, *this)),
      m_lastReceivedTime(InitialReceivedTime()) {
    LoadSettings();
    // The unit groups come with the installation: a new station folder gets
    // them here. Without them the unit lists stay empty, as for a missing file.
    (void)UnitFile::WriteDefaultWhenMissing(context.profile, context.paths.Named("unit.ini"));
    m_processControl->LoadProcesses();
}

CWetterDoc::~CWetterDoc() {
    // What the data file never takes is lost with the program: the log says so.
    WriteKeptRecords();
    if (!m_keptRecords.Empty())
        m_context.errorLog.WriteErrorLog(
            std::to_string(m_keptRecords.Size()) +
            " records could not be written to the data file and are lost: from " +
            FormatLocalTime(m_keptRecords.Oldest().time, kRecordTimeFormat) + " to " +
            FormatLocalTime(m_keptRecords.Newest().time, kRecordTimeFormat) + ".");
    // The window reads this document while it goes.
    m_multiDisplay.reset();
    StopAcquisition();
    m_context.timers.StopAll(this);
}

std::string CWetterDoc::StationFile() const { return m_context.paths.Named("station.ini"); }
std::string CWetterDoc::DefineFile() const { return m_context.paths.Named("define.ini"); }
std::string CWetterDoc::InternFile() const { return m_context.paths.Named("intern.ini"); }

StationSettingsFiles CWetterDoc::SettingsFiles() const {
    return {StationFile(), m_context.paths.InFolder("http_up.ini"),
            m_context.paths.DefaultDataFolder()};
}

void CWetterDoc::WriteDefaultSettings() {
    if (!WriteDefaultStationSettings(m_context.profile, SettingsFiles(),
                                     m_settings.connection.type))
        OutputWrite("CWetterDoc::WriteDefaultSettings: " + StationFile() + " could not be written",
                    kColourError);
}

void CWetterDoc::LoadSettings() {
    const StationSettingsFiles files = SettingsFiles();
    const Profile::FileState state = m_context.profile.StateOf(files.stationFile);
    if (state == Profile::FileState::kMissing) {
        WriteDefaultSettings();
    } else if (state == Profile::FileState::kUnreadable) {
        // An unreadable file is kept: writing the defaults over it would lose the owner's settings.
        OutputWrite("CWetterDoc::LoadSettings: " + files.stationFile + " could not be read",
                    kColourError);
    }
    (void)Files().CreateFolder(files.defaultDataFolder);  // a failure shows when data is written

    ReadStationSettings(m_context.profile, files, m_settings);
    m_context.process.settings = m_settings.processWide;
    BuildTransports();
}

void CWetterDoc::BuildTransports() {
    ProcessValues& process = m_context.process;
    TransportFactory* factory = m_context.transports;
    const ConnectionSettings& c = m_settings.connection;

    std::shared_ptr<CDataBase> transport;
    if (factory != nullptr) {
        switch (c.type) {
            case ConnectionType::kSerial:
                transport = factory->MakeSerial(c.serial);
                break;
            case ConnectionType::kTcp:
                transport = factory->MakeTcp(c.tcpAddress, c.tcpPort);
                break;
            case ConnectionType::kModem:
                transport = factory->MakeModem(c.modem);
                break;
            default:
                break;
        }
    }
    // A link that is up keeps its transport (its reader, its commands, its hang-up)
    // until the next connect takes the new one.
    const std::shared_ptr<CDataBase> current = process.CurrentTransport.Get();
    if (m_portOpen || (current != nullptr && current->IsOpen())) {
        process.NextTransport.Exchange(std::move(transport));
    } else {
        process.NextTransport.Reset();
        // The old transport may still be in a reader's hands; the next connect closes it.
        // A station without a link keeps none, so that connecting does nothing.
        if (auto old = process.CurrentTransport.Exchange(std::move(transport)))
            process.PreviousTransport.Exchange(std::move(old));
    }

    const ForwardSettings& forward = m_settings.processWide.forward;
    const std::shared_ptr<CDataBase> forwarding = process.ForwardTransport.Get();
    if (forward.active && forwarding != nullptr && forwarding->IsOpen()) {
        // Forwarding in progress goes on; its settings change only through its own dialog.
    } else if (forward.active && factory != nullptr) {
        process.ForwardTransport.Exchange(factory->MakeSerial(
            ForwardingLine(forward.line.port, forward.line.baudRate, forward.line)));
    } else {
        process.ForwardTransport.Reset();
    }
}

void CWetterDoc::SetResetHour(int hour) {
    m_settings.interpretation.resetHour = hour;
    m_settings.interpretation.resetCommand = "!R" + std::to_string(hour);
}

void CWetterDoc::TakeConnectionType(ConnectionType type) {
    m_settings.connection.type = type;
    m_settings.interpretation.start = static_cast<int>(type);
}

void CWetterDoc::LoadSensorDefinitions() {
    m_sensors.Load(m_context.profile, DefineFile(), InternFile(), m_sensorIdentifiers);
    for (DocumentView* view : m_views) view->SensorsReplaced();
}

void CWetterDoc::LoadVirtualSensors() {
    m_sensors.LoadVirtualSensors(m_context.profile, InternFile());
    for (DocumentView* view : m_views) view->SensorsReplaced();
}

CSensoren* CWetterDoc::FindSensor(const std::string& identifier) {
    return m_sensors.FindSensor(identifier);
}

bool CWetterDoc::DeleteSensor(const std::string& identifier) {
    for (DocumentView* view : m_views) view->DropSensor(identifier);
    return m_sensors.DeleteSensor(identifier);
}

void CWetterDoc::ClearHistories() { m_sensors.ClearHistories(); }

void CWetterDoc::RefreshSensorInViews(const CSensoren& sensor, bool reload) {
    for (DocumentView* view : m_views) view->SensorChanged(sensor.m_identifier, reload);
}

void CWetterDoc::AttachView(DocumentView* view) {
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) m_views.push_back(view);
}

void CWetterDoc::DetachView(DocumentView* view) { std::erase(m_views, view); }

std::optional<std::int32_t> CWetterDoc::SunshineSeconds(const std::string& identifier) const {
    for (const DocumentView* view : m_views) {
        const CEinlesen* reader = view->Reader();
        if (reader == nullptr) continue;
        if (view->ShowsMomentaryValues()) return std::nullopt;
        return reader->ActivitySecondsOnDay(identifier, LocalTime(m_context.clock.Now()).tm_mday);
    }
    return std::nullopt;
}

int CWetterDoc::CountViews() const { return static_cast<int>(m_views.size()); }

bool CWetterDoc::CanCloseFrame() const { return CountViews() != 1; }

FileStore& CWetterDoc::Files() { return m_context.Files(); }

CEinlesen::Sources CWetterDoc::ReadingSources() {
    return {m_sensors,
            m_context.events,
            m_context.ui,
            Files(),
            m_settings.processWide.dataFileExtension,
            m_context.paths.ProgramName()};
}

std::string CWetterDoc::MessageCaption() const { return m_context.paths.ProgramName(); }

void CWetterDoc::UpdateAllViews() {
    for (DocumentView* view : m_views) view->UpdateView();
    if (m_multiDisplay) m_multiDisplay->UpdateView();
}

void CWetterDoc::SetMultiDisplay(std::unique_ptr<DocumentView> display) {
    m_multiDisplay = std::move(display);
}

std::unique_ptr<DocumentView> CWetterDoc::ReleaseMultiDisplay() {
    return std::move(m_multiDisplay);
}

bool CWetterDoc::SetMultiDisplayFlag(bool open) {
    m_settings.interpretation.multiDisplay = open ? 1 : 0;
    return m_context.profile.WriteText(StationFile(), "Multi", "Aktiv", open ? "1" : "0");
}

bool CWetterDoc::SendStationCommand(const std::string& text) {
    if (m_context.host != nullptr)
        m_context.host->SendCommandWithReply(text, *this, m_context.process.CurrentTransport.Get());
    return true;
}

void CWetterDoc::ReportConnectionState(ConnectionState state) {
    switch (state) {
        case ConnectionState::kWrongStationClock:
            m_context.ui.MessageBox(kWrongTimeText, MessageCaption(), MsgButtons::Ok,
                                    MsgIcon::Error);
            break;
        case ConnectionState::kNoData:
            m_context.errorLog.WriteErrorLog(kNoDataText);
            if (m_context.process.settings.reconnect) {
                if (m_context.host != nullptr) m_context.host->ArmReconnect(*this);
            } else {
                m_context.ui.MessageBox(kNoDataText, MessageCaption(), MsgButtons::Ok,
                                        MsgIcon::Error);
            }
            break;
    }
}

std::optional<CWetterDoc::RecordTime> CWetterDoc::ParseRecordTime(std::string_view line) {
    const RecordLine::TimeTokens tokens = RecordLine::ScanTimeTokens(line);
    if (m_settings.interpretation.withoutLogger != 0) {
        // The station has no clock worth trusting: the PC's time stands for the record.
        const bool both = tokens.haveTime && tokens.haveDate;
        return RecordTime{m_context.clock.Now(), both ? tokens.afterDate : 0};
    }
    const std::optional<std::time_t> time = RecordLine::TokensToTime(tokens);
    if (!time) return std::nullopt;
    return RecordTime{*time, tokens.afterDate};
}

bool CWetterDoc::CheckRecordClock(std::string_view line, std::time_t recordTime, bool logger) {
    // Logger records are old by nature: only one from before the last received record is checked.
    if (logger && recordTime >= m_lastReceivedTime) return true;
    const std::time_t now = m_context.clock.Now();
    const auto difference = static_cast<std::int32_t>(now - recordTime);
    if (std::llabs(difference) < m_context.process.settings.liveClockTolerance) {
        // Agreeing clocks end the episode: a later difference is news again.
        m_clockWarningShown = false;
        return true;
    }
    if (m_clockWarningShown) return false;

    m_context.errorLog.WriteErrorLog(line);
    DocumentHost* host = m_context.host;
    switch (m_context.process.commandLine.clockMode) {
        case ClockMode::kPcSetsStation:
            if (!logger && host != nullptr) host->SetStationClock(*this);
            break;
        case ClockMode::kStationSetsPc:
            if (!logger && host != nullptr) host->SetPcClock(*this, recordTime);
            break;
        case ClockMode::kWarnOnly: {
            // Marked before the boxes, so that lines arriving while they are open stay quiet;
            // the mark lasts until the clocks agree again.
            m_clockWarningShown = true;
            const std::string text =
                "Last valid:" + FormatLocalTime(m_lastReceivedTime, kRecordTimeFormat) +
                " - CurrentPC:" + FormatLocalTime(now, kRecordTimeFormat) + " ";
            m_context.ui.MessageBox(text, MessageCaption(), MsgButtons::Ok, MsgIcon::Warning);
            ReportConnectionState(ConnectionState::kWrongStationClock);
            break;
        }
    }
    return false;
}

void CWetterDoc::UpdateCurrentValue(std::string_view identifier, float value, std::time_t time,
                                    bool logger) {
    for (const auto& current : m_sensors.CurrentValues()) {
        if (current->m_identifier != identifier) continue;
        if (logger)
            current->SetRawValue(value, time);
        else
            current->SetValue(value, time);
        return;
    }
}

void CWetterDoc::ComputeVirtualSensors(std::time_t recordTime) {
    for (const auto& current : m_sensors.CurrentValues()) {
        if (!current->m_virtual || current->m_sensor == nullptr) continue;
        const float value = EvaluateVirtualSensor(m_formelParser, *current->m_sensor);
        // Computed, not measured: a logger record's result enters history and statistics too.
        current->SetValue(value, recordTime);
        // The formula parser does not get it: one virtual sensor never sees another.
        m_vergleichParser.AddVariable(current->m_identifier);
        m_vergleichParser.SetVariable(current->m_identifier, value);
    }
}

void CWetterDoc::ProcessLine(std::string_view line, bool force, bool logger) {
    m_formelParser.ClearVariables();
    m_vergleichParser.ClearVariables();
    const bool hasCr = line.find('\r') != std::string_view::npos;

    const std::optional<RecordTime> parsed = ParseRecordTime(line);
    if (!parsed) return;
    const std::time_t recordTime = parsed->time;
    if (!CheckRecordClock(line, recordTime, logger)) return;
    m_lastReceivedTime = recordTime;

    bool store = force;
    if (hasCr) {
        if (m_settings.interpretation.storeByPc == 0)
            store = store || RecordLine::HasStorageMarker(line);
        else
            store = store || (!m_recordStored && m_keptRecords.Empty()) ||
                    recordTime - LastTakenTime() >= m_settings.storage.interval;

        RecordLine::ForEachField(line, parsed->fieldsStart, [&](std::string_view text) {
            const RecordLine::Field field = RecordLine::SplitField(text);
            m_formelParser.AddVariable(field.identifier);
            m_formelParser.SetVariable(field.identifier, field.value);
            m_vergleichParser.AddVariable(field.identifier);
            m_vergleichParser.SetVariable(field.identifier, field.value);
            UpdateCurrentValue(field.identifier, field.value, recordTime, logger);
        });
        ComputeVirtualSensors(recordTime);

        // The main window runs process control later, if this document is still open then.
        // Lines already waiting are processed before that call arrives, so this
        // record's values go with it.
        if (m_context.host != nullptr) {
            m_processValues.push_back(m_vergleichParser);
            AppContext& context = m_context;
            CWetterDoc* document = this;
            m_context.events.Post([&context, document] {
                if (context.host != nullptr) context.host->RunProcessControl(document);
            });
        }
    }

    const bool pcSendsCommands = m_settings.interpretation.loggerStation == 0 && !logger;
    const bool commandsAllowed = !m_context.process.commandLine.noResetCommands;
    if (pcSendsCommands) {
        const std::tm fields = LocalTime(recordTime);
        if (fields.tm_hour == m_settings.interpretation.resetHour && fields.tm_min == 0 &&
            fields.tm_mday != m_lastResetDay) {
            m_context.clock.SleepMs(50);
            if (commandsAllowed) SendStationCommand("!R");
            m_lastResetDay = fields.tm_mday;
        }
    }

    if (store) {
        if (recordTime > LastTakenTime()) StoreRecord(recordTime, logger);
        if (pcSendsCommands && commandsAllowed) SendStationCommand("!P");
    }

    UpdateAllViews();
}

void CWetterDoc::RunProcessControl() {
    if (m_processValues.empty()) {
        m_processControl->RunProcessControl(m_vergleichParser);
        return;
    }
    const CVergleichParser values = std::move(m_processValues.front());
    m_processValues.pop_front();
    m_processControl->RunProcessControl(values);
}

std::string CWetterDoc::BuildRecordLine(std::time_t recordTime) {
    std::string line = RecordLine::TimePrefix(recordTime);
    const auto& values = m_sensors.CurrentValues();
    for (const auto& current : values) {
        if (current->m_virtual) continue;
        const int decimals = current->m_sensor != nullptr ? current->m_sensor->m_decimals : 2;
        DataFiles::AppendField(line, current->m_identifier, current->m_rawValue, decimals);
    }
    const bool storeVirtual = m_context.process.settings.storeVirtualSensors;
    for (const auto& current : values) {
        if (!current->m_virtual) continue;
        CSensoren* sensor = current->m_sensor;
        if (sensor != nullptr && sensor->m_hourlySum && sensor->m_sumHour)
            sensor->m_sumHour->Add(current->m_rawValue, m_settings.storage.interval,
                                   current->m_time);
        if (!storeVirtual) continue;
        const int decimals = sensor != nullptr ? sensor->m_decimals : 2;
        DataFiles::AppendField(line, current->m_identifier, current->m_rawValue, decimals);
    }
    return line;
}

std::string CWetterDoc::CurrentFileName() {
    return DataFiles::MonthFileName(m_settings.storage.dataFolder, m_context.clock.Now(),
                                    m_context.process.settings.dataFileExtension);
}

std::optional<DataFiles::LastRecord> CWetterDoc::FindLastRecord() {
    return DataFiles(Files()).FindLastRecord(m_settings.storage.dataFolder,
                                             m_context.process.settings.dataFileExtension,
                                             m_context.clock.Now());
}

std::time_t CWetterDoc::LastTakenTime() const {
    return m_keptRecords.Empty() ? m_lastStoredTime : m_keptRecords.Newest().time;
}

void CWetterDoc::StoreRecord(std::time_t recordTime, bool logger) {
    const std::string& folder = m_settings.storage.dataFolder;
    const std::string& extension = m_context.process.settings.dataFileExtension;
    const bool sync = !logger;

    // The line is built even when the data file fails, so that the current
    // values and the outputs keep going.
    std::string line = BuildRecordLine(recordTime);
    if (line.find("-999999") != std::string::npos)
        OutputWrite(" Invalid datastring <---> Time:" + RecordLine::TimePrefix(recordTime),
                    kColourInvalidData);
    line += "\r\n";

    bool allWritten = StoreInDataFile(recordTime, line, sync);

    if (!m_settings.storage.additionalFolder.empty()) {
        const AdditionalStorage::Record record{
            .folder = m_settings.storage.additionalFolder,
            .format = m_settings.storage.additional,
            .dataFileExtension = extension,
            .currentValues = m_sensors.CurrentValues(),
            .storeVirtualSensors = m_context.process.settings.storeVirtualSensors,
            .gapFields = m_sensors.GapLine(),
            .interval = m_settings.storage.interval,
            .initialisationRunning = m_context.process.initialisationRunning,
            .sync = sync};
        AdditionalStorage(Files(), m_context.errorLog)
            .StoreAdditional(recordTime, record, {m_additionalLastTime, m_additionalStored});
    }

    if (!m_context.process.initialisationRunning) {
        const std::string current = folder + "/AktWert" + extension;
        // Written through a text-mode stream by earlier versions: the line ends CR CR LF.
        const FileStore::Result replaced =
            Files().Replace(current, DataFiles::TextModeBytes(line), sync);
        if (replaced) {
            m_currentFileFailure.Worked();
        } else {
            allWritten = false;
            NoteStorageError(m_currentFileFailure, "CWetterDoc::StoreRecord AktWert", current,
                             replaced.error);
        }
    }
    if (allWritten) m_storageFailure.Worked();

    if (RecordPublisher* publisher = m_context.publisher) {
        if (m_context.process.settings.httpUpload) publisher->HttpUpload(*this, line);
        publisher->WriteHtmlPage(*this);
        publisher->AwekasUpload(*this);
    }
    ShowStorageError();
}

namespace {
std::string KeptNote(std::time_t from) {
    return "The record of " + FormatLocalTime(from, kRecordTimeFormat) +
           " and those after it are kept until the data file takes them.";
}
}  // namespace

bool CWetterDoc::StoreInDataFile(std::time_t recordTime, const std::string& line, bool sync) {
    constexpr const char* kPlace = "CWetterDoc::StoreRecord";
    WriteKeptRecords();
    if (!m_keptRecords.Empty()) {
        // Behind the ones still waiting, so that the file gets them in order.
        KeepRecord(recordTime, line, sync);
        return false;
    }
    std::string path;
    const FileStore::AppendResult written = AppendRecord(recordTime, line, sync, path);
    if (written) {
        m_dataFileFailure.Worked();
        return true;
    }
    // Bytes in the file whose sync failed count as stored; anything else waits.
    if (!written.written) KeepRecord(recordTime, line, sync);
    NoteStorageError(m_dataFileFailure, kPlace, path, written.error,
                     written.written ? std::string() : KeptNote(recordTime));
    return false;
}

FileStore::AppendResult CWetterDoc::AppendRecord(std::time_t recordTime, const std::string& line,
                                                 bool sync, std::string& path) {
    const std::string& folder = m_settings.storage.dataFolder;
    const std::string& extension = m_context.process.settings.dataFileExtension;
    DataFiles files(Files());
    FileStore::AppendResult written;
    if (!m_recordStored && !m_lastStoredKnown) {
        // Nothing to continue from. The record's own month: a logger record of last month
        // belongs to last month's file.
        path = DataFiles::MonthFileName(folder, recordTime, extension);
        written = files.AppendLines(path, line, sync);
    } else {
        // Also the first record after a start continues from the last one in the folder.
        DataFiles::Gap gap = files.FillGap(folder, extension, m_lastStoredTime, recordTime,
                                           m_settings.storage.interval, m_sensors.GapLine(), sync);
        path = gap.path;
        if (gap) {
            gap.pending += line;
            written = files.AppendLines(path, gap.pending, sync);
        } else {
            written.error = gap.result.error;
        }
    }
    if (written.written) {
        m_lastStoredTime = recordTime;
        m_recordStored = true;
        m_lastStoredKnown = true;
    }
    return written;
}

void CWetterDoc::WriteKeptRecords() {
    while (!m_keptRecords.Empty()) {
        const KeptRecords::Record& kept = m_keptRecords.Oldest();
        // The folder already holds a later record (written by someone else): never twice.
        if (m_lastStoredKnown && kept.time <= m_lastStoredTime) {
            m_keptRecords.DropOldest();
            continue;
        }
        // One sync for the whole run: the last one, or the record that follows them.
        const bool sync = kept.sync && m_keptRecords.Size() == 1;
        std::string path;
        const FileStore::AppendResult written = AppendRecord(kept.time, kept.line, sync, path);
        if (!written.written) {
            NoteStorageError(m_dataFileFailure, "CWetterDoc::StoreRecord", path, written.error,
                             KeptNote(kept.time));
            return;
        }
        m_keptRecords.DropOldest();
    }
    if (m_givenUp > 0) {
        m_context.errorLog.WriteErrorLog(std::to_string(m_givenUp) +
                                         " records that waited for the data file were given up; "
                                         "gap lines stand in their place.");
        m_givenUp = 0;
    }
}

void CWetterDoc::KeepRecord(std::time_t recordTime, const std::string& line, bool sync) {
    const std::optional<KeptRecords::Record> given = m_keptRecords.Keep(
        {recordTime, line, sync}, KeptRecords::CapacityFor(m_settings.storage.interval));
    if (!given || m_givenUp++ > 0) return;
    const std::string text =
        "More records wait for the data file than a day holds: the oldest are given up, from " +
        FormatLocalTime(given->time, kRecordTimeFormat) + " on.";
    OutputWrite(text, kColourError);
    m_context.errorLog.WriteErrorLog(text);
}

void CWetterDoc::NoteStorageError(FailureEpisode& file, const char* place, const std::string& path,
                                  int error, const std::string& note) {
    if (!file.Failed()) return;
    const std::string cause =
        FileSystem::SystemErrorText(error) + " <==> NR: " + std::to_string(error);
    OutputWrite(place, kColourError);
    OutputWrite(cause, kColourError);
    const std::string message = std::string(kWriteErrorText) + m_settings.storage.dataFolder;
    std::string entry = message + "\r\n" + path + "\r\n" + cause;
    if (!note.empty()) entry += "\r\n" + note;
    m_context.errorLog.WriteErrorLog(entry);
    if (m_storageFailure.Failed()) m_storageMessage = message;
}
void CWetterDoc::ShowStorageError() {
    // Shown last, after every output: the box is modal and further lines may arrive meanwhile.
    if (m_storageMessage.empty() || m_storageMessageShowing) return;
    const std::string message = std::move(m_storageMessage);
    m_storageMessage.clear();
    m_storageMessageShowing = true;
    m_context.ui.MessageBox(message, MessageCaption(), MsgButtons::Ok, MsgIcon::Error);
    m_storageMessageShowing = false;
}

// ---- acquisition life cycle ----

bool CWetterDoc::OnNewDocument() {
    if (!FindLastRecord()) {
        // First start: nothing to continue from, so the user sets the station up first.
        if (m_context.acquisitionUi != nullptr && m_context.acquisitionUi->SetUpStation(*this))
            return true;
        // Files that hold no readable record are no first start; the owner should look at them.
        const bool filesWithoutRecord =
            DataFiles(Files())
                .NewestFile(m_settings.storage.dataFolder,
                            m_context.process.settings.dataFileExtension, m_context.clock.Now())
                .has_value();
        const char* finding = filesWithoutRecord
                                  ? "No readable record was found in the data files of the data "
                                    "folder\n"
                                  : "No data file was found in the data folder\n";
        m_context.ui.MessageBox(
            finding + m_settings.storage.dataFolder +
                "\n\nPlease set the data folder and the connection to the weather station in\n" +
                StationFile() + "\nand start the program again.",
            MessageCaption(), MsgButtons::Ok, MsgIcon::Information);
        return true;
    }
    if (m_settings.interpretation.start != 0)
        StartAcquisition(false);
    else
        OpenStoredData();
    if (m_context.host != nullptr) m_context.host->SetReconnectDocument(*this);
    return true;
}

bool CWetterDoc::StartAcquisition(bool automatic) {
    DocumentHost* host = m_context.host;
    ProcessValues& process = m_context.process;
    if (host != nullptr) host->SetAcquisitionStarted(false);
    StopAcquisition();
    m_reconnecting = automatic;

    // A transport built while the link was up takes over now that the link is down.
    if (std::shared_ptr<CDataBase> next = process.NextTransport.Exchange(nullptr)) {
        if (auto old = process.CurrentTransport.Exchange(std::move(next))) {
            // Still up: another station's link, whose reader must let go of it.
            if (old->IsOpen()) process.AcquisitionStopEvent.Set();
            process.PreviousTransport.Exchange(std::move(old));
        }
    }

    bool result = true;
    if (std::shared_ptr<CDataBase> transport = process.CurrentTransport.Get()) {
        if (transport->IsOpen() || m_portOpen) {
            process.AcquisitionStopEvent.Set();
            transport->Close();
        }
        if (std::shared_ptr<CDataBase> previous = process.PreviousTransport.Exchange(nullptr))
            previous->Close();

        const ConnectionSettings& c = m_settings.connection;
        bool answered = true;
        if (c.type == ConnectionType::kSerial && c.fixedBaud == 0) {
            answered = m_context.acquisitionUi != nullptr
                           ? m_context.acquisitionUi->SearchBaudRate(*transport,
                                                                     m_settings.connection.serial)
                           : transport->SearchBaudRate(m_settings.connection.serial);
            if (!answered && m_reconnecting) ReportConnectFailure(std::string(kNoDataText));
            if (!answered && !m_reconnecting) ShowWarning(m_context.ui, kNoDataText);
        }
        if (!answered) {
            result = false;
        } else {
            m_portOpen = transport->Open();
            if (!m_portOpen) {
                ReportConnectFailure("Port couldn't be opened!");
                result = false;
            } else if (!RunInitialisation()) {
                result = false;
            } else {
                if (!m_acquisitionRunning && m_context.lineReceiver != nullptr) {
                    m_acquisition = std::make_unique<AcquisitionLoop>(
                        process, m_context.clock, m_context.events, m_context.ui,
                        *m_context.lineReceiver);
                    m_acquisition->Start(this);
                    if (m_viewsInitialised) {
                        for (DocumentView* view : m_views) view->ReloadData();
                    } else {
                        m_viewsInitialised = true;
                    }
                    m_acquisitionRunning = true;
                }
                result = true;
                if (host != nullptr) host->CancelReconnect(*this);
            }
        }
        if (host != nullptr) host->SetAcquisitionStarted(true);
    }
    OpenForwarding(m_context, automatic);
    return result;
}

void CWetterDoc::ReportConnectFailure(const std::string& text) {
    if (m_reconnecting) {
        OutputWrite(text, kColourError);
        m_context.errorLog.WriteErrorLog(text);
        return;
    }
    m_context.ui.MessageBox(text, MessageCaption(), MsgButtons::Ok, MsgIcon::Error);
}

bool CWetterDoc::RunInitialisation() {
    if (!m_portOpen) return false;
    ProcessValues& process = m_context.process;
    m_sensorIdentifiers.clear();
    process.initialisationRunning = true;
    if (m_context.acquisitionUi != nullptr) m_context.acquisitionUi->RunInitialisation(*this);
    if (m_settings.connection.type == ConnectionType::kModem) process.settings.reconnect = false;
    process.initialisationRunning = false;
    if (m_reconnecting) return false;
    if (process.commandLine.silent && m_context.acquisitionUi != nullptr) {
        m_context.acquisitionUi->ExitProcess(0);
        return false;
    }
    m_lastReceivedTime = m_context.clock.Now();
    return true;
}

void CWetterDoc::StopAcquisition() {
    ProcessValues& process = m_context.process;
    if (m_portOpen) {
        // The reader is waited for, so the link is closed under nobody's feet.
        if (m_acquisition) m_acquisition->Stop();
        m_acquisitionRunning = false;
        m_context.clock.SleepMs(100);
        if (std::shared_ptr<CDataBase> transport = process.CurrentTransport.Get()) {
            transport->Write("\r\n");
            transport->Write("\r\n");
            transport->Close();
        }
        m_portOpen = false;
    }
    CloseForwarding(process);
}

void CWetterDoc::OpenStoredData() {
    StopAcquisition();
    std::optional<DataFiles::LastRecord> last = FindLastRecord();
    if (!last) return;
    m_sensorIdentifiers.clear();
    if (StationProtocol::ReadSensorIdentifiers(last->line, m_sensorIdentifiers)) {
        LoadSensorDefinitions();
        for (DocumentView* view : m_views) view->ReloadData();
    }
}

void CWetterDoc::Disconnect() {
    if (std::shared_ptr<CDataBase> transport = m_context.process.CurrentTransport.Get())
        transport->Close();
}
