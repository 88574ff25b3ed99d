#pragma once

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "model/StationSettings.h"

class CAktuell;
class ErrorLog;
class FileStore;

// The second copy of every stored record, in the additional folder, in the
// layout the user chose (columns, separators, decimal separator, header
// line, file extension), plus the additional current-values file.
class AdditionalStorage {
public:
    using CurrentValues = std::vector<std::unique_ptr<CAktuell>>;

    // Bits of the column mask.
    static constexpr int kTimeColumn = 1;
    static constexpr int kDateColumn = 2;
    static constexpr int kIdentifierColumn = 4;
    // First byte of a header line; tells that the file has its header already.
    static constexpr char kHeaderMark = '\xFF';

    // What a stored record hands over, read-only.
    struct Record {
        const std::string& folder;  // the additional folder; empty stores nothing
        const AdditionalFormat& format;
        const std::string& dataFileExtension;  // ".orb" or ".A1.orb"
        const CurrentValues& currentValues;    // in list order
        bool storeVirtualSensors = false;
        const std::string& gapFields;  // "TE-99999,FE-99999,"
        int interval = 0;              // storage interval, seconds
        bool initialisationRunning = false;
        bool sync = false;  // live records reach the disk before the call returns
    };

    // The storing state of the additional folder, kept by the document apart
    // from the data file's (whose records may wait while this folder takes
    // them): the time of the last row and whether one was stored since start.
    // Both are updated when the row reaches the additional file.
    struct StoreState {
        std::time_t& lastStoredTime;
        bool& storedSinceStart;
    };

    AdditionalStorage(FileStore& files, ErrorLog& errorLog)
        : m_files(files), m_errorLog(errorLog) {}

    // Appends the row of `recordTime` to its month's additional file: the
    // record's own month before the first stored record, afterwards after the
    // gap lines from the last stored time (these appear only when this folder
    // could not take earlier rows). Inserts the header once when the
    // layout asks for one. Then, unless the initialisation runs, replaces the
    // additional current-values file. True when the row reached the month file.
    bool StoreAdditional(std::time_t recordTime, const Record& record, const StoreState& state);

    // The separator characters of the mask: ",", ";", tab, " ", "/" in bit order.
    static std::string Separator(int separatorMask);
    // The data-file extension, followed by "." + `extension` unless that is "orb".
    static std::string FileSuffix(const std::string& dataFileExtension,
                                  const std::string& extension);
    // One row, CR LF included.
    static std::string BuildRow(std::time_t recordTime, const AdditionalFormat& format,
                                const CurrentValues& values, bool storeVirtualSensors);
    // The header line, CR LF included; it names every sensor, virtual ones too.
    static std::string BuildHeader(const AdditionalFormat& format, const CurrentValues& values);

private:
    // Puts the header in front of the file's content unless it starts with one;
    // errno of a failure, 0 otherwise.
    int InsertHeader(const std::string& path, const std::string& header, bool sync);

    FileStore& m_files;
    ErrorLog& m_errorLog;
};
