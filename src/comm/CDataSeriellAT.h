#pragma once

// CDataSeriellAT ("serial AT") is the transport over a dial-up or GSM modem.

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "comm/CDataSeriell.h"
#include "comm/CModemLog.h"
#include "comm/ModemUi.h"
#include "model/StationSettings.h"

// A station behind a modem on a local serial port: Open dials the station's
// modem with AT commands, Close hangs up, and in between the bytes pass as on
// a serial line. Every step goes to the output window, the busy window and
// ModemLog.txt. Open and Close are called on the user-interface thread; the
// dialogue itself may run on a thread of the ModemUi's choosing.
class CDataSeriellAT final : public CDataSeriell {
public:
    // Replies of the modem, as bits (WaitForReply's result).
    enum Reply : int {
        kOk = 1,
        kTimedOut = 2,
        kSimPin = 4,
        kSimPuk = 8,
        kSimPin2 = 16,
        kError = 32,
        kNoAnswer = 64,
        kNoCarrier = 128,
        kConnect = 256,
        kBusy = 512,  // the number is engaged; treated as no answer
    };
    static constexpr int kDialAttempts = 3;
    static constexpr int kEscapeAttempts = 6;
    static constexpr int kHangUpCommands = 3;
    static constexpr int kConnectOffAttempts = 3;

    // `ui` shows the dialogue; the services' one (or windows through their Ui,
    // dialogue on the calling thread) when null.
    CDataSeriellAT(ModemSettings modem, TransportServices& services,
                   std::unique_ptr<SerialPort> port = nullptr);
    ~CDataSeriellAT() override;

    // Opens the port and dials; true once connected (at once when still connected).
    bool Open() override;
    // Hangs up; 1 when the line is down, 0 when it could not be hung up (the
    // transport then stays connected). 1 at once when not connected.
    int Close() override;
    // Connected, not merely the port open.
    bool IsOpen() const override { return m_connected.load(); }
    // Reads as the serial line does; a "NO CARRIER" among the data is the call
    // dropping, after which the transport is no longer connected.
    [[nodiscard]] ReadResult Read(char* buffer, int count) override;

    // Reads the modem's reply for at most `seconds`: one of Reply.
    int WaitForReply(int seconds);

    // The reply a modem's text holds, searched in the modem's order; 0 for none.
    static int ClassifyReply(std::string_view text);

private:
    bool Dial();
    bool ConnectAfterDial();
    bool HangUp();
    bool FinishHangUp(const std::string& logText);
    void UnlockSim(int lock);
    // Says why the attempt failed at `command`, on screen and in the log.
    void ReportFailedAttempt(const std::string& command, int reply);
    void WatchForDroppedCall(char byte);
    void ReportLostModem();
    void Output(std::string_view text, std::uint32_t colour = 0);
    void Warn(std::string_view text);
    void Log(std::string_view text) { m_log.WriteToLog(text); }
    void Pause(unsigned ms);

    const ModemSettings m_modem;
    std::unique_ptr<ModemUi> m_ownUi;
    ModemUi& m_ui;
    CModemLog m_log;
    std::atomic<bool> m_connected{false};
    bool m_modemLost = false;  // the port vanished during the running dialogue
    std::string m_dataTail;    // the newest bytes of the call, read by one reader at a time
};
