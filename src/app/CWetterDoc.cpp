#include "app/CWetterDoc.h"

#include <algorithm>

#include "app/Colours.h"
#include "app/DocumentView.h"
#include "app/OutputList.h"
#include "app/ProcessValues.h"
#include "comm/TransportFactory.h"
#include "platform/FileSystem.h"
#include "platform/Timers.h"
#include "platform/ProgramPaths.h"

namespace {
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
    : m_context(context), m_lastReceivedTime(InitialReceivedTime()) {
    LoadSettings();
}

CWetterDoc::~CWetterDoc() {
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
    if (!WriteDefaultStationSettings(m_context.profile, SettingsFiles(), m_settings.connection.type))
        OutputWrite("CWetterDoc::WriteDefaultSettings: " + StationFile() + " could not be written",
                    kColourError);
}

void CWetterDoc::LoadSettings() {
    const StationSettingsFiles files = SettingsFiles();
    if (!FileSystem::FileExists(files.stationFile)) {
        WriteDefaultSettings();
    } else if (std::string probe; !FileSystem::ReadWholeFile(files.stationFile, probe)) {
        // An unreadable file is kept: writing the defaults over it would lose the owner's settings.
        OutputWrite("CWetterDoc::LoadSettings: " + files.stationFile + " could not be read",
                    kColourError);
    }
    FileSystem::CreateFolder(files.defaultDataFolder);  // a failure shows when data is written

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
            case 1: transport = factory->MakeSerial(c.serial); break;
            case 2: transport = factory->MakeTcp(c.tcpAddress, c.tcpPort); break;
            case 3: transport = factory->MakeModem(c.modem); break;
            default: break;
        }
    }
    // The old transport may still be in a reader's hands; the next connect closes it.
    // A station without a link keeps none, so that connecting does nothing.
    if (auto old = process.CurrentTransport.Exchange(std::move(transport)))
        process.PreviousTransport.Exchange(std::move(old));

    const ForwardSettings& forward = m_settings.processWide.forward;
    if (forward.active && factory != nullptr)
        process.ForwardTransport.Exchange(factory->MakeSerial(forward.line));
    else
        process.ForwardTransport.Reset();
}

void CWetterDoc::LoadSensorDefinitions() {
    m_sensors.Load(m_context.profile, DefineFile(), InternFile(), m_sensorIdentifiers);
}

void CWetterDoc::LoadVirtualSensors() {
    m_sensors.LoadVirtualSensors(m_context.profile, InternFile());
}

CSensoren* CWetterDoc::FindSensor(const std::string& identifier) {
    return m_sensors.FindSensor(identifier);
}

bool CWetterDoc::DeleteSensor(const std::string& identifier) {
    for (DocumentView* view : m_views) view->DropSensor(identifier);
    return m_sensors.DeleteSensor(identifier);
}

void CWetterDoc::ClearHistories() { m_sensors.ClearHistories(); }

void CWetterDoc::AttachView(DocumentView* view) {
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) m_views.push_back(view);
}

void CWetterDoc::DetachView(DocumentView* view) { std::erase(m_views, view); }

int CWetterDoc::CountViews() const { return static_cast<int>(m_views.size()); }

bool CWetterDoc::CanCloseFrame() const { return CountViews() != 1; }
