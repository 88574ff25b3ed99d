#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "ScriptedUi.h"
#include "TempFolder.h"
#include "model/OutputList.h"
#include "platform/IniProfile.h"
#include "storage/StorageOptions.h"

using namespace StorageOptions;

namespace {

const std::string kSameFolders =
    "Storage path for data and additional data are the same!\r\nSave anyway?.";
const std::string kNoFolder = "No additional directory entered!";
const std::string kCreateFailed = "Error creating directory!";
const std::string kTip = "\n\nCaution!\n For ORB9 only choose \nmultiples of 10.";

std::string CreateQuestion(const std::string& folder) {
    return "Directory does not exist!\n should " + folder + "\" be created?";
}

class StorageOptionsFixture {
public:
    std::string Station() const { return home.File("wetterstation.ini"); }
    std::string Folder(const std::string& name) const { return home.File(name); }

    TempFolder home;
    IniProfile profile;
    ScriptedUi ui;
};

TEST(StorageOptionsLoad, EmptyDataFolderShowsTheDefaultAndMissingIntervalIs120) {
    StorageOptionsFixture f;
    f.home.Write("wetterstation.ini",
                 "[Speicherintervall]\r\nVerzeichnis=\r\n"
                 "VerzeichnisZusatz=/z\r\n");
    const WriteReadOptions shown = LoadWriteReadOptions(f.profile, f.Station(), "/p/Daten");
    EXPECT_EQ(shown.dataFolder, "/p/Daten");
    EXPECT_EQ(shown.additionalFolder, "/z");
    EXPECT_EQ(shown.interval, 120);
}

// ---------------------------------------------------------------------------
// "Accept" of "Write / Read options"

enum class Exists { Yes, No, Empty, BlockedByFile };

struct AcceptRow {
    const char* name;
    Exists data;
    Exists additional;
    bool sameFolders;
    int openedInterval;
    int enteredInterval;
    const char* answers;  // one letter per question: Y yes, N no, O OK, C cancel
    // What was shown, in order: same, none, ?data, ?additional, failed, tip.
    const char* shown;
    AcceptResult result;
};

void PrintTo(const AcceptRow& row, std::ostream* os) { *os << row.name; }

const AcceptRow kAcceptRows[] = {
    {"BothFoldersExist", Exists::Yes, Exists::Yes, false, 300, 300, "", "", AcceptResult::Saved},
    {"EmptyAdditionalFolderInformsAndSaves", Exists::Yes, Exists::Empty, false, 300, 300, "",
     "none", AcceptResult::Saved},
    {"SameFoldersCancelKeepsOpen", Exists::Yes, Exists::Yes, true, 300, 300, "C", "same",
     AcceptResult::KeepOpen},
    {"SameFoldersOkSaves", Exists::Yes, Exists::Yes, true, 300, 300, "O", "same",
     AcceptResult::Saved},
    {"MissingAdditionalCreatedOnYes", Exists::Yes, Exists::No, false, 300, 300, "Y", "?additional",
     AcceptResult::Saved},
    {"MissingAdditionalRefusedBlocks", Exists::Yes, Exists::No, false, 300, 300, "N", "?additional",
     AcceptResult::KeepOpen},
    // A data folder that could be created must not undo the block of a refused additional one.
    {"RefusedAdditionalIsNotUndoneByTheDataFolder", Exists::No, Exists::No, false, 300, 300, "NY",
     "?additional", AcceptResult::KeepOpen},
    {"AdditionalCreationFailureBlocks", Exists::Yes, Exists::BlockedByFile, false, 300, 300, "Y",
     "?additional failed", AcceptResult::KeepOpen},
    {"EmptyDataFolderKeepsOpen", Exists::Empty, Exists::Yes, false, 300, 300, "", "none",
     AcceptResult::KeepOpen},
    {"MissingDataFolderCreatedOnYes", Exists::No, Exists::Yes, false, 300, 300, "Y", "?data",
     AcceptResult::Saved},
    {"MissingDataFolderRefusedBlocks", Exists::No, Exists::Yes, false, 300, 300, "N", "?data",
     AcceptResult::KeepOpen},
    {"DataFolderCreationFailureBlocks", Exists::BlockedByFile, Exists::Yes, false, 300, 300, "Y",
     "?data failed", AcceptResult::KeepOpen},
    {"ChangedIntervalNotMultipleOf10GivesTip", Exists::Yes, Exists::Yes, false, 300, 125, "", "tip",
     AcceptResult::Saved},
    {"ChangedIntervalMultipleOf10NoTip", Exists::Yes, Exists::Yes, false, 300, 130, "", "",
     AcceptResult::Saved},
    {"UnchangedOddIntervalNoTip", Exists::Yes, Exists::Yes, false, 125, 125, "", "",
     AcceptResult::Saved},
    {"NoTipWhenSavingIsBlocked", Exists::No, Exists::Yes, false, 300, 125, "N", "?data",
     AcceptResult::KeepOpen},
};

class StorageOptionsAcceptWriteReadTest : public ::testing::TestWithParam<AcceptRow> {
protected:
    // A folder path in the given state: nested two levels when missing, so
    // that creating it needs every level.
    std::string Prepare(const char* name, Exists state) {
        const std::string top = f.Folder(name);
        switch (state) {
            case Exists::Yes:
                std::filesystem::create_directory(top);
                return top;
            case Exists::No:
                return top + "/a/b";
            case Exists::Empty:
                return "";
            case Exists::BlockedByFile:
                f.home.Write(name, "x");
                return top + "/a";
        }
        return "";
    }

