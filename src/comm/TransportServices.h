#pragma once

class AutoResetEvent;
class Clock;
class EventQueue;
class Ui;

// What a transport needs besides its link: the millisecond clock for its
// waits, a way to show a message on the user-interface thread (a transport may
// run on a worker thread), and the event that stops a baud search.
struct TransportServices {
    Clock& clock;
    EventQueue& events;
    Ui& ui;
    AutoResetEvent& baudSearchAbort;
};
