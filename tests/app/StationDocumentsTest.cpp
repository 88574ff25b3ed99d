// The open station documents that the main window and the service mode share:
// they take the station's lines while open, learn their last stored record,
// and closing them stops their stations.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FakeTransport.h"
#include "StationHome.h"
#include "app/AcquisitionUi.h"
#include "app/CWetterDoc.h"
#include "app/StationDocuments.h"

namespace {

struct InstantInitialisation final : AcquisitionUi {
    void RunInitialisation(CWetterDoc& document) override { document.SetReconnecting(false); }
    bool SearchBaudRate(CDataBase&, SerialLineSettings&) override { return true; }
    void ExitProcess(int) override {}
};

class Stations : public ::testing::Test, protected ManualWorld {
protected:
    static void SetUpTestSuite() { UseUtcZone(); }

    Stations() : ManualWorld(Utc(2024, 3, 10, 12, 0)) {
        context.transports = &factory;
        context.acquisitionUi = &acquisitionUi;
        WriteStation(
            "[DataParams]\nSettsID=2\n[TCP/IP Schnittstelle]\nIP-Adresse=127.0.0.1\n"
            "IP-Port=7000\n[Programmstart]\nStart=1\n[Dateninterpretation]\nMit_Speicher=0\n"
            "Daten_Speichern=0\n");
        std::filesystem::create_directories(DataFolder());
        folder.Write("Daten/03_2024.orb", "11:55:00,10.03.24,TE4.0,FE70,\r\n");
    }
    std::shared_ptr<FakeTransport> Transport() const {
        return std::static_pointer_cast<FakeTransport>(process.CurrentTransport.Get());
    }

    FakeTransportFactory factory;
    InstantInitialisation acquisitionUi;
};

TEST_F(Stations, TakeTheStationsLinesWhileTheyAreOpen) {
    auto stations = std::make_unique<StationDocuments>(context);
    EXPECT_EQ(context.host, &stations->Switchboard());
    EXPECT_EQ(context.lineReceiver, &stations->Switchboard());

    CWetterDoc& document = stations->Add();
    ASSERT_TRUE(document.OnNewDocument());
    document.SensorIdentifiers() = {"TE", "FE"};
    document.LoadSensorDefinitions();
    stations->Switchboard().OnStationLine(&document, "12:00:00,10.03.24,TE5.0,FE80,\x1F\r\n");
    EXPECT_NE(folder.Read("Daten/03_2024.orb").find("12:00:00,10.03.24,TE5.0,FE80,"),
              std::string::npos);

    CWetterDoc* closed = &document;
    stations->CloseAll();
    EXPECT_FALSE(stations->Contains(closed));
    EXPECT_TRUE(stations->Documents().empty());
    stations.reset();
    EXPECT_EQ(context.host, nullptr);
    EXPECT_EQ(context.lineReceiver, nullptr);
}

TEST_F(Stations, ClosingStopsTheStationAndClosesItsLink) {
    StationDocuments stations(context);
    CWetterDoc& document = stations.Add();
    ASSERT_TRUE(document.OnNewDocument());
    ASSERT_TRUE(document.AcquisitionRunning());
    const std::shared_ptr<FakeTransport> link = Transport();
    ASSERT_TRUE(link->open);

    stations.CloseAll();
    EXPECT_FALSE(link->open);
    EXPECT_EQ(link->written, (std::vector<std::string>{"\r\n", "\r\n"}));
}

TEST_F(Stations, LearnTheLastStoredRecordOfTheirDataFiles) {
    StationDocuments stations(context);
    CWetterDoc& document = stations.Add();
    EXPECT_EQ(document.LastStoredTime(), 0);
    stations.TakeLastStoredRecords();
    EXPECT_EQ(document.LastStoredTime(), Utc(2024, 3, 10, 11, 55));
}

}  // namespace