    StorageOptionsFixture f;
};

MsgAnswer Answer(char letter) {
    switch (letter) {
        case 'Y':
            return MsgAnswer::Yes;
        case 'N':
            return MsgAnswer::No;
        case 'C':
            return MsgAnswer::Cancel;
        default:
            return MsgAnswer::Ok;
    }
}

TEST_P(StorageOptionsAcceptWriteReadTest, ShowsAndSavesAsTheRulesSay) {
    const AcceptRow& row = GetParam();
    WriteReadOptions entered;
    entered.dataFolder = Prepare("data", row.data);
    entered.additionalFolder =
        row.sameFolders ? entered.dataFolder : Prepare("additional", row.additional);
    entered.interval = row.enteredInterval;
    WriteReadOptions opened = entered;
    opened.interval = row.openedInterval;
    for (const char* letter = row.answers; *letter != '\0'; ++letter)
        f.ui.answers.push_back(Answer(*letter));

    const AcceptResult result =
        AcceptWriteReadOptions(f.ui, "wetter", f.profile, f.Station(), opened, entered, {});

    const std::map<std::string, std::string> texts = {
        {"same", kSameFolders},
        {"none", kNoFolder},
        {"?data", CreateQuestion(entered.dataFolder)},
        {"?additional", CreateQuestion(entered.additionalFolder)},
        {"failed", kCreateFailed},
        {"tip", kTip},
    };
    std::vector<std::string> expected;
    std::istringstream keys(row.shown);
    for (std::string key; keys >> key;) expected.push_back(texts.at(key));
    EXPECT_EQ(f.ui.Messages(), expected);
    EXPECT_EQ(result, row.result);
    if (result == AcceptResult::Saved) {
        EXPECT_TRUE(std::filesystem::is_directory(entered.dataFolder));
        if (!entered.additionalFolder.empty()) {
            EXPECT_TRUE(std::filesystem::is_directory(entered.additionalFolder));
        }
        EXPECT_EQ(f.profile.ReadText(f.Station(), "Speicherintervall", "Intervall/Sek", ""),
                  std::to_string(row.enteredInterval));
    } else {
        EXPECT_FALSE(std::filesystem::exists(f.Station())) << "nothing may be written";
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StorageOptionsAcceptWriteReadTest, ::testing::ValuesIn(kAcceptRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StorageOptionsAcceptWriteRead, WritesFoldersLayoutThenIntervalAndTheTipCaption) {
    StorageOptionsFixture f;
    std::filesystem::create_directory(f.Folder("d"));
    std::filesystem::create_directory(f.Folder("z"));
    const WriteReadOptions opened{f.Folder("d"), f.Folder("z"), 300};
    WriteReadOptions entered = opened;
    entered.interval = 45;
    const AdditionalFormat format{5, 2, 1, true, "csv"};

    ASSERT_EQ(
        AcceptWriteReadOptions(f.ui, "wetter", f.profile, f.Station(), opened, entered, format),
        AcceptResult::Saved);

    ASSERT_EQ(f.ui.shown.size(), 1u);
    EXPECT_EQ(f.ui.shown[0].caption, "Tip");
    EXPECT_EQ(f.home.Read("wetterstation.ini"),
              "[Speicherintervall]\r\nVerzeichnis=" + f.Folder("d") +
                  "\r\nVerzeichnisZusatz=" + f.Folder("z") +
                  "\r\nIntervall/Sek=45\r\n"
                  "[SpeicherZusatz]\r\nTrennDezi=1\r\nTrenn=2\r\nOhne=5\r\n1.Zeile=TRUE\r\n"
                  "Endung=csv\r\n");
}

TEST(StorageOptionsAcceptWriteRead, EmptyAdditionalFolderLeavesTheLayoutKeysAlone) {
    StorageOptionsFixture f;
    std::filesystem::create_directory(f.Folder("d"));
    f.home.Write("wetterstation.ini", "[SpeicherZusatz]\r\nTrenn=8\r\n");
    const WriteReadOptions entered{f.Folder("d"), "", 300};

    ASSERT_EQ(AcceptWriteReadOptions(f.ui, "wetter", f.profile, f.Station(), entered, entered,
                                     {7, 1, 1, false, "orb"}),
              AcceptResult::Saved);

    EXPECT_EQ(f.profile.ReadText(f.Station(), "SpeicherZusatz", "Trenn", ""), "8");
    EXPECT_EQ(f.profile.ReadText(f.Station(), "Speicherintervall", "VerzeichnisZusatz", "-"), "");
}

TEST(StorageOptionsAcceptWriteRead, UnwritableSettingsFileKeepsTheDialogOpenAndSaysSo) {
    StorageOptionsFixture f;
    std::filesystem::create_directory(f.Folder("d"));
    const WriteReadOptions entered{f.Folder("d"), "", 300};
    const std::string station = f.Folder("missing/wetterstation.ini");
    OutputList::Process().Clear();

    EXPECT_EQ(AcceptWriteReadOptions(f.ui, "wetter", f.profile, station, entered, entered, {}),
              AcceptResult::KeepOpen);
    ASSERT_EQ(OutputList::Process().Count(), 1u);
    EXPECT_NE(OutputList::Process().Snapshot()[0].text.find(station), std::string::npos);
}

// ---------------------------------------------------------------------------
// "Data storage"

struct DataStorageRow {
    const char* name;
    int withoutLogger;
    int storeByPc;
    const char* storageId;
    bool storeVirtualSensors;
    const char* file;       // the station settings file afterwards
    const char* extension;  // the data-file extension afterwards
};

void PrintTo(const DataStorageRow& row, std::ostream* os) { *os << row.name; }

const DataStorageRow kDataStorageRows[] = {
    {"WithLoggerSynchronous", 0, 0, "", false,
     "[Station]\r\nStation=1\r\n[Speicher-ID]\r\nID=\r\n"
     "[Dateninterpretation]\r\nMit_Speicher=0\r\nDaten_Speichern=0\r\n"
     "[Virtuelle_Sensoren]\r\nSpeichern=FALSE\r\n",
     ".orb"},
    {"WithoutLoggerForcesNotSynchronous", 1, 0, "A1", true,
     "[Station]\r\nStation=0\r\n[Speicher-ID]\r\nID=A1\r\n"
     "[Dateninterpretation]\r\nMit_Speicher=1\r\nDaten_Speichern=1\r\n"
     "[Virtuelle_Sensoren]\r\nSpeichern=TRUE\r\n",
     ".A1.orb"},
};

class StorageOptionsDataStorageTest : public ::testing::TestWithParam<DataStorageRow> {};

TEST_P(StorageOptionsDataStorageTest, WritesKeysAndTakesValuesOver) {
    const DataStorageRow& row = GetParam();
    const DataStorageChoice choice{row.withoutLogger, row.storeByPc, row.storageId,
                                   row.storeVirtualSensors, "txt"};
    StorageOptionsFixture f;
    StorageSettings storage;
    ProcessWideSettings processWide;
    processWide.storeVirtualSensors = !row.storeVirtualSensors;

    EXPECT_TRUE(AcceptDataStorage(f.profile, f.Station(), choice, storage, processWide));

    EXPECT_EQ(f.home.Read("wetterstation.ini"), row.file);
    EXPECT_EQ(processWide.dataFileExtension, row.extension);
    EXPECT_EQ(processWide.storeVirtualSensors, row.storeVirtualSensors);
    EXPECT_EQ(storage.storageId, row.storageId);
    EXPECT_EQ(storage.additional.extension, "txt");
}

INSTANTIATE_TEST_SUITE_P(Rows, StorageOptionsDataStorageTest, ::testing::ValuesIn(kDataStorageRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StorageOptionsFormat, EachCheckBoxTogglesItsOwnBit) {
    struct Row {
        FormatOption option;
        // The layout after switching only this option on from nothing.
        int columnMask, separatorMask, decimalMask;
        bool headerLine;
    };
    const Row rows[] = {
        {FormatOption::Time, 1, 0, 0, false},
        {FormatOption::Date, 2, 0, 0, false},
        {FormatOption::SensorIdentifier, 4, 0, 0, false},
        {FormatOption::IdentifiersInHeader, 0, 0, 0, true},
        {FormatOption::SeparatorComma, 0, 1, 0, false},
        {FormatOption::SeparatorSemicolon, 0, 2, 0, false},
        {FormatOption::SeparatorTab, 0, 4, 0, false},
        {FormatOption::SeparatorBlank, 0, 8, 0, false},
        {FormatOption::SeparatorSlash, 0, 16, 0, false},
        {FormatOption::DecimalComma, 0, 0, 1, false},
        {FormatOption::DecimalDot, 0, 0, 2, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.option));
        AdditionalFormat format{0, 0, 0, false, ""};
        SetFormatOption(format, row.option, true);
        EXPECT_EQ(format.columnMask, row.columnMask);
        EXPECT_EQ(format.separatorMask, row.separatorMask);
        EXPECT_EQ(format.decimalMask, row.decimalMask);
        EXPECT_EQ(format.headerLine, row.headerLine);
        EXPECT_TRUE(HasFormatOption(format, row.option));

        AdditionalFormat all{7, 31, 3, true, ""};
        SetFormatOption(all, row.option, false);
        EXPECT_FALSE(HasFormatOption(all, row.option));
        EXPECT_EQ(all.columnMask, 7 & ~row.columnMask);
        EXPECT_EQ(all.separatorMask, 31 & ~row.separatorMask);
        EXPECT_EQ(all.decimalMask, 3 & ~row.decimalMask);
        EXPECT_EQ(all.headerLine, !row.headerLine);
    }
}

}  // namespace
