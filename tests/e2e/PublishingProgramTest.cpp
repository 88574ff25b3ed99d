// The real program's outputs after each stored record, against the simulated
// station: the HTML current-values page, the upload to a database script, the
// AWEKAS upload through a proxy, and a process started by process control;
// and a database server that never answers, which must not hold up the records.
#ifdef WETTER_EXECUTABLE

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "LocalHttpServer.h"
#include "WetterProgram.h"
#include "platform/Clock.h"
#include "publish/CAwekas.h"
#include "sim/WeatherModel.h"

namespace {

using namespace e2e;

// MD5 of "geheim", the AWEKAS password below.
constexpr const char* kPasswordHash = "e8636ea013e682faf61f56ce1cb1ab5c";

// The value of `id` in a stored record line ("...,TE12.5,FE71,\r\n").
std::string FieldOf(const std::string& line, const std::string& id) {
    const std::size_t at = line.find("," + id);
    if (at == std::string::npos) return "<none>";
    const std::size_t start = at + 1 + id.size();
    return line.substr(start, line.find(',', start) - start);
}

std::string FirstLine(const std::string& request) {
    return request.substr(0, request.find("\r\n"));
}

class PublishingProgram : public WetterProgram {
protected:
    PublishingProgram() {
        m_interval = 2;
        m_cycle = 0.5;
    }

