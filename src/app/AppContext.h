#pragma once

class Clock;
class ErrorLog;
class EventQueue;
class Profile;
class ProgramPaths;
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
};
