#include "storage/StorageOptions.h"

#include <filesystem>
#include <initializer_list>
#include <utility>

#include "model/Colours.h"
#include "model/OutputList.h"
#include "model/TextNumbers.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/Ui.h"

namespace StorageOptions {
namespace {

constexpr const char* kSameFolders =
    "Storage path for data and additional data are the same!\r\nSave anyway?.";
constexpr const char* kNoFolder = "No additional directory entered!";
constexpr const char* kCreateQuestionStart = "Directory does not exist!\n should ";
constexpr const char* kCreateQuestionEnd = "\" be created?";
constexpr const char* kCreateFailed = "Error creating directory!";
constexpr const char* kTipCaption = "Tip";
constexpr const char* kTipText = "\n\nCaution!\n For ORB9 only choose \nmultiples of 10.";

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

// True when the folder exists or the user had it created.
bool EnsureFolder(Ui& ui, const std::string& caption, const std::string& folder) {
    if (IsFolder(folder)) return true;
    const std::string question = kCreateQuestionStart + folder + kCreateQuestionEnd;
    if (ui.MessageBox(question, caption, MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes)
        return false;
    if (CreateFolderPath(folder)) return true;
    ui.MessageBox(kCreateFailed, caption, MsgButtons::Ok, MsgIcon::Error);
    return false;
}

// Writes every entry even after a failure, so that one bad key does not hide the others.
bool WriteSection(Profile& profile, const std::string& file, const char* section,
                  std::initializer_list<std::pair<const char*, std::string>> entries) {
    bool ok = true;
    for (const auto& [key, value] : entries)
        ok = profile.WriteText(file, section, key, value) && ok;
    return ok;
}

void ReportWriteFailure(const char* place, const std::string& file) {
    OutputWrite(std::string(place) + ": " + file + " could not be written", kColourError);
}

struct OptionBit {
    int AdditionalFormat::*mask;
    int bit;
};

OptionBit BitOf(FormatOption option) {
    switch (option) {
        case FormatOption::Time:
            return {&AdditionalFormat::columnMask, 1};
        case FormatOption::Date:
            return {&AdditionalFormat::columnMask, 2};
        case FormatOption::SensorIdentifier:
            return {&AdditionalFormat::columnMask, 4};
        case FormatOption::SeparatorComma:
            return {&AdditionalFormat::separatorMask, 1};
        case FormatOption::SeparatorSemicolon:
            return {&AdditionalFormat::separatorMask, 2};
        case FormatOption::SeparatorTab:
            return {&AdditionalFormat::separatorMask, 4};
        case FormatOption::SeparatorBlank:
            return {&AdditionalFormat::separatorMask, 8};
        case FormatOption::SeparatorSlash:
            return {&AdditionalFormat::separatorMask, 16};
        case FormatOption::DecimalComma:
            return {&AdditionalFormat::decimalMask, 1};
        case FormatOption::DecimalDot:
            return {&AdditionalFormat::decimalMask, 2};
        case FormatOption::IdentifiersInHeader:
            break;
    }
    return {nullptr, 0};
}

}  // namespace

WriteReadOptions LoadWriteReadOptions(Profile& profile, const std::string& stationFile,
                                      const std::string& defaultDataFolder) {
    WriteReadOptions options;
    options.dataFolder = profile.ReadText(stationFile, "Speicherintervall", "Verzeichnis", "", 999);
    if (options.dataFolder.empty()) options.dataFolder = defaultDataFolder;
    options.interval = TextNumbers::Atoi(
        profile.ReadText(stationFile, "Speicherintervall", "Intervall/Sek", "120", 5));
    options.additionalFolder =
        profile.ReadText(stationFile, "Speicherintervall", "VerzeichnisZusatz", "", 999);
    return options;
}

bool CreateFolderPath(const std::string& folder) {
    // Every level from the root on; levels that exist already are no error.
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        (void)FileSystem::CreateFolder(folder.substr(0, slash));
    }
    // What counts is whether the whole path is a folder now.
    (void)FileSystem::CreateFolder(folder);
    return IsFolder(folder);
}

AcceptResult AcceptWriteReadOptions(Ui& ui, const std::string& caption, Profile& profile,
                                    const std::string& stationFile, const WriteReadOptions& opened,
                                    const WriteReadOptions& entered,
                                    const AdditionalFormat& format) {
    if (entered.dataFolder == entered.additionalFolder &&
        ui.MessageBox(kSameFolders, caption, MsgButtons::OkCancel, MsgIcon::Question) ==
            MsgAnswer::Cancel)
        return AcceptResult::KeepOpen;

    // An empty additional folder is the normal case (no additional storage):
    // the message only informs.
    if (entered.additionalFolder.empty())
        ui.MessageBox(kNoFolder, caption, MsgButtons::Ok, MsgIcon::Information);
    else if (!EnsureFolder(ui, caption, entered.additionalFolder))
        return AcceptResult::KeepOpen;

    if (entered.dataFolder.empty()) {
        ui.MessageBox(kNoFolder, caption, MsgButtons::Ok, MsgIcon::Information);
        return AcceptResult::KeepOpen;
    }
    if (!EnsureFolder(ui, caption, entered.dataFolder)) return AcceptResult::KeepOpen;

    if (entered.interval != opened.interval && entered.interval % 10 != 0)
        ui.MessageBox(kTipText, kTipCaption, MsgButtons::Ok, MsgIcon::Information);

    bool ok = WriteSection(
        profile, stationFile, "Speicherintervall",
        {{"Verzeichnis", entered.dataFolder}, {"VerzeichnisZusatz", entered.additionalFolder}});
    if (!entered.additionalFolder.empty()) {
        ok = WriteSection(profile, stationFile, "SpeicherZusatz",
                          {{"TrennDezi", std::to_string(format.decimalMask)},
                           {"Trenn", std::to_string(format.separatorMask)},
                           {"Ohne", std::to_string(format.columnMask)},
                           {"1.Zeile", format.headerLine ? "TRUE" : "FALSE"},
                           {"Endung", format.extension}}) &&
             ok;
    }
    ok = profile.WriteText(stationFile, "Speicherintervall", "Intervall/Sek",
                           std::to_string(entered.interval)) &&
         ok;
    if (!ok) {
        ReportWriteFailure("CDatenSpeichernDlg::OnOK", stationFile);
        return AcceptResult::KeepOpen;
    }
    return AcceptResult::Saved;
}

bool HasFormatOption(const AdditionalFormat& format, FormatOption option) {
    if (option == FormatOption::IdentifiersInHeader) return format.headerLine;
    const OptionBit b = BitOf(option);
    return (format.*b.mask & b.bit) != 0;
}

void SetFormatOption(AdditionalFormat& format, FormatOption option, bool on) {
    if (option == FormatOption::IdentifiersInHeader) {
        format.headerLine = on;
        return;
    }
    const OptionBit b = BitOf(option);
    if (on)
        format.*b.mask |= b.bit;
    else
        format.*b.mask &= ~b.bit;
}

DataStorageChoice OpenDataStorage(const StationSettings& settings) {
    DataStorageChoice choice;
    choice.withoutLogger = settings.interpretation.withoutLogger;
    choice.storeByPc = settings.interpretation.storeByPc;
    choice.storageId = settings.storage.storageId;
    choice.storeVirtualSensors = settings.processWide.storeVirtualSensors;
    choice.fileExtension = settings.storage.additional.extension;
    return choice;
}

int EffectiveStoreByPc(const DataStorageChoice& choice) {
    return choice.withoutLogger != 0 ? 1 : choice.storeByPc;
}

std::string DataFileExtension(const std::string& storageId) {
    return storageId.empty() ? ".orb" : "." + storageId + ".orb";
}

bool AcceptDataStorage(Profile& profile, const std::string& stationFile,
                       const DataStorageChoice& choice, StorageSettings& storage,
                       ProcessWideSettings& processWide) {
    const bool withoutLogger = choice.withoutLogger != 0;
    bool ok = profile.WriteText(stationFile, "Station", "Station", withoutLogger ? "0" : "1");
    // The settings load reads at most 255 characters; keep the document in step with it.
    storage.storageId = choice.storageId.substr(0, 255);
    ok = profile.WriteText(stationFile, "Speicher-ID", "ID", storage.storageId) && ok;
    processWide.dataFileExtension = DataFileExtension(storage.storageId);
    ok = WriteSection(profile, stationFile, "Dateninterpretation",
                      {{"Mit_Speicher", withoutLogger ? "1" : "0"},
                       {"Daten_Speichern", std::to_string(EffectiveStoreByPc(choice))}}) &&
         ok;
    storage.additional.extension = choice.fileExtension;
    processWide.storeVirtualSensors = choice.storeVirtualSensors;
    ok = profile.WriteText(stationFile, "Virtuelle_Sensoren", "Speichern",
                           choice.storeVirtualSensors ? "TRUE" : "FALSE") &&
         ok;
    if (!ok) ReportWriteFailure("CDatenSpeicherDlg::OnOK", stationFile);
    return ok;
}

}  // namespace StorageOptions