    // The station with named sensors, the page layout choosing only TE, and the
    // database upload to `m_database`.
    void WritePublishingSettings() {
        WriteSettings();
        folder.Write("wetterdefine.ini",
                     "[TE]\nName=Aussentemperatur\nUnit=C\nNachKomma=1\nFaktor=1\n"
                     "Untergrenze Wert=-50\nObergrenze Wert=100\n"
                     "[FE]\nName=Luftfeuchte\nUnit=%\nNachKomma=0\nFaktor=1\n"
                     "Untergrenze Wert=0\nObergrenze Wert=100\n");
        folder.Write("HTML.ini",
                     "[SectionLocation]\r\nAm Teich\r\n[SectionSensors]\r\nAussentemperatur\r\n"
                     "[SectionPicture]\r\n\r\n[SectionText]\r\nGartenstation\r\n");
        folder.Write("http_up.ini", "[HTTP]\nPfad=" + m_database.Url("/up.php") +
                                        "\nBenutzer=anna\nPasswort=s3cret\nDatenbank=wetter\n"
                                        "Tabelle=messwerte\n[HttpUpload]\nAktiv=TRUE\n");
    }
    // The AWEKAS upload, sent to `m_proxy` as its proxy.
    void WriteAwekasSettings() {
        folder.Write("awekas.ini",
                     "[Awekas]\nAktiv=TRUE\nUser=anna\nPasswort=geheim\n"
                     "SensTE=TE\nSensFE=FE\nProxy=TRUE\nProxyAddr=127.0.0.1\n"
                     "ProxyPort=" +
                         std::to_string(m_proxy.Port()) + "\n");
    }
    // A process that alternates: started, then released by the next line, and so on.
    void WriteProcess() {
        const std::string script =
            folder.Write("mark.sh", "#!/bin/sh\necho \"$#|$1|$2|$(date +%s)\" >> \"" +
                                        folder.File("marks.txt") + "\"\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        folder.Write("wetterprocess.ini", "[Process]\nCount=1\n[1]\nProcess=" + script +
                                              "\nParameter=\"a b\" c\n"
                                              "Ausfuehrbedingung=TE>-100\nResetbedingung=FE>-1\n");
    }
    std::vector<std::string> MarkLines() const {
        std::vector<std::string> lines;
        std::istringstream in(folder.Read("marks.txt"));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    // The data's CR LF as the query carries it; the rest of a record line stands as it is.
    static std::string Query(const std::string& line) {
        return line.substr(0, line.size() - 2) + "%0D%0A";
    }
    std::vector<std::string> LiveLines(std::time_t started) const {
        std::vector<std::string> lines;
        for (const auto& line : NewLines())
            if (TimeOf(line) >= started) lines.push_back(line);
        return lines;
    }

    LocalHttpServer m_database;
    LocalHttpServer m_proxy;
};

TEST_F(PublishingProgram, EachStoredRecordBringsThePageTheUploadsAndTheProcess) {
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WritePublishingSettings();
    WriteAwekasSettings();
    WriteProcess();
    const std::time_t started = std::time(nullptr);
    Program program(*this);

    ASSERT_TRUE(WaitFor([&] { return LastTime() >= started + 6 * m_interval; }, 40s))
        << folder.Read("ErrLog.txt");
    ASSERT_EQ(program.Stop(), 0);
    std::this_thread::sleep_for(300ms);  // a process started last may still be writing

    // Process control runs for every line, the logger's and the live ones:
    // released by the next, the process starts for every other one. The starts of
    // a logger read-out follow one another 100 ms apart, well into the live lines,
    // so they are counted over the whole run.
    std::size_t lines = m_station->RecordLinesSent();
    for (const auto& line : NewLines())
        if (TimeOf(line) < started) ++lines;
    const std::size_t runs = MarkLines().size();
    EXPECT_GE(runs, 2u);
    EXPECT_LE(runs, lines / 2 + 1) << "started again before its release";

    const std::vector<std::string> live = LiveLines(started);
    ASSERT_GE(live.size(), 4u);

    // The page: written for the last record (or a later line), only the chosen sensor.
    const std::string page = folder.Read("Daten/AktWert.Html");
    std::smatch date, value;
    ASSERT_TRUE(std::regex_search(
        page, date, std::regex(R"(am: (\d\d)\.(\d\d)\.(\d\d) um: (\d\d)h : (\d\d)m : (\d\d)s)")))
        << page;
    ASSERT_TRUE(std::regex_search(
        page, value, std::regex(R"(Aussentemperatur</strong>[\s\S]*?<strong>(-?[0-9.]+) C<)")))
        << page;
    EXPECT_NE(page.find("Am Teich"), std::string::npos) << page;
    EXPECT_EQ(page.find("Luftfeuchte"), std::string::npos) << "not chosen: " << page;
    std::tm fields{};
    fields.tm_mday = std::stoi(date[1]);
    fields.tm_mon = std::stoi(date[2]) - 1;
    fields.tm_year = std::stoi(date[3]) + 100;
    fields.tm_hour = std::stoi(date[4]);
    fields.tm_min = std::stoi(date[5]);
    fields.tm_sec = std::stoi(date[6]);
    fields.tm_isdst = -1;
    const std::time_t pageTime = std::mktime(&fields);
    EXPECT_GE(pageTime, TimeOf(live.back()));
    // What the station sent at that time.
    const orbsim::WeatherModel model(orbsim::StationOptions{}.seed);
    EXPECT_DOUBLE_EQ(std::stod(value[1]),
                     std::stod(orbsim::FormatValue(model.Value("TE", pageTime, pageTime), 1)));

    // The database: each stored record once, in order, with the credentials; the
    // logger's records of the initialisation too.
    const std::string script = "POST /up.php?user=anna&pass=s3cret&db=wetter&tbl=messwerte&data=";
    std::vector<std::string> uploaded;
    for (const auto& request : m_database.Requests()) {
        const std::string first = FirstLine(request);
        ASSERT_EQ(first.rfind(script, 0), 0u) << first;
        uploaded.push_back(first.substr(script.size(), first.rfind(" HTTP/") - script.size()));
    }
    std::vector<std::string> stored;
    for (const auto& line : NewLines()) stored.push_back(Query(line));
    EXPECT_EQ(uploaded, stored);

    // AWEKAS: through the proxy, the records stored after the initialisation (the
    // logger's records have no current values), each with its time and values.
    const std::string awekas = "GET http://" + std::string(CAwekas::kServiceHost) +
                               "/eingabe_pruefung.php/eingabe_pruefung.php?val=anna;" +
                               kPasswordHash + ";";
    const std::vector<std::string> proxied = m_proxy.Requests();
    ASSERT_GE(proxied.size(), 3u);
    ASSERT_LE(proxied.size(), live.size()) << ::testing::PrintToString(proxied);
    for (std::size_t i = 0; i < proxied.size(); ++i) {
        const std::string& line = live[live.size() - proxied.size() + i];
        char temperature[32];
        std::snprintf(temperature, sizeof temperature, "%.2f", std::stod(FieldOf(line, "TE")));
        const std::string record = awekas + FormatLocalTime(TimeOf(line), "%d.%m.%Y;%H:%M") + ";" +
                                   temperature + ";" + FieldOf(line, "FE") + ";";
        EXPECT_EQ(FirstLine(proxied[i]).rfind(record, 0), 0u) << record << "\n"
                                                              << FirstLine(proxied[i]);
        EXPECT_NE(proxied[i].find("\r\nHost: " + std::string(CAwekas::kServiceHost) + "\r\n"),
                  std::string::npos)
            << proxied[i];
    }
    EXPECT_NE(folder.Read("AwekasLog.txt").find(awekas.substr(4)), std::string::npos);

    // The process got its two arguments.
    const std::vector<std::string> marks = MarkLines();
    ASSERT_FALSE(marks.empty());
    for (const auto& mark : marks) {
        ASSERT_EQ(mark.rfind("2|a b|c|", 0), 0u) << mark;
        EXPECT_GE(std::stol(mark.substr(8)), started) << mark;
    }
}

TEST_F(PublishingProgram, RecordsKeepTheirTimeWhileTheDatabaseNeverAnswers) {
    m_database.NeverAnswer();
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WritePublishingSettings();
    const std::time_t started = std::time(nullptr);
    Program program(*this);
    ASSERT_TRUE(m_database.WaitForRequests(1, 30000));

    // Once the logger's records are in, live records are stored as they arrive
    // while the upload hangs.
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= started; }, 30s));
    std::time_t last = LastTime();
    for (int record = 0; record < 3; ++record) {
        ASSERT_TRUE(WaitFor([&] { return LastTime() > last; }, 10s));
        last = LastTime();
        EXPECT_LE(std::time(nullptr) - last, 2) << "stored late";
    }
    EXPECT_EQ(m_database.Requests().size(), 1u) << "the first upload was to hang";

    // The hanging upload does not keep the program from ending; what waited is noted.
    EXPECT_EQ(program.Stop(), 0);
    EXPECT_NE(folder.Read("ErrLog.txt").find("upload(s) not sent at exit"), std::string::npos)
        << folder.Read("ErrLog.txt");
}

}  // namespace

#endif
