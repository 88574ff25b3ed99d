// Any bytes as what a modem answers: the dial and the hang-up must end within
// their time-outs on a clock that only the waits move, stay within their
// attempts, and leave the transport connected only after a CONNECT.
//
// The first byte sets the station's modem: bit 0 an initialisation command,
// bit 1 a command after the dial, bit 2 the carrier, bits 3-4 how the PIN
// prompts are answered (none, digits, other text). The rest, cut at each NUL,
// are the modem's answers to the writes in turn (each "+" of an escape is a write).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "FakeSerialPort.h"
#include "FuzzFiles.h"
#include "QuietSeams.h"
#include "comm/CDataSeriellAT.h"
#include "comm/InlineModemUi.h"
#include "model/OutputList.h"
#include "platform/AutoResetEvent.h"

namespace {

constexpr const char* kName = "ModemReplyFuzz";
// Every wait of a dial and a hang-up, with room: 3 dial attempts of 20+20+20+60 s,
// 5 s settling, 6 escapes of 3+3x20 s, 3 x 30 s, a last 30 s, PIN waits of 20 s each.
constexpr std::uint64_t kMostDialogueMs = 30 * 60 * 1000;

// Time moves only when the code under test waits.
class WaitClock final : public Clock {
public:
    std::time_t Now() override { return 1709474709 + static_cast<std::time_t>(m_tick / 1000); }
    std::uint64_t TickMs() override { return m_tick; }
    void SleepMs(unsigned ms) override { m_tick += ms; }
    bool SetPcClock(std::time_t, std::string&) override { return false; }

private:
    std::uint64_t m_tick = 1000;
};

// Posted calls (the modem log's messages) run at once.
class DirectQueue final : public EventQueue {
public:
    void Post(std::function<void()> call) override { call(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFolder folder;
    static const std::string logPath = folder.File("ModemLog.txt");
    if (size == 0) return 0;
    const std::uint8_t flags = data[0];
    std::string_view answers(reinterpret_cast<const char*>(data + 1), size - 1);
    CDataSeriellAT::ClassifyReply(answers);

    ::unlink(logPath.c_str());
    OutputList::Process().Clear();
    WaitClock clock;
    DirectQueue events;
    SilentUi ui;
    int pinAnswer = (flags >> 3) & 3;
    InlineModemUi modemUi{ui, [pinAnswer](std::string_view) -> std::optional<std::string> {
                              if (pinAnswer == 0) return std::nullopt;
                              return pinAnswer == 1 ? "1234" : "12\"; ATD";
                          }};
    AutoResetEvent abort;
    AutoResetEvent acquisitionStop;
    TransportServices services{clock, events, ui, abort, &acquisitionStop, &modemUi, logPath};
    ModemSettings settings{{"/dev/ttyFuzz", 115200, 8, 0, 2},
                           "0123",
                           "ATD",
                           ";",
                           false,
                           0,
                           true,
                           60,
                           "",
                           (flags & 1) != 0 ? "AT+CMEE=1" : "",
                           (flags & 2) != 0 ? "AT+CSQ" : ""};

    auto fake = std::make_unique<FakeSerialPort>(&clock);
    FakeSerialPort& port = *fake;
    port.lines.SetCarrier((flags & 4) != 0);
    port.station = [&answers](FakeSerialPort& p, const std::string&) {
        if (answers.empty()) return;
        const std::size_t end = answers.find('\0');
        p.Send(answers.substr(0, end));
        answers.remove_prefix(end == std::string_view::npos ? answers.size() : end + 1);
    };
    CDataSeriellAT modem(settings, services, std::move(fake));

    const std::uint64_t start = clock.TickMs();
    const bool connected = modem.Open();
    if (connected != modem.IsOpen()) FuzzFail(kName, "dial result and state differ");
    if (clock.TickMs() - start > kMostDialogueMs) FuzzFail(kName, "dial waited too long");
    if (port.written.size() > 200) FuzzFail(kName, "dial wrote without end");
    if (connected) {
        bool dialled = false;
        for (const std::string& line : port.written) dialled |= line.starts_with("ATD0123;");
        if (!dialled) FuzzFail(kName, "connected without dialling");
        const std::uint64_t hangUp = clock.TickMs();
        const int closed = modem.Close();
        if ((closed == 1) == modem.IsOpen()) FuzzFail(kName, "hang-up result and state differ");
        if (clock.TickMs() - hangUp > kMostDialogueMs) FuzzFail(kName, "hang-up waited too long");
        if (port.written.size() > 400) FuzzFail(kName, "hang-up wrote without end");
    }
    return 0;
}
