#pragma once

class AcquisitionUi;
class Clock;
class DocumentHost;
class ErrorLog;
class EventQueue;
class FileStore;
class Launcher;
class Profile;
class ProgramPaths;
class Registry;
class RecordPublisher;
class StationLineReceiver;
class Timers;
class TransportFactory;
class Ui;
struct ProcessValues;

// The platform seams and process-wide objects a station document works with.
// The program fills it with the real ones, tests with fakes.
struct AppContext {
    Profile& profile;
    const ProgramPaths& paths;
    Clock& clock;
    EventQueue& events;
    Timers& timers;
    Ui& ui;
    ErrorLog& errorLog;
    ProcessValues& process;
    // Builds the station's transports; without one no transport is built.
    TransportFactory* transports = nullptr;
    // The main window's services for documents; without one they are skipped.
    DocumentHost* host = nullptr;
    // HTTP upload, HTML page and AWEKAS upload; without one they are skipped.
    RecordPublisher* publisher = nullptr;
    // Where data files are written; without one the real file system.
    FileStore* files = nullptr;
    // Where the acquisition reader delivers lines (the main window); without one no reader runs.
    StationLineReceiver* lineReceiver = nullptr;
    // The initialisation window and the baud search; without one a connect cannot initialise.
    AcquisitionUi* acquisitionUi = nullptr;
    // The per-user profile that keeps the window layout; without one nothing is kept.
    Registry* registry = nullptr;
    // Starts the programs of process control; without one nothing is started.
    Launcher* launcher = nullptr;

    // `files`, or the real file system.
    FileStore& Files() const;
};
