#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PumpedLoop.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "app/InitSession.h"
#include "comm/AcquisitionLoop.h"
#include "comm/SystemTransportFactory.h"
#include "comm/TransportServices.h"
#include "model/OutputList.h"
#include "platform/SystemClock.h"
#include "sim/SeedData.h"
#include "sim/Station.h"

// The program's side of a conversation with a simulated station: real clock,
// real transports, a pumped user-interface loop, settings in a temp folder.
class ConversationWorld : public StationHome {
public:
    ConversationWorld() { OutputList::Process().Clear(); }
    ~ConversationWorld() {
        acquisition.Stop();
        if (auto transport = process.CurrentTransport.Get()) transport->Close();
        if (station) station->Stop();
    }

    // The station on `link`, with the options the test sets.
    bool StartStation(orbsim::LinkKind link, orbsim::StationOptions options) {
        options.link = link;
        // A fixed name for the serial port, as a udev link gives a USB adapter.
        if (link == orbsim::LinkKind::kPty) options.linkPath = folder.File("ttyORB");
        options.sensors = {{"TE", 1}, {"FE", 0}};
        station = std::make_unique<orbsim::Station>(options);
        std::string error;
        const bool started = station->Start(&error);
        EXPECT_TRUE(started) << error;
        return started;
    }

    // A day of TE and FE in the data folder, every `interval` seconds up to `last`.
    std::time_t SeedDataUntil(std::time_t last, int interval = 300) {
        orbsim::SeedOptions seed;
        seed.folder = DataFolder();
        seed.days = 1;
        seed.interval = interval;
        seed.sensors = {{"TE", 1}, {"FE", 0}};
        seed.end = last;
        EXPECT_TRUE(orbsim::SeedDataFolder(seed).ok);
        return last;
    }
    // The same with the last record `hoursBack` whole hours ago at a storage boundary.
    std::time_t SeedData(int hoursBack) {
        return SeedDataUntil(orbsim::LastBoundaryAtOrBefore(std::time(nullptr), 300) -
                             hoursBack * 3600);
    }

    // The station settings for the station's link, then `sections`.
    std::string ConnectionSections() const {
        if (station->TcpPort() != 0)
            return "[DataParams]\nSettsID=2\n[TCP/IP "
                   "Schnittstelle]\nIP-Adresse=127.0.0.1\nIP-Port=" +
                   std::to_string(station->TcpPort()) + "\n";
        return "[DataParams]\nSettsID=1\n[Serielle Schnittstelle]\nAnschluss=" +
               folder.File("ttyORB") + "\nBaudrate=9600\nDatenbits=8\nParitaet=0\nStoppbits=0\n";
    }

    // Opens the document and its link.
    bool OpenDocument(const std::string& sections, int interval = 300) {
        WriteStation(ConnectionSections() + sections, interval);
        document = std::make_unique<CWetterDoc>(context);
        transport = process.CurrentTransport.Get();
        EXPECT_NE(transport, nullptr);
        const bool open = transport != nullptr && transport->Open();
        EXPECT_TRUE(open);
        return open;
    }

    struct View final : InitView {
        void SetCaption(const std::string& text) override { caption = text; }
        void SetStatus(const std::string& text) override { statuses.push_back(text); }
        void SetProgressRange(int) override {}
        void SetProgress(int) override {}
        void EnableCancel(bool) override {}
        void Finished() override { finished = true; }
        std::string caption;
        std::vector<std::string> statuses;
        bool finished = false;
    };

    // Runs one initialisation to its end; its error code, or -1 when it did not end in time.
    int RunInitialisation(int limitMs = 15000) {
        View view;
        InitSession session(*document, view, nullptr);
        session.Start();
        if (!loop.RunUntil([&] { return view.finished; }, limitMs)) return -1;
        lastCaption = view.caption;
        return session.Sequence().ErrorCode();
    }

    // Lines the acquisition reader delivers go to record reception, as the main window does.
    struct Receiver final : StationLineReceiver {
        void OnStationLine(CWetterDoc* doc, std::string line) override {
            ++lines;
            doc->ProcessLine(line, false, false);
        }
        void OnNoData(CWetterDoc* doc) override {
            ++noData;
            doc->ReportConnectionState(CWetterDoc::ConnectionState::kNoData);
        }
        int lines = 0;
        int noData = 0;
    };

    std::vector<std::string> OutputTexts() const {
        std::vector<std::string> texts;
        for (const auto& line : OutputList::Process().Snapshot()) texts.push_back(line.text);
        return texts;
    }
    bool OutputHas(const std::string& text) const {
        for (const auto& line : OutputTexts())
            if (line == text) return true;
        return false;
    }

    IniProfile profile;
    SystemClock clock;
    PumpedLoop loop;
    ScriptedUi ui;
    ErrorLog errorLog{paths.InFolder("ErrLog.txt"), clock, loop, ui};
    ProcessValues process;
    TransportServices services{clock, loop, ui, process.BaudSearchAbortEvent};
    SystemTransportFactory factory{services};
    AppContext context{profile, paths, clock, loop, loop, ui, errorLog, process, &factory};
    Receiver receiver;
    AcquisitionLoop acquisition{process, clock, loop, ui, receiver};
    std::unique_ptr<orbsim::Station> station;
    std::unique_ptr<CWetterDoc> document;
    std::shared_ptr<CDataBase> transport;
    std::string lastCaption;
};
