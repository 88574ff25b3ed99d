// One input is the bytes of one month's data file, read back over that month
// with a few measured sensors and a virtual one, in the data mode that the
// input's size picks. Also holds the record fast paths to RecordLine's results
// for every line of the input.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "../tests/support/ScriptedUi.h"
#include "QuietSeams.h"
#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "calc/CFormelParser.h"
#include "comm/ProcessValues.h"
#include "model/ErrorLog.h"
#include "platform/EventQueue.h"
#include "platform/IniProfile.h"
#include "platform/ProgramPaths.h"
#include "platform/SystemClock.h"
#include "platform/Timers.h"
#include "storage/CEinlesen.h"
#include "storage/CListGraph.h"
#include "storage/PlainRecord.h"
#include "storage/ReaderView.h"
#include "storage/RecordDecoder.h"
#include "storage/RecordLine.h"

namespace {

class EndView final : public ReaderView {
public:
    void OnReadProgress(int) override {}
    void OnReadFinished(bool) override { ++ends; }
    void OnNothingRead() override { ++ends; }
    int ends = 0;
};

void Write(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct Station {
    Station() : home(MakeHome()), paths(home + "/wetter") {
        Write(home + "/wetterdefine.ini",
              "[TE]\r\nFaktor=1\r\nAnzeige Summe=ja\r\nAuswahl Summe=1\r\n"
              "Anzeige Aktivitaet=ja\r\nAktivitaet Auswahl=1\r\nAktivitaet Wert=0.5\r\n"
              "Anzeige Tendenz=ja\r\n"
              "[FE]\r\nFaktor=0.5\r\nOffset=3\r\nAnzeige Summe=ja\r\nAuswahl Summe=2\r\n"
              "[WG]\r\nFaktor=1\r\nBeaufort=ja\r\nAnzeige Aktivitaet=ja\r\n");
        Write(home + "/wetterintern.ini",
              "[Interne Sensoren]\r\niKennung=TM,\r\n"
              "[TM]\r\nFormel=(TE+FE)/2-WG\r\nUntergrenze Wert=-50\r\nObergrenze Wert=FE\r\n"
              "Obergrenze Format=1\r\nUeberschreitwert=TE\r\nUeberschreit Format=2\r\n"
              "Anzeige Tendenz=ja\r\nAuswahl Tendenz=1\r\nZeitbasis Tendenz=3600\r\n");
        doc = std::make_unique<CWetterDoc>(context);
        doc->SensorIdentifiers() = {"TE", "FE", "WG"};
        doc->LoadSensorDefinitions();
        reader = std::make_unique<CEinlesen>(doc->ReadingSources(), &view);
    }

    ~Station() {
        reader.reset();
        doc.reset();
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
    }

    static std::string MakeHome() {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        std::string pattern = "/tmp/wetter-reader-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern;
    }

    std::string home;
    ProgramPaths paths;
    IniProfile profile;
    SystemClock clock;
    NoTimers timers;
    WaitingQueue events;
    ScriptedUi ui;
    ErrorLog errorLog{paths.InFolder("ErrLog.txt"), clock, events, ui};
    ProcessValues process;
    AppContext context{profile, paths, clock, events, timers, ui, errorLog, process, nullptr};
    std::unique_ptr<CWetterDoc> doc;
    EndView view;
    std::unique_ptr<CEinlesen> reader;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

// The fast paths take a line or decline; what they take must be RecordLine's result.
void CheckFastPaths(std::string_view line) {
    RecordLine::TimeTokens fast;
    const RecordLine::TimeTokens reference = RecordLine::ScanTimeTokens(line);
    if (PlainRecord::ScanTimeTokens(line, fast)) {
        Check(fast.haveTime == reference.haveTime && fast.haveDate == reference.haveDate);
        Check(fast.hour == reference.hour && fast.minute == reference.minute &&
              fast.second == reference.second && fast.day == reference.day &&
              fast.month == reference.month && fast.year == reference.year);
        Check(fast.afterDate == reference.afterDate);
    }
    std::vector<std::string_view> fields;
    RecordLine::ForEachField(line, reference.afterDate,
                             [&](std::string_view field) { fields.push_back(field); });
    std::size_t index = 0;
    PlainRecord::ForEachField(line, reference.afterDate, [&](const PlainRecord::FieldParts& parts) {
        Check(index < fields.size() && fields[index] == parts.field);
        ++index;
        const RecordLine::Field split = RecordLine::SplitField(parts.field);
        std::string_view identifier;
        std::string_view number;
        const bool plain = PlainRecord::SplitField(parts.field, identifier, number);
        if (parts.plain) Check(plain && parts.identifier == identifier && parts.number == number);
        if (!plain) return;
        Check(identifier == split.identifier);
        float value = 0;
        if (PlainRecord::ToFloat(number, value))
            Check(std::memcmp(&value, &split.value, sizeof value) == 0);
    });
    Check(index == fields.size());

    // The reader's one-pass field scan gives the general split's values, in order.
    static const std::vector<std::unique_ptr<CListGraph>> series = [] {
        CSensoren sensor;
        sensor.m_identifier = "TE";
        std::vector<std::unique_ptr<CListGraph>> list;
        list.push_back(std::make_unique<CListGraph>(sensor));
        return list;
    }();
    static CFormelParser parser;
    static RecordDecoder decoder(series, parser);
    std::vector<RecordDecoder::Value> decoded;
    decoder.DecodeValues(line, reference.afterDate, decoded);
    std::size_t taken = 0;
    for (const std::string_view field : fields) {
        const RecordLine::Field split = RecordLine::SplitField(field);
        if (split.identifier != "TE") continue;
        Check(taken < decoded.size());
        const float expected = series.front()->Convert(split.value);
        Check(std::memcmp(&decoded[taken].value, &expected, sizeof expected) == 0);
        ++taken;
    }
    Check(taken == decoded.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Station station;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    for (std::size_t begin = 0; begin < bytes.size();) {
        std::size_t end = bytes.find('\n', begin);
        if (end == std::string_view::npos) end = bytes.size();
        CheckFastPaths(bytes.substr(begin, end - begin));
        begin = end + 1;
    }

    Write(station.home + "/Daten/01_2024.orb", bytes);
    std::tm first{};
    first.tm_year = 124;
    first.tm_mday = 1;
    const std::time_t start = std::mktime(&first);
    const unsigned period = 31u * 86400u;
    const int before = station.view.ends;
    station.reader->StartReading(station.home + "/Daten", start, start + period - 1, period,
                                 static_cast<int>(size % 4), {"TE", "FE", "WG", "TM"},
                                 start + 40 * 86400, false);
    station.events.RunUntil([&] { return station.view.ends > before; });

    for (const auto& series : station.reader->Series()) {
        Check(series->Points().size() <= 400);
        for (const CDaten& point : series->Points()) Check(point.m_start <= point.m_end);
    }
    return 0;
}
