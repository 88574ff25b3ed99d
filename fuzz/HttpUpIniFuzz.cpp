// Any bytes as http_up.ini: the upload settings must read within their
// lengths and build a request whose shown form hides the password; saved, they
// read back unchanged.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzFiles.h"
#include "platform/IniProfile.h"
#include "publish/CHttpUpload.h"

namespace {
constexpr const char* kName = "HttpUpIniFuzz";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFolder folder;
    IniProfile profile;
    const std::string file =
        folder.Write("http_up.ini", std::string_view(reinterpret_cast<const char*>(data), size));

    CHttpUpload upload(profile, file);
    upload.LoadUploadSettings();
    upload.ReadUploadActive();
    const HttpUploadSettings settings = upload.Settings();
    for (const std::string* text : {&settings.Database, &settings.Table, &settings.UserName,
                                    &settings.UserPassword, &settings.ProxyAddress})
        if (text->size() > CHttpUpload::kMaxText) FuzzFail(kName, "text too long");
    if (settings.ScriptPath.size() > CHttpUpload::kMaxScriptPath)
        FuzzFail(kName, "script path too long");

    // The request for one record, and what the output window shows of it.
    const std::string url = CHttpUpload::RequestUrl(settings, "12:00:00,01.03.2024,TA12.5,");
    const std::string shown = CHttpUpload::HidePassword(url);
    const std::string password = CHttpUpload::QueryValue(settings.UserPassword);
    if (password.size() >= 4 && shown.find("pass=" + password) != std::string::npos)
        FuzzFail(kName, "password shown");
    if (CHttpUpload::HidePassword(shown) != shown) FuzzFail(kName, "hiding twice changes more");

    if (!upload.SaveUploadSettings()) FuzzFail(kName, "save failed");
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || (info.st_mode & 077) != 0)
        FuzzFail(kName, "saved file readable by others");
    CHttpUpload again(profile, file);
    again.LoadUploadSettings();
    if (again.Settings() != settings) FuzzFail(kName, "saved settings read back changed");
    return 0;
}
