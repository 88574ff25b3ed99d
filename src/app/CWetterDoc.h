#pragma once

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/SensorSet.h"
#include "app/StationSettings.h"

class CSensoren;
class DocumentView;

// One weather station: its settings, its sensors and current values, and the
// views that show it. Lives on the user-interface thread.
class CWetterDoc {
public:
    explicit CWetterDoc(AppContext& context);
    ~CWetterDoc();
    CWetterDoc(const CWetterDoc&) = delete;
    CWetterDoc& operator=(const CWetterDoc&) = delete;

    // Reads the station settings file (writing the default one first when it
    // is missing), builds the transports and sets the process-wide values.
    void LoadSettings();
    void WriteDefaultSettings();

    // Sensors of the station, for the identifiers in SensorIdentifiers().
    void LoadSensorDefinitions();
    void LoadVirtualSensors();
    CSensoren* FindSensor(const std::string& identifier);
    bool DeleteSensor(const std::string& identifier);
    void ClearHistories();

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

    const StationSettings& Settings() const { return m_settings; }
    const ConnectionSettings& Connection() const { return m_settings.connection; }
    const StorageSettings& Storage() const { return m_settings.storage; }
    const InterpretationSettings& Interpretation() const { return m_settings.interpretation; }

    std::vector<std::string>& SensorIdentifiers() { return m_sensorIdentifiers; }
    std::vector<std::string>& InitIdentifiers() { return m_initIdentifiers; }
    SensorSet& Sensors() { return m_sensors; }
    const std::vector<DocumentView*>& Views() const { return m_views; }

    std::time_t LastStoredTime() const { return m_lastStoredTime; }
    void SetLastStoredTime(std::time_t time) { m_lastStoredTime = time; }
    std::time_t LastReceivedTime() const { return m_lastReceivedTime; }
    void SetLastReceivedTime(std::time_t time) { m_lastReceivedTime = time; }

    AppContext& Context() { return m_context; }

private:
    StationSettingsFiles SettingsFiles() const;
    void BuildTransports();

    AppContext& m_context;
    StationSettings m_settings;
    std::vector<std::string> m_sensorIdentifiers;
    std::vector<std::string> m_initIdentifiers;
    SensorSet m_sensors;
    std::vector<DocumentView*> m_views;

    // Acquisition state (the acquisition itself is started elsewhere).
    bool m_portOpen = false;
    bool m_acquisitionRunning = false;
    bool m_recordStored = false;
    bool m_automaticRestart = false;
    bool m_clockWarningShown = false;
    bool m_viewsInitialised = false;
    std::time_t m_lastStoredTime = 0;
    std::time_t m_lastReceivedTime = 0;
    int m_lastResetDay = 0;
};
