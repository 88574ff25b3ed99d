// Any bytes as HTML.ini: the page must come out whole (head to end, CR LF line
// ends only), and what the dialog reads must save and read back unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/CSensoren.h"
#include "publish/CHTMLWriter.h"
#include "publish/HtmlSettings.h"
#include "storage/CAktuell.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "HtmlIniFuzz: %s\n", what);
    std::abort();
}

// Names that meet the markers and the empty-line rule; one value missing.
struct Station {
    Station() {
        setenv("TZ", "UTC", 1);
        tzset();
        const char* names[] = {"Temperatur", "Regen", "", "[SectionText]", "\r"};
        for (const char* name : names) {
            sensors.push_back(std::make_unique<CSensoren>());
            sensors.back()->m_name = name;
            sensors.back()->m_unit = "mm";
            sensors.back()->m_decimals = static_cast<int>(sensors.size());
            values.push_back(std::make_unique<CAktuell>(name, sensors.back().get()));
            values.back()->m_value = sensors.size() == 2 ? -99999.0f : 12.25f;
            values.back()->m_time = 1709474709;
        }
    }
    std::vector<std::unique_ptr<CSensoren>> sensors;
    CHTMLWriter::CurrentValues values;
};

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Station station;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string page = CHTMLWriter::ConfiguredPage(bytes, station.values);
    if (page.rfind("<html>\r\n", 0) != 0) Fail("page does not start with its head");
    if (!EndsWith(page, "</div>\r\n</html>\r\n")) Fail("page is not complete");
    for (std::size_t i = 0; i < page.size(); ++i)
        if (page[i] == '\n' && (i == 0 || page[i - 1] != '\r')) Fail("LF without CR in the page");

    const HtmlSettings read = ParseHtmlSettings(bytes);
    if (ParseHtmlSettings(HtmlSettingsBytes(read)) != read)
        Fail("saved settings read back changed");
    return 0;
}
