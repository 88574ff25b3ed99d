#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FakeSerialPort.h"
#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ScriptedUi.h"
#include "TempFolder.h"
#include "comm/CDataSeriellAT.h"
#include "comm/InlineModemUi.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/AutoResetEvent.h"

namespace {

using Reply = CDataSeriellAT::Reply;

// A modem in memory: answers each command line from a table (silence for
// commands it has no answer for) and the third '+' of an escape.
struct FakeModem {
    std::map<std::string, std::string> replies = {
        {"at", "\r\nOK\r\n"},
        {"at&c1", "\r\nOK\r\n"},
        {"ATD", "\r\nCONNECT 9600\r\n"},
        {"ath", "\r\nOK\r\n"},
    };
    std::string escapeReply = "\r\nOK\r\n";
    std::vector<std::string> commands;  // lines as written, without CR LF

    void operator()(FakeSerialPort& port, const std::string& written) {
        if (written == "+") {
            if (++m_plusses == 3) {
                m_plusses = 0;
                port.Send(escapeReply);
            }
            return;
        }
        std::string line = written.substr(0, written.find("\r\n"));
        commands.push_back(line);
        if (line.starts_with("ATD")) line = "ATD";
        if (const auto reply = replies.find(line); reply != replies.end()) port.Send(reply->second);
    }

private:
    int m_plusses = 0;
};

class CDataSeriellATTest : public ::testing::Test {
protected:
    void SetUp() override { OutputList::Process().Clear(); }

    CDataSeriellAT& Modem() {
        if (!transport) {
            auto fake = std::make_unique<FakeSerialPort>(&clock);
            port = fake.get();
            port->station = [this](FakeSerialPort& p, const std::string& written) {
                script(p, written);
            };
            transport = std::make_unique<CDataSeriellAT>(settings, services, std::move(fake));
        }
        return *transport;
    }
    // Dials and forgets what the dial showed.
    void Connected() {
        ASSERT_TRUE(Modem().Open());
        script.commands.clear();
        port->written.clear();
        port->writeTicks.clear();
        ui.shown.clear();
        OutputList::Process().Clear();
    }

    std::vector<std::string> Output() const {
        std::vector<std::string> texts;
        for (const auto& line : OutputList::Process().Snapshot()) texts.push_back(line.text);
        return texts;
    }
    bool OutputHas(const std::string& text, std::uint32_t colour) const {
        for (const auto& line : OutputList::Process().Snapshot())
            if (line.text == text && line.colour == colour) return true;
        return false;
    }
    std::size_t Count(const std::vector<std::string>& texts, const std::string& text) const {
        return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), text));
    }
    std::vector<std::string> Shown(const std::string& kind) const {
        std::vector<std::string> texts;
        for (const auto& s : ui.shown)
            if (s.kind == kind) texts.push_back(s.text);
        return texts;
    }
    std::string ModemLog() const { return folder.Read("ModemLog.txt"); }

    TempFolder folder;
    ManualClock clock;
    ManualEventQueue events;
    ScriptedUi ui;
    std::vector<std::string> pinPrompts;
    std::vector<std::optional<std::string>> pinAnswers;
    InlineModemUi modemUi{ui, [this](std::string_view prompt) -> std::optional<std::string> {
                              pinPrompts.emplace_back(prompt);
                              if (pinAnswers.empty()) return std::nullopt;
                              auto answer = pinAnswers.front();
                              pinAnswers.erase(pinAnswers.begin());
                              return answer;
                          }};
    AutoResetEvent abort;
    AutoResetEvent acquisitionStop;
    TransportServices services{
        clock, events, ui, abort, &acquisitionStop, &modemUi, folder.File("ModemLog.txt")};
    ModemSettings settings{
        {"/dev/ttyUSB1", 115200, 8, 0, 2}, "0123", "ATD", ";", false, 0, false, 60, "", "", ""};
    FakeModem script;
    FakeSerialPort* port = nullptr;
    std::unique_ptr<CDataSeriellAT> transport;
};

