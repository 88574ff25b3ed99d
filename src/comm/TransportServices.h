#pragma once

#include <string>

class AutoResetEvent;
class Clock;
class EventQueue;
class ModemUi;
class Ui;

// What a transport needs besides its link: the millisecond clock for its
// waits, a way to show a message on the user-interface thread (a transport may
// run on a worker thread), and the event that stops a baud search.
//
// The modem also uses the event that stops the acquisition reader before it
// hangs up, the windows of its dialogue, and its log file; without them it
// stops no reader, shows its dialogue through `ui` on the calling thread and
// keeps no log.
struct TransportServices {
    Clock& clock;
    EventQueue& events;
    Ui& ui;
    AutoResetEvent& baudSearchAbort;
    AutoResetEvent* acquisitionStop = nullptr;
    ModemUi* modemUi = nullptr;
    std::string modemLogPath = {};
};
