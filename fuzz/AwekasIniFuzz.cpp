// Any bytes as awekas.ini: the settings must read within their lengths, the
// dialog must find each assignment among the station's sensors, an upload's
// record and URL must be built from them, and saved they read back unchanged.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzFiles.h"
#include "platform/IniProfile.h"
#include "publish/AwekasSettings.h"
#include "publish/CAwekas.h"
#include "publish/Cmd5Capi.h"

namespace {
constexpr const char* kName = "AwekasIniFuzz";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFolder folder;
    static const std::vector<AwekasSensorChoice> choices = {
        {"Temperature", "TA"}, {"Humidity", "FE"}, {"Wind", "WG"}, {"Direction", "WR"}};
    IniProfile profile;
    const std::string file =
        folder.Write("awekas.ini", std::string_view(reinterpret_cast<const char*>(data), size));

    const AwekasSettings settings = LoadAwekasSettings(profile, file);
    for (const std::string* text : {&settings.password, &settings.user, &settings.proxyAddress,
                                    &settings.proxyPassword, &settings.proxyUser})
        if (text->size() > kAwekasMaxText) FuzzFail(kName, "text too long");

    // The dialog's boxes, then the record an upload sends.
    AwekasRecordInput input;
    input.user = settings.user;
    input.hash = Cmd5Capi::Hash(settings.password);
    input.time = 1709474709;
    input.softwareFlag = settings.softwareFlag;
    for (std::size_t i = 0; i < kAwekasSensorCount; ++i) {
        if (settings.sensors[i].size() > kAwekasMaxText) FuzzFail(kName, "sensor too long");
        if (const auto chosen = AwekasSelectedChoice(choices, settings.sensors[i]))
            input.values[i] = 12.5f * static_cast<float>(*chosen) - 10.0f;
    }
    if (!settings.Sensor(AwekasSensor::kSolarRadiation).empty()) input.sunshineSeconds = 7261;
    const std::string record = CAwekas::BuildRecord(input);
    CAwekas::BuildUrl(record);

    if (!SaveAwekasSettings(profile, file, settings)) FuzzFail(kName, "save failed");
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || (info.st_mode & 077) != 0)
        FuzzFail(kName, "saved file readable by others");
    if (LoadAwekasSettings(profile, file) != settings)
        FuzzFail(kName, "saved settings read back changed");
    return 0;
}
