#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/InformationRequest.h"

namespace {

TEST(InformationRequest, IsFoundAnywhereAndNeverTakenForAStationSwitch) {
    struct Row {
        std::vector<std::string> arguments;
        InformationRequest expected;
    };
    const Row rows[] = {
        {{}, InformationRequest::kNone},
        {{"--help"}, InformationRequest::kHelp},
        {{"-h"}, InformationRequest::kHelp},
        {{"-GPS", "--version"}, InformationRequest::kVersion},
        {{"--version", "--help"}, InformationRequest::kVersion},  // the first one answers
        {{"-PC", "-SILENT", "-!PR", "--headless"}, InformationRequest::kNone},
        {{"-platform", "offscreen"}, InformationRequest::kNone},  // Qt's own
        {{"--HELP"}, InformationRequest::kNone},
        {{"--helpme"}, InformationRequest::kNone},
    };
    for (const Row& row : rows) {
        std::string shown;
        for (const std::string& argument : row.arguments) shown += argument + " ";
        SCOPED_TRACE(shown);
        EXPECT_EQ(FindInformationRequest(row.arguments), row.expected);
    }
}

TEST(InformationRequest, VersionIsOneLineWithTheProjectsVersion) {
    EXPECT_EQ(VersionText(), "wetter " WETTER_VERSION "\n");
}

TEST(InformationRequest, HelpNamesEverySwitchAndTheFilesOfTheNameItWasStartedUnder) {
    const std::string help = HelpText("/usr/bin/garten");
    EXPECT_TRUE(help.starts_with("Usage: garten "));
    for (const char* text : {"-PC", "-GPS", "-NO", "-SILENT", "-!PR", "--headless", "--help",
                             "--version", "WETTER_HOME", "XDG_DATA_HOME", "~/.local/share/wetter",
                             "gartenstation.ini", "gartendefine.ini", "ErrLog.txt", "wetter(1)"})
        EXPECT_NE(help.find(text), std::string::npos) << text;
    for (std::size_t start = 0, end; start < help.size(); start = end + 1) {
        end = help.find('\n', start);
        ASSERT_NE(end, std::string::npos) << "the help ends with a line end";
        EXPECT_LE(end - start, 80u) << help.substr(start, end - start);
    }
    EXPECT_TRUE(HelpText("").starts_with("Usage: wetter "));
}

}  // namespace