TEST(ModemReplies, AreFoundAnywhereInTheTextInTheModemsOrder) {
    const struct {
        const char* text;
        int reply;
    } rows[] = {
        {"\r\nOK\r\n", Reply::kOk},
        {"BOOKED", Reply::kOk},
        {"+CPIN: SIM PIN2", Reply::kSimPin2},
        {"+CME ERROR: SIM PIN required", Reply::kSimPin},
        {"+CPIN: SIM PUK", Reply::kSimPuk},
        {"NO ANSWER", Reply::kNoAnswer},
        {"\r\nBUSY\r\n", Reply::kBusy},
        {"CONNECT 9600", Reply::kConnect},
        {"ERROR", Reply::kError},
        {"NO CARRIER", Reply::kNoCarrier},
        {"RING", 0},
        {"", 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CDataSeriellAT::ClassifyReply(row.text), row.reply) << row.text;
}

TEST_F(CDataSeriellATTest, ReplyIsFoundInBytesThatComeSplitAndMixedWithBytesTheFilterDrops) {
    Modem();
    ASSERT_TRUE(port->Open("/dev/ttyUSB1") == 0);
    port->Send("\r\nCON\xB0NE");
    port->Send(
        "\x01\xFF"
        "CT 9600\r\n");
    EXPECT_EQ(Modem().WaitForReply(60), Reply::kConnect);
    EXPECT_TRUE(OutputHas("CONNECT", kColourSuccess));

    port->Send("+CPIN: SIM PIN2\r\n");
    EXPECT_EQ(Modem().WaitForReply(20), Reply::kSimPin2) << "PIN2 is not read as PIN";
}

TEST_F(CDataSeriellATTest, ReplyAfterAFloodOfOtherBytesIsStillFound) {
    Modem();
    ASSERT_TRUE(port->Open("/dev/ttyUSB1") == 0);
    port->Send(std::string(200000, 'x') + "\r\nOK\r\n");
    EXPECT_EQ(Modem().WaitForReply(20), Reply::kOk);
}

TEST_F(CDataSeriellATTest, SilentModemTimesOutAfterTheGivenSeconds) {
    Modem();
    ASSERT_TRUE(port->Open("/dev/ttyUSB1") == 0);
    const std::uint64_t start = clock.TickMs();
    EXPECT_EQ(Modem().WaitForReply(20), Reply::kTimedOut);
    EXPECT_GT(clock.TickMs() - start, 20000u);
    EXPECT_LT(clock.TickMs() - start, 21100u);
}

TEST_F(CDataSeriellATTest, DialConnectsAndSetsTheStationModemsLimit) {
    ASSERT_TRUE(Modem().Open());
    EXPECT_TRUE(Modem().IsOpen());
    EXPECT_EQ(port->opened, std::vector<std::string>{"/dev/ttyUSB1"});
    EXPECT_EQ(port->formats.at(0).baudRate, 115200);
    EXPECT_TRUE(port->lines.IsRaised(ModemLines::Line::Rts));
    EXPECT_TRUE(port->lines.IsRaised(ModemLines::Line::Dtr));
    EXPECT_EQ(port->written, (std::vector<std::string>{"at\r\n", "at&c1\r\n", "ATD0123;\r\n",
                                                       "*CONNECT LIMIT 60\r\n"}));
    EXPECT_EQ(Shown("busy"),
              (std::vector<std::string>{"Connecting to GSM!",
                                        "Establishing GSM connection! \r\nNeeds app. 30 sec.",
                                        "Connection established!", "waiting 5 seconds..."}));
    EXPECT_FALSE(ui.busy);
    EXPECT_TRUE(OutputHas("Connection is established!", kColourSuccess));
    EXPECT_NE(ModemLog().find("Connecting to number 0123"), std::string::npos);

    // Still connected: nothing is dialled again.
    port->written.clear();
    EXPECT_TRUE(Modem().Open());
    EXPECT_TRUE(port->written.empty());
}

TEST_F(CDataSeriellATTest, CommandAfterConnectingIsSentAndItsFailureLogged) {
    settings.commandAfter = "AT+CBST=7";
    ASSERT_TRUE(Modem().Open());
    EXPECT_EQ(script.commands, (std::vector<std::string>{"at", "at&c1", "ATD0123;", "AT+CBST=7",
                                                         "*CONNECT LIMIT 60"}));
    EXPECT_TRUE(OutputHas("Error shutting down!", kColourError));
    EXPECT_NE(ModemLog().find("Error shutting down\r\n"), std::string::npos);
}

TEST_F(CDataSeriellATTest, CommandBeforeDiallingDecidesWhetherTheDialGoesOn) {
    const struct {
        const char* name;
        std::string before;
        std::string atReply;
        std::string beforeReply;
        bool dials;
    } rows[] = {
        {"no command, at answered", "", "OK", "", true},
        {"no command, at refused", "", "ERROR", "", false},
        {"command answered after a refused at", "AT+COPS=0", "ERROR", "OK", true},
        {"command refused after an answered at", "AT+COPS=0", "OK", "ERROR", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        transport.reset();
        script = FakeModem();
        settings.commandBefore = row.before;
        script.replies["at"] = row.atReply;
        if (!row.before.empty()) script.replies[row.before] = row.beforeReply;
        EXPECT_EQ(Modem().Open(), row.dials);
        EXPECT_EQ(Count(script.commands, "at&c1"), row.dials ? 1u : 0u);
    }
}

TEST_F(CDataSeriellATTest, NumberThatDoesNotAnswerIsTriedThreeTimesThenThePortIsFreed) {
    script.replies["ATD"] = "\r\nNO ANSWER\r\n";
    EXPECT_FALSE(Modem().Open());
    EXPECT_FALSE(Modem().IsOpen());
    EXPECT_FALSE(port->IsOpen());
    const std::vector<std::string> output = Output();
    for (int attempt = 1; attempt <= 3; ++attempt)
        EXPECT_TRUE(OutputHas(
            "Connection couldn't be established! Try " + std::to_string(attempt) + " of 3",
            kColourError));
    EXPECT_EQ(Count(output, "Could not connect to (0123) "), 3u);
    std::vector<std::string> warnings;
    for (const auto& s : ui.shown)
        if (s.kind == "caution") warnings.push_back(s.text);
    EXPECT_EQ(warnings, std::vector<std::string>(3, "Could not connect to dialed number"));
    EXPECT_TRUE(OutputHas("Could not connect to dialed number", kColourCaution));
    std::size_t entries = 0;
    for (std::size_t at = 0;
         (at = ModemLog().find("Could not connect to (0123) ", at)) != std::string::npos; ++at)
        ++entries;
    EXPECT_EQ(entries, 3u);
    EXPECT_FALSE(ui.busy);
}

TEST_F(CDataSeriellATTest, EveryFailedDialSaysWhyOnScreenAndInTheLog) {
    const struct {
        const char* name;
        const char* command;  // the command answered below; nullptr: the dial
        const char* reply;    // nullptr: silence
        const char* reason;
        bool warned;  // "Could not connect to dialed number"
        std::uint64_t atMostMs;
    } rows[] = {
        {"busy", nullptr, "\r\nBUSY\r\n", "\"ATD0123;\": BUSY", true, 10000},
        {"no answer", nullptr, "\r\nNO ANSWER\r\n", "\"ATD0123;\": NO ANSWER", true, 10000},
        {"no carrier", nullptr, "\r\nNO CARRIER\r\n", "\"ATD0123;\": NO CARRIER", false, 10000},
        {"error", nullptr, "\r\nERROR\r\n", "\"ATD0123;\": ERROR", false, 10000},
        {"silent dial", nullptr, nullptr, "\"ATD0123;\": no answer", false, 200000},
        {"silent modem", "at", nullptr, "\"at\": no answer", false, 70000},
        {"refused at&c1", "at&c1", "\r\nERROR\r\n", "\"at&c1\": ERROR", false, 10000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        transport.reset();
        folder.Write("ModemLog.txt", "");
        ui.shown.clear();
        script = FakeModem();
        const std::string command = row.command != nullptr ? row.command : "ATD";
        if (row.reply != nullptr)
            script.replies[command] = row.reply;
        else
            script.replies.erase(command);
        const std::uint64_t start = clock.TickMs();
        EXPECT_FALSE(Modem().Open());
        EXPECT_LE(clock.TickMs() - start, row.atMostMs);
        const std::string why = std::string("Dialling 0123 failed at ") + row.reason;
        EXPECT_EQ(Count(Output(), why), 3u);
        std::size_t logged = 0;
        for (auto at = ModemLog().find(why); at != std::string::npos;
             at = ModemLog().find(why, at + 1))
            ++logged;
        EXPECT_EQ(logged, 3u);
        EXPECT_EQ(Count(Shown("caution"), "Could not connect to dialed number"),
                  row.warned ? 3u : 0u);
    }
}

TEST_F(CDataSeriellATTest, ModemThatNeverAnswersGivesUpAfterThreeWaitsForAt) {
    script.replies.clear();
    const std::uint64_t start = clock.TickMs();
    EXPECT_FALSE(Modem().Open());
    EXPECT_EQ(script.commands, std::vector<std::string>(3, "at"));
    EXPECT_GE(clock.TickMs() - start, 60000u);
    EXPECT_LT(clock.TickMs() - start, 64000u);
    EXPECT_FALSE(ui.busy);
}

TEST_F(CDataSeriellATTest, ModemErrorWarnsFailedToConnect) {
    script.replies["at"] = "\r\nERROR\r\n";
    EXPECT_FALSE(Modem().Open());
    EXPECT_EQ(Shown("caution"), std::vector<std::string>(3, "Failed to connect!"));
    EXPECT_TRUE(OutputHas("Failed to connect!", kColourError));
}

TEST_F(CDataSeriellATTest, LockedSimAsksForThePinAndHandsItToTheModemUnseen) {
    settings.commandBefore = "AT+CPIN?";
    script.replies["AT+CPIN?"] = "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n";
    Modem();
    port->station = [this](FakeSerialPort& p, const std::string& written) {
        if (written == "AT+CPIN=\"4711\"\r\n")
            script.replies["AT+CPIN?"] = "\r\n+CPIN: READY\r\n\r\nOK\r\n";
        script(p, written);
    };
    pinAnswers = {std::string("4711")};
    ASSERT_TRUE(Modem().Open());
    EXPECT_EQ(pinPrompts, std::vector<std::string>{"Please insert PIN!"});
    EXPECT_EQ(Count(script.commands, "AT+CPIN=\"4711\""), 1u);
    for (const auto& line : Output()) EXPECT_EQ(line.find("4711"), std::string::npos) << line;
    EXPECT_NE(ModemLog().find("Error while initialisation"), std::string::npos);
}

TEST_F(CDataSeriellATTest, SimLocksAskForTheirCodeAndOnlyDigitsReachTheModem) {
    const struct {
        const char* lockReply;
        std::vector<std::optional<std::string>> answers;
        std::vector<std::string> prompts;
        const char* sent;  // nullptr: nothing goes to the modem
    } rows[] = {
        {"+CPIN: SIM PUK",
         {"12345678", "1234"},
         {"Please insert PUK!", "Please insert PIN!"},
         "AT+CPIN=\"12345678\",\"1234\""},
        {"+CPIN: SIM PIN2", {"5678"}, {"Please insert PIN2!"}, "AT+CPIN=\"5678\""},
        {"+CPIN: SIM PIN", {"12\"\r\nATD999"}, {"Please insert PIN!"}, nullptr},
        {"+CPIN: SIM PIN", {std::nullopt}, {"Please insert PIN!"}, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lockReply);
        SetUp();
        transport.reset();
        script = FakeModem();
        pinPrompts.clear();
        script.replies["at"] = row.lockReply;
        pinAnswers = {row.answers.begin(), row.answers.end()};
        EXPECT_FALSE(Modem().Open());
        std::vector<std::string> firstPrompts(
            pinPrompts.begin(), pinPrompts.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                         pinPrompts.size(), row.prompts.size())));
        EXPECT_EQ(firstPrompts, row.prompts);
        std::vector<std::string> sent;
        for (const auto& c : script.commands)
            if (c.starts_with("AT+CPIN=")) sent.push_back(c);
        EXPECT_EQ(sent, row.sent ? std::vector<std::string>{row.sent} : std::vector<std::string>{});
        EXPECT_EQ(Count(script.commands, "ATD999"), 0u);
    }
}

TEST_F(CDataSeriellATTest, SimLockReportedAtTheDialAsksForThePinToo) {
    script.replies["ATD"] = "\r\n+CPIN: SIM PIN\r\n";
    EXPECT_FALSE(Modem().Open());
    EXPECT_EQ(pinPrompts, std::vector<std::string>(3, "Please insert PIN!"));
}

TEST_F(CDataSeriellATTest, CloseWithoutConnectionDoesNothing) {
    Modem();
    ASSERT_EQ(port->Open("/dev/ttyUSB1"), 0);
    EXPECT_EQ(Modem().Close(), 1);
    EXPECT_TRUE(port->IsOpen());
    EXPECT_TRUE(port->written.empty());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(CDataSeriellATTest, HangUpEscapesWithPausesAndEndsWithAth) {
    Connected();
    port->lines.SetCarrier(true);
    EXPECT_EQ(Modem().Close(), 1);
    EXPECT_TRUE(acquisitionStop.IsSet());
    EXPECT_EQ(port->written, (std::vector<std::string>{"+", "+", "+", "ath\r\n"}));
    EXPECT_EQ(port->writeTicks[1] - port->writeTicks[0], 50u);
    EXPECT_EQ(port->writeTicks[2] - port->writeTicks[1], 50u);
    EXPECT_FALSE(Modem().IsOpen());
    EXPECT_FALSE(port->IsOpen());
    EXPECT_TRUE(OutputHas("Disonnected from 0123", kColourSuccess));
    EXPECT_NE(ModemLog().find("Disonnected from 0123"), std::string::npos);
    EXPECT_FALSE(ui.busy);
}

TEST_F(CDataSeriellATTest, LineWithoutCarrierCountsAsHungUpWithoutAth) {
    Connected();
    script.escapeReply.clear();
    EXPECT_EQ(Modem().Close(), 1);
    EXPECT_EQ(port->written, (std::vector<std::string>{"+", "+", "+"}));
}

TEST_F(CDataSeriellATTest, ModemThatIgnoresTheEscapeIsHungUpByTheStationsModem) {
    Connected();
    port->lines.SetCarrier(true);
    script.escapeReply.clear();
    script.replies["*CONNECT OFF"] = "\r\nNO CARRIER\r\n";
    EXPECT_EQ(Modem().Close(), 1);
    EXPECT_EQ(Count(Output(), "+++ sent"), 6u);
    EXPECT_EQ(script.commands, std::vector<std::string>{"*CONNECT OFF"});
    EXPECT_TRUE(OutputHas("Disconnecting from GSM!!\r\nTry 6 of 6", kColourAction));
    EXPECT_FALSE(Modem().IsOpen());
}

TEST_F(CDataSeriellATTest, ModemThatNeverHangsUpStaysConnectedAndIsNotDialledAgain) {
    Connected();
    port->lines.SetCarrier(true);
    script.replies.erase("ath");
    EXPECT_EQ(Modem().Close(), 0);
    EXPECT_EQ(Count(Output(), "+++ sent"), 6u);
    EXPECT_EQ(Count(script.commands, "ath"), 6u * 3u + 1u);
    EXPECT_EQ(Count(script.commands, "*CONNECT OFF"), 3u);
    EXPECT_EQ(script.commands.back(), "ath");
    EXPECT_EQ(Shown("caution"),
              (std::vector<std::string>{
                  "Disconnecting failed (\"Please disconnect mobile manually\")",
                  "Connection to mobile couldn't be closed(\"Please disconnect manually\")"}));
    EXPECT_NE(ModemLog().find("Could not disconnect from 0123"), std::string::npos);
    EXPECT_FALSE(port->IsOpen());
    EXPECT_TRUE(Modem().IsOpen());
    EXPECT_FALSE(ui.busy);

    port->written.clear();
    const std::uint64_t start = clock.TickMs();
    EXPECT_TRUE(Modem().Open());
    EXPECT_TRUE(port->IsOpen());
    EXPECT_TRUE(port->written.empty());
    EXPECT_LT(clock.TickMs() - start, 100u);
}

TEST_F(CDataSeriellATTest, ModemThatDisappearsDuringTheDialIsReportedAndDialledAgainLater) {
    Modem();
    port->station = [this](FakeSerialPort& p, const std::string& written) {
        if (written == "at&c1\r\n") p.lost = true;
        script(p, written);
    };
    const std::uint64_t start = clock.TickMs();
    EXPECT_FALSE(Modem().Open());
    EXPECT_LT(clock.TickMs() - start, 5000u);
    EXPECT_TRUE(OutputHas("The modem on /dev/ttyUSB1 is gone!", kColourError));
    EXPECT_NE(ModemLog().find("The modem on /dev/ttyUSB1 is gone!"), std::string::npos);
    EXPECT_FALSE(port->IsOpen());
    EXPECT_FALSE(ui.busy);

    port->lost = false;
    port->incoming.clear();  // opening the port discards what was waiting
    port->station = [this](FakeSerialPort& p, const std::string& written) { script(p, written); };
    EXPECT_TRUE(Modem().Open());
}

TEST_F(CDataSeriellATTest, CallThatDropsWhileDataPassIsNoLongerConnected) {
    Connected();
    port->Send("12:00:00,TE5.0,\r\n\r\nNO CARR");
    char byte = 0;
    while (Modem().Read(&byte, 1) == CDataBase::ReadResult::Received) {
    }
    EXPECT_TRUE(Modem().IsOpen()) << "not yet the whole reply";
    port->Send("IER\r\n");
    while (Modem().Read(&byte, 1) == CDataBase::ReadResult::Received) {
    }
    EXPECT_FALSE(Modem().IsOpen());
    EXPECT_TRUE(OutputHas("The call to 0123 dropped: NO CARRIER", kColourError));
    EXPECT_NE(ModemLog().find("The call to 0123 dropped: NO CARRIER"), std::string::npos);
    EXPECT_EQ(Modem().Close(), 1);
    EXPECT_TRUE(port->written.empty()) << "no hang-up for a call that is gone";
    EXPECT_TRUE(Modem().Open());
    EXPECT_EQ(Count(script.commands, "ATD0123;"), 1u) << "the next connect dials again";
}

TEST_F(CDataSeriellATTest, ModemThatDisappearsDuringTheHangUpLeavesTheTransportUnconnected) {
    Connected();
    port->lines.SetCarrier(true);
    port->lost = true;
    EXPECT_EQ(Modem().Close(), 0);
    EXPECT_FALSE(Modem().IsOpen());
    EXPECT_FALSE(port->IsOpen());
    EXPECT_EQ(Count(Output(), "+++ sent"), 1u);
    EXPECT_TRUE(Shown("caution").empty());
}

TEST(CModemLogEntry, IsFramedAndDated) {
    const std::time_t time = 1700000000;
    const std::string entry = CModemLog::BuildEntry("Connecting to number 0123", time);
    const std::string frame(92, '#');
    EXPECT_EQ(entry, frame + "\r\n" + FormatLocalTime(time, "%a %d.%m.%y ; %H:%M:%S") + "\r\n" +
                         "Connecting to number 0123\r\n" + frame + "\r\n\r\n\r\n");
}

TEST(CModemLogFile, ThatIsAFolderIsNamedInTheBox) {
    OutputList::Process().Clear();
    TempFolder folder;
    std::filesystem::create_directory(folder.File("ModemLog.txt"));
    ManualClock clock;
    ManualEventQueue events;
    ScriptedUi ui;
    CModemLog log(folder.File("ModemLog.txt"), clock, events, ui);
    EXPECT_FALSE(log.WriteToLog("x"));
    events.RunPending();
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"ModemLog.txt: Is a directory"});
}

TEST(CModemLogFile, ThatCannotBeWrittenIsReported) {
    OutputList::Process().Clear();
    ManualClock clock;
    ManualEventQueue events;
    ScriptedUi ui;
    CModemLog log("/nonexistent-folder/ModemLog.txt", clock, events, ui);
    EXPECT_FALSE(log.WriteToLog("x"));
    events.RunPending();
    EXPECT_EQ(ui.Messages().size(), 1u);
    const auto lines = OutputList::Process().Snapshot();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "CModemLog::WriteToLOg");
    EXPECT_NE(lines[1].text.find(" <==> NR: 2"), std::string::npos);
}

}  // namespace
