#pragma once

// The simulated station on a TCP port of 127.0.0.1, with a day of stored data
// in a station home whose settings connect to it at start.

#include <ctime>
#include <memory>
#include <string>

#include "StationHome.h"
#include "sim/SeedData.h"
#include "sim/Station.h"

// Starts a station with `options` (link, storage interval 2 s), seeds a day of
// its sensors into `home` (so the program connects at start instead of asking
// to be set up) and writes the settings, with `sections` after them. Nothing
// when the station does not start or the data cannot be seeded.
inline std::unique_ptr<orbsim::Station> StartStationOnTcp(const StationHome& home,
                                                          orbsim::StationOptions options,
                                                          const std::string& sections = "") {
    options.link = orbsim::LinkKind::kTcp;
    options.storageInterval = 2;
    auto station = std::make_unique<orbsim::Station>(options);
    if (!station->Start()) return nullptr;
    orbsim::SeedOptions seed;
    seed.folder = home.DataFolder();
    seed.days = 1;
    seed.interval = 2;
    seed.sensors = options.sensors;
    seed.end = orbsim::LastBoundaryAtOrBefore(std::time(nullptr) - 30, 2);
    if (!orbsim::SeedDataFolder(seed).ok) return nullptr;
    home.WriteStation("[DataParams]\nSettsID=2\n[TCP/IP Schnittstelle]\nIP-Adresse=127.0.0.1\n"
                      "IP-Port=" + std::to_string(station->TcpPort()) +
                          "\n[Programmstart]\nStart=1\n[Dateninterpretation]\nMit_Speicher=0\n"
                          "Daten_Speichern=0\n" + sections,
                      2);
    return station;
}
