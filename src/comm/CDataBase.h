#pragma once

// CDataBase is a transport (the byte link to a station), not a database.

#include <string>

struct SerialLineSettings;

// A byte-stream link to a station: serial port, modem or TCP. The readers and
// the initialisation never know which one they have. Read may run on a reader
// thread while Write runs on another; Open and Close only while no reader runs.
class CDataBase {
public:
    virtual ~CDataBase() = default;

    // What a read brought.
    enum class ReadResult {
        Received,  // exactly the bytes asked for
        TimedOut,  // not all of them within the wait
        Lost,      // the link is gone (unplugged, hung up) or not open; a link lost
                   // while open still costs the wait, so a polling reader does not spin
    };

    // Brings the link up; true when it is up.
    virtual bool Open() = 0;
    // Reads exactly `count` bytes (callers read one at a time; a one-byte read
    // waits at most about a second, two on TCP).
    [[nodiscard]] virtual ReadResult Read(char* buffer, int count) = 0;
    // Writes the text's bytes and traces them; returns the number written.
    virtual int Write(const std::string& text) = 0;
    // The same without waiting for a link that takes no more: what does not fit
    // at once is left out. A link that cannot tell writes as Write does.
    virtual int WriteNow(const std::string& text) { return Write(text); }
    // Takes the link down; the result code differs by transport.
    virtual int Close() = 0;
    // A text for captions and logs ("COM = %s ,Baud. = %d").
    virtual std::string GetDescription() const = 0;
    // Discards received bytes still waiting; true.
    virtual bool PurgeInput() = 0;
    virtual bool IsOpen() const = 0;
    // Finds the rate at which the station answers and stores it in `settings`;
    // true when the station answered. Transports without rates return true.
    virtual bool SearchBaudRate(SerialLineSettings& settings) = 0;
};
