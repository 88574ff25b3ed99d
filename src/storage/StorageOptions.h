#pragma once

#include <string>

#include "model/StationSettings.h"

class Profile;
class Ui;

// The rules of the two storage dialogs: "Write / Read options"
// (`CDatenSpeichernDlg`: folders and storage interval) and "Data storage"
// (`CDatenSpeicherDlg`: station type, storing mode, storage identifier and the
// additional layout). The Qt dialogs only show these values and call Accept.
namespace StorageOptions {

// The fields of "Write / Read options".
struct WriteReadOptions {
    std::string dataFolder;
    std::string additionalFolder;
    int interval = 0;  // seconds
};

// The fields as the dialog shows them on opening: an empty data folder is
// shown as `defaultDataFolder`, a missing interval as 120.
WriteReadOptions LoadWriteReadOptions(Profile& profile, const std::string& stationFile,
                                      const std::string& defaultDataFolder);

enum class AcceptResult {
    Saved,     // written; the dialog closes and the document reloads its settings
    KeepOpen,  // nothing written; the dialog stays open
};

// "Accept" of "Write / Read options". Asks and informs through `ui` (message
// boxes titled `caption`), creates missing folders on request, and writes the
// folders, the additional layout `format` (only with an additional folder) and
// the interval. `opened` is what the dialog showed on opening. Saving needs
// every folder check to pass; an empty additional folder only informs. A
// settings file that cannot be written keeps the dialog open with a line in
// the output window.
AcceptResult AcceptWriteReadOptions(Ui& ui, const std::string& caption, Profile& profile,
                                    const std::string& stationFile, const WriteReadOptions& opened,
                                    const WriteReadOptions& entered,
                                    const AdditionalFormat& format);

// Creates `folder` with every missing level; true when it is a folder afterwards.
bool CreateFolderPath(const std::string& folder);

// The check boxes of "Settings for additional directory"; each names one bit
// (or the header flag) of the additional layout.
enum class FormatOption {
    SensorIdentifier,
    Time,
    Date,
    IdentifiersInHeader,
    SeparatorTab,
    SeparatorSemicolon,
    SeparatorComma,
    SeparatorBlank,
    SeparatorSlash,
    DecimalDot,
    DecimalComma,
};

bool HasFormatOption(const AdditionalFormat& format, FormatOption option);
// A click changes the layout at once, whether or not the dialog is accepted later.
void SetFormatOption(AdditionalFormat& format, FormatOption option, bool on);

// The fields of "Data storage".
struct DataStorageChoice {
    int withoutLogger = 0;  // 0 "with datalogger", 1 "without datalogger"
    int storeByPc = 0;      // 0 "synchronous", 1 "not synchronous"
    std::string storageId;
    bool storeVirtualSensors = false;
    std::string fileExtension;  // of the additional files
};

// The fields as "Data storage" shows them on opening.
DataStorageChoice OpenDataStorage(const StationSettings& settings);

// A station without data logger cannot store synchronously: the storing choice
// is disabled and "not synchronous" is used.
int EffectiveStoreByPc(const DataStorageChoice& choice);

// "Accept" of "Data storage": writes the station type, storage identifier,
// interpretation and virtual-sensor keys, and takes the identifier, the
// data-file extension that follows from it, the virtual-sensor flag and the
// additional file extension over into `storage` and `processWide`.
// False (with a line in the output window) when the settings file could not be written.
bool AcceptDataStorage(Profile& profile, const std::string& stationFile,
                       const DataStorageChoice& choice, StorageSettings& storage,
                       ProcessWideSettings& processWide);

// ".orb", or "." + identifier + ".orb".
std::string DataFileExtension(const std::string& storageId);

}  // namespace StorageOptions
